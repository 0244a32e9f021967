#include "scalereading.h"

#include "common/numbertext.h"
#include "heightdecoding.h"
#include "scaleframe.h"

namespace {

// The height rod's count starts at its lowest point.
constexpr int lowestHeightMm = 1103;

class StationScale : public ScaleDecoder
{
public:
    ScaleReading read(const QByteArray &received) override
    {
        const FrameCounts counts = decodeFrame(cutFrame(received));
        const double load = scaleReading(counts.weight);
        ScaleReading reading;
        if (!m_zero) {
            // Taken as its shown text reads back, so that the zero field and the weights
            // agree to the last digit the operator sees.
            m_zero = textNumber(numberText(load));
            reading.zeroTaken = m_zero;
        }
        reading.weightKg = load - *m_zero;
        reading.heightMm = UmrechnungBin(counts.height).value() + lowestHeightMm;
        return reading;
    }
    bool hasReading() const override { return m_zero.has_value(); }

private:
    std::optional<double> m_zero;
};

} // namespace

std::unique_ptr<ScaleDecoder> makeStationScale()
{
    return std::make_unique<StationScale>();
}
