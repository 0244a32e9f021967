// Whatever arrives on the serial line is cut into a frame and decoded; no byte string
// may crash it or yield counts outside the scale's ranges.
#include "common/failure.h"
#include "scale/heightdecoding.h"
#include "scale/scaleframe.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

static int referenceGrayDecode(int gray)
{
    int binary = 0;
    for (int shift = 0; shift < 10; ++shift)
        binary ^= gray >> shift;
    return binary;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray received(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (!received.isEmpty()) {
        const ScaleFrame frame = cutFrame(received);
        if (frame.byte1 != static_cast<quint8>(received.front()) ||
            frame.byte4 != static_cast<quint8>(received.back()))
            std::abort();
        const FrameCounts counts = decodeFrame(frame);
        if (counts.height < 0 || counts.height > 1023 || counts.weight < 0 || counts.weight > 4095)
            std::abort();
        const auto decoded = UmrechnungBin(QVariant(counts.height));
        if (!decoded || *decoded != referenceGrayDecode(counts.height))
            std::abort();
    }
    // Any double, including NaN, infinities and huge values, decodes into 0..1023.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        const auto decoded = UmrechnungBin(QVariant(value));
        if (!decoded || *decoded < 0 || *decoded > 1023)
            std::abort();
    }
    // A text argument is read as a number or refused with a Failure.
    try {
        const auto decoded = UmrechnungBin(QVariant(QString::fromUtf8(received)));
        if (decoded && (*decoded < 0 || *decoded > 1023))
            std::abort();
    } catch (const Failure &) {
    }
    return 0;
}
