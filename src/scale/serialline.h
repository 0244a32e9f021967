#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line from the scale as the receive handler sees it: a count of waiting
// bytes, a read that takes them, and a discard. Implementations decide when a whole
// frame is waiting and then emit dataWaiting(); the handler takes it from there.
class SerialLine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialLine() override = default;

    // Human-readable name of the device, for messages ("/dev/ttyS0", "COM1", ...).
    virtual QString deviceName() const = 0;

    // Opens the line at 9600 baud, 8 data bits, no parity, one stop bit. Throws a
    // Failure with a German message naming the device and the cause.
    virtual void open() = 0;

    virtual qint64 bytesWaiting() const = 0; // bytes received and not yet taken
    virtual QByteArray input() = 0;          // takes all waiting bytes
    virtual void discard() = 0;              // drops all waiting bytes

Q_SIGNALS:
    void dataWaiting();
    // The line failed after it was open (device unplugged, I/O error); German text.
    void fault(const QString &message);
};
