// Whatever arrives on the serial line, in whatever pieces and with whatever pauses,
// the splitter holds a bounded amount and reports pieces the handler can cut. A clean
// stream of frames after quiet comes out whole and complete, however it was read.
#include "scale/framesplitter.h"

#include <QList>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr std::size_t readyFramesKept = 1024;

void checkBounds(const FrameSplitter &splitter)
{
    if (splitter.bytesWaiting() > FrameSplitter::maxBurstBytes ||
        splitter.framesReady() > static_cast<qsizetype>(readyFramesKept))
        std::abort();
}

// The input as a sequence of events: a byte whose low two bits choose bytes with a
// pause, quiet, a take or a restart.
void runEvents(const std::uint8_t *data, std::size_t size)
{
    FrameSplitter splitter;
    for (std::size_t at = 0; at < size;) {
        const std::uint8_t op = data[at++];
        switch (op & 3) {
        case 0: {
            const std::size_t length = std::min<std::size_t>((op >> 2) + 1, size - at);
            splitter.receive(QByteArrayView(data + at, static_cast<qsizetype>(length)), op >> 4);
            at += length;
            break;
        }
        case 1:
            splitter.lineQuiet();
            break;
        case 2:
            if (splitter.bytesWaiting() > 0 && splitter.take().isEmpty())
                std::abort();
            break;
        default:
            splitter.restart();
        }
        checkBounds(splitter);
    }
}

// The input as frames a real scale could send, read in pieces of 1..8 bytes.
void runCleanStream(const std::uint8_t *data, std::size_t size)
{
    QByteArray stream;
    QList<QByteArray> frames;
    for (std::size_t at = 0; at + 4 <= size && frames.size() < 200; at += 4) {
        QByteArray frame(reinterpret_cast<const char *>(data + at), 4);
        frame[1] = static_cast<char>(frame[1] & 3);
        frame[3] = static_cast<char>(frame[3] & 15);
        frames << frame;
        stream += frame;
    }
    if (frames.isEmpty())
        return;
    FrameSplitter splitter;
    splitter.lineQuiet();
    QList<QByteArray> taken;
    for (qsizetype at = 0, i = 0; at < stream.size(); ++i) {
        const qsizetype piece = std::min<qsizetype>(1 + data[i % size] % 8, stream.size() - at);
        splitter.receive(QByteArrayView(stream).sliced(at, piece), 1);
        at += piece;
        while (splitter.framesReady() > 0)
            taken << splitter.take();
    }
    splitter.lineQuiet();
    while (splitter.framesReady() > 0)
        taken << splitter.take();
    if (taken != frames)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    runEvents(data, size);
    runCleanStream(data, size);
    return 0;
}
