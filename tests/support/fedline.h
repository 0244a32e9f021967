#pragma once

#include "common/failure.h"
#include "scale/bufferedline.h"

#include <QByteArray>

// The real receive buffer and idle gap, fed by the test instead of a device.
class FedLine : public BufferedLine
{
public:
    QString deviceName() const override { return QStringLiteral("Testleitung"); }
    void open() override {}
    QByteArray input() override
    {
        ++inputs;
        return BufferedLine::input();
    }
    void discard() override
    {
        BufferedLine::discard();
        if (!failure.isEmpty())
            throw Failure(failure);
    }
    void feed(const QByteArray &bytes) { received(bytes); }

    int inputs = 0;
    QString failure; // thrown by discard() when set
};
