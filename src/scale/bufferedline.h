#pragma once

#include "serialline.h"

#include <QTimer>

// Holds what a line received and reports it as waiting once the line has gone quiet:
// the frame has no start mark, so the handler must see it whole. A gap of 3.5
// character times (3.65 ms at 9600 Bd, 10 bits a character) ends a frame; bytes
// paced like a real UART arrive one read each and keep restarting the gap.
class BufferedLine : public SerialLine
{
    Q_OBJECT
public:
    static constexpr int idleGapMs = 4;

    explicit BufferedLine(QObject *parent = nullptr);

    qint64 bytesWaiting() const override;
    QByteArray input() override;
    void discard() override;

protected:
    // Bytes from the device; restarts the idle gap.
    void received(const QByteArray &bytes);
    // Drops what the device itself still holds; called by discard().
    virtual void dropDeviceInput() {}
    // Forgets everything received so far, e.g. when the device went away.
    void forgetReceived();

private:
    void gapElapsed();

    QByteArray m_buffer;
    QTimer m_idle;
};
