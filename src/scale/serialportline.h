#pragma once

#include "bufferedline.h"

#include <QSerialPort>
#include <QTimer>

// The scale on a serial device: 9600 Bd, 8 data bits, no parity, one stop bit, no
// flow control; every byte is data. When the device fails or disappears (a USB
// adapter pulled out) the port is closed, fault() is emitted once, and the port is
// reopened every 2 s until the device is back; then frames flow again. A device
// that cannot be opened at start is tried the same way after open() has failed.
class SerialPortLine : public BufferedLine
{
    Q_OBJECT
public:
    static constexpr int reopenIntervalMs = 2000;

    explicit SerialPortLine(const QString &device, QObject *parent = nullptr);

    QString deviceName() const override;
    void open() override;
    bool isOpen() const;

protected:
    void dropDeviceInput() override;
    bool deviceHoldsInput() const override;

private:
    bool openPort();
    QString openFailureCause() const;
    void readAvailable();
    void portError(QSerialPort::SerialPortError error);
    void lost();
    void tryReopen();

    QString m_device;
    QSerialPort m_port;
    QTimer m_reopen;
    bool m_faultReported = false;
};
