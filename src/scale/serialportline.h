#pragma once

#include "bufferedline.h"

#include <QSerialPort>
#include <QTimer>

// The scale on a serial device: 9600 Bd, 8 data bits, no parity, one stop bit, no
// flow control; every byte is data. When the device fails or disappears (a USB
// adapter pulled out) the port is closed, fault() is emitted once, and the port is
// reopened every 2 s until the device is back; then frames flow again. A device
// that cannot be opened at start is tried the same way after open() has failed.
//
// A continuous stream whose frames are found is read at its frame times, not at every
// byte: each read is due just after the frame under way is whole, so that no frame waits
// for more than about two character times. A read that finds less than due (the stream paused, or
// the device failed) hands back to reading at every byte.
class SerialPortLine : public BufferedLine
{
    Q_OBJECT
public:
    static constexpr int reopenIntervalMs = 2000;
    static constexpr double characterMs = 10 * 1000.0 / 9600; // start, 8 data, stop bits

    explicit SerialPortLine(const QString &device, QObject *parent = nullptr);

    QString deviceName() const override;
    void open() override;
    bool isOpen() const;

protected:
    void dropDeviceInput() override;
    bool deviceHoldsInput() const override;
    void bytesSplit() override;

private:
    bool openPort();
    QString openFailureCause() const;
    void readAvailable();
    void readPaced();
    void stopPacing();
    void portError(QSerialPort::SerialPortError error);
    void lost();
    void tryReopen();

    QString m_device;
    QSerialPort m_port;
    QTimer m_reopen;
    QTimer m_paced;
    int m_bytesDue = 0;          // by the paced read; 0 while every byte is read as it comes
    bool m_keepWatching = false; // bytes of a short paced read start no pacing
    bool m_faultReported = false;
};
