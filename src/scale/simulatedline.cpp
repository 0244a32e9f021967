#include "simulatedline.h"

#include "scaleframe.h"

namespace {

// One visit, in frames: the empty scale, stepping on, standing, stepping off.
constexpr int emptyFrames = 10;
constexpr int risingFrames = 5;
constexpr int standingFrames = 40;
constexpr int fallingFrames = 3;
constexpr int visitFrames = emptyFrames + risingFrames + standingFrames + fallingFrames;

} // namespace

SimulatedLine::SimulatedLine(quint32 seed, QObject *parent) : BufferedLine(parent), m_random(seed)
{
    m_frames.setInterval(frameIntervalMs);
    connect(&m_frames, &QTimer::timeout, this, [this] { received(nextFrame()); });
    newPerson();
}

SimulatedLine::SimulatedLine(QObject *parent)
    : SimulatedLine(QRandomGenerator::global()->generate(), parent)
{}

QString SimulatedLine::deviceName() const
{
    return QStringLiteral("Simulierte Waage");
}

void SimulatedLine::open()
{
    m_frames.start();
}

QByteArray SimulatedLine::nextFrame()
{
    if (m_frame == visitFrames) {
        m_frame = 0;
        newPerson();
    }
    const int frame = m_frame++;

    double load = 0;
    int height = restingHeightMm;
    if (frame >= emptyFrames) {
        const int onScale = frame - emptyFrames;
        height = m_personHeightMm;
        if (onScale < risingFrames) {
            load = m_personKilograms * (onScale + 1) / risingFrames;
        } else if (onScale < risingFrames + standingFrames) {
            // A person never stands quite still: about +-0.06 kg.
            load = m_personKilograms + m_random.bounded(-2, 3) / countsPerKilogram;
        } else {
            const int left = risingFrames + standingFrames + fallingFrames - onScale - 1;
            load = m_personKilograms * left / fallingFrames;
            height = left == 0 ? restingHeightMm : m_personHeightMm;
        }
    }
    return encodeReading(height, weightCountOf(platformKilograms + load));
}

void SimulatedLine::newPerson()
{
    m_personKilograms = 48.0 + m_random.bounded(60.0);
    m_personHeightMm = 1500 + m_random.bounded(450);
}
