#pragma once

#include <QByteArray>

// One reading of the scale: four bytes carrying a 10-bit Gray-coded height count and
// a 12-bit binary weight count. The frame has no start mark, length or checksum.
struct ScaleFrame
{
    quint8 byte1 = 0; // height count, bits 0-7
    quint8 byte2 = 0; // height count, bits 8-9: 1, 2, 3 count; anything else adds nothing
    quint8 byte3 = 0; // weight count, bits 0-7
    quint8 byte4 = 0; // weight count, bits 8-11: 1..15 count; anything else adds nothing
    friend bool operator==(const ScaleFrame &, const ScaleFrame &) = default;
};

// Counts of one frame: height still Gray-coded (0..1023), weight plain (0..4095).
struct FrameCounts
{
    int height = 0;
    int weight = 0;
    friend bool operator==(const FrameCounts &, const FrameCounts &) = default;
};

// 33.2 weight counts are one kilogram.
constexpr double countsPerKilogram = 33.2;

// Cuts whatever was received into a frame: the first byte and the last three. Shorter
// data repeats its first bytes (A B C gives A A B C, A B gives A A A B, A gives
// A A A A); bytes between the first and the last three are ignored. Empty data
// throws a Failure.
ScaleFrame cutFrame(const QByteArray &received);

FrameCounts decodeFrame(const ScaleFrame &frame);

// Scale reading in kilograms, in double precision: weight count / 33.2.
double scaleReading(int weightCount);

// The four bytes the scale sends for a Gray-coded height count (0..1023) and a
// weight count (0..4095), in the order of sending.
QByteArray encodeFrame(int grayHeightCount, int weightCount);

// Frame for a height in millimetres (1103..2126) and a weight count; the height is
// clamped into the measurable range.
QByteArray encodeReading(int heightMm, int weightCount);

// Weight count of a load in kilograms, rounded and clamped to 0..4095.
int weightCountOf(double kilograms);
