#pragma once

#include "bufferedline.h"

#include <QRandomGenerator>
#include <QTimer>

// A scale without hardware: about five frames a second, encoded like the real scale's
// and received through the same buffer and idle gap as a serial line. It starts
// empty (that first frame becomes the zero reference), then people step on one after
// another: the weight rises to a plausible value and wobbles slightly, the height rod
// settles at the person's height, and after a while the person steps off again.
class SimulatedLine : public BufferedLine
{
    Q_OBJECT
public:
    static constexpr int frameIntervalMs = 200;
    static constexpr double platformKilograms = 4.5; // what the empty scale reads
    static constexpr int restingHeightMm = 2126;     // rod at the top when nobody stands

    explicit SimulatedLine(quint32 seed, QObject *parent = nullptr);
    explicit SimulatedLine(QObject *parent = nullptr);

    QString deviceName() const override;
    void open() override; // starts sending

    // The next frame of the scene; open() sends one of these every frameIntervalMs.
    QByteArray nextFrame();

private:
    void newPerson();

    QRandomGenerator m_random;
    QTimer m_frames;
    int m_frame = 0; // within the current visit
    double m_personKilograms = 0;
    int m_personHeightMm = restingHeightMm;
};
