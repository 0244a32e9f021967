#pragma once

#include <QByteArray>

#include <memory>
#include <optional>

// What one frame of a scale says, in the window's units.
struct ScaleReading
{
    double weightKg = 0; // measured from the zero reference
    int heightMm = 0;
    // Set by the frame that took the zero reference: the reference, in kilograms.
    std::optional<double> zeroTaken;
};

// Turns the bytes a scale sends into readings. A decoder keeps what a scale's frames
// mean over time: the zero reference, and whether any frame came yet. Another scale
// protocol is another decoder.
class ScaleDecoder
{
public:
    virtual ~ScaleDecoder() = default;
    // The reading of the frame in received; throws a Failure for bytes that hold none.
    virtual ScaleReading read(const QByteArray &received) = 0;
    // False until the first frame was read.
    virtual bool hasReading() const = 0;
};

// The station's scale: four-byte frames of a weight count and a Gray-coded height
// count above the rod's lowest point, 1103 mm. The first frame's load is the zero
// reference, as the zero field shows it (numberText), which every later weight is
// measured from.
std::unique_ptr<ScaleDecoder> makeStationScale();
