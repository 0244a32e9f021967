#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// Where the simulator's frames go: a serial device set to raw 9600 Bd 8N1, or, with
// no device on a system that has them, a new pseudo-terminal whose path is printed.
class FrameSink
{
public:
    virtual ~FrameSink() = default;
    // Writes all bytes; false when nobody reads and the line's buffer is full, then the
    // rest is dropped rather than block the frame clock.
    virtual bool send(const QByteArray &bytes) = 0;
};

// Opens the sink; prints the cause and exits with 1 when the device cannot be used.
std::unique_ptr<FrameSink> openFrameSink(const QString &device);

// On a busy machine a late wake-up would put a pause into a frame, which no UART
// does: keeps a paced sender's wake-ups on time where the system allows it.
void keepPacingOnTime();
