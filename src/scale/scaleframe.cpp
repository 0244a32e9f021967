#include "scaleframe.h"

#include "heightdecoding.h"

#include "common/failure.h"

#include <algorithm>
#include <cmath>

namespace {

quint8 byteAt(const QByteArray &data, qsizetype index)
{
    return static_cast<quint8>(data.at(index));
}

} // namespace

ScaleFrame cutFrame(const QByteArray &received)
{
    if (received.isEmpty())
        throw Failure(QStringLiteral("Von der Waage kamen keine Daten."));
    ScaleFrame frame;
    frame.byte1 = byteAt(received, 0);
    QByteArray rest = received.right(3);
    frame.byte2 = byteAt(rest, 0);
    rest = rest.right(2);
    frame.byte3 = byteAt(rest, 0);
    frame.byte4 = byteAt(rest, rest.size() - 1);
    return frame;
}

FrameCounts decodeFrame(const ScaleFrame &frame)
{
    FrameCounts counts{frame.byte1, frame.byte3};
    if (frame.byte2 >= 1 && frame.byte2 <= 3)
        counts.height += frame.byte2 * 256;
    if (frame.byte4 >= 1 && frame.byte4 <= 15)
        counts.weight += frame.byte4 * 256;
    return counts;
}

double scaleReading(int weightCount)
{
    return weightCount / countsPerKilogram;
}

QByteArray encodeFrame(int grayHeightCount, int weightCount)
{
    const int height = std::clamp(grayHeightCount, 0, 1023);
    const int weight = std::clamp(weightCount, 0, 4095);
    QByteArray frame(4, '\0');
    frame[0] = static_cast<char>(height & 0xFF);
    frame[1] = static_cast<char>(height >> 8);
    frame[2] = static_cast<char>(weight & 0xFF);
    frame[3] = static_cast<char>(weight >> 8);
    return frame;
}

QByteArray encodeReading(int heightMm, int weightCount)
{
    const int decoded = std::clamp(heightMm, 1103, 2126) - 1103;
    return encodeFrame(grayCode(decoded), weightCount);
}

int weightCountOf(double kilograms)
{
    const double counts = std::round(kilograms * countsPerKilogram);
    return static_cast<int>(std::clamp(counts, 0.0, 4095.0));
}
