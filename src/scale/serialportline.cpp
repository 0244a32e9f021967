#include "serialportline.h"

#include "common/failure.h"
#include "common/logcategories.h"
#include "serialdevice.h"

#include <QDir>

#include <cmath>
#include <utility>

namespace {

QString causeText(QSerialPort::SerialPortError error, const QString &systemText)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("Gerät nicht gefunden");
    case QSerialPort::PermissionError:
        return QStringLiteral("Zugriff verweigert oder von einem anderen Programm belegt");
    case QSerialPort::OpenError:
        return QStringLiteral("bereits geöffnet");
    case QSerialPort::UnsupportedOperationError:
        return QStringLiteral("Einstellungen werden nicht unterstützt");
    default:
        return systemText;
    }
}

} // namespace

SerialPortLine::SerialPortLine(const QString &device, QObject *parent)
    : BufferedLine(parent), m_device(device)
{
    m_port.setPortName(device);
    m_port.setBaudRate(QSerialPort::Baud9600);
    m_port.setDataBits(QSerialPort::Data8);
    m_port.setParity(QSerialPort::NoParity);
    m_port.setStopBits(QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    connect(&m_port, &QSerialPort::readyRead, this, &SerialPortLine::readAvailable);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortLine::portError);

    m_paced.setSingleShot(true);
    m_paced.setTimerType(Qt::PreciseTimer);
    connect(&m_paced, &QTimer::timeout, this, &SerialPortLine::readPaced);

    m_reopen.setInterval(reopenIntervalMs);
    connect(&m_reopen, &QTimer::timeout, this, &SerialPortLine::tryReopen);
}

QString SerialPortLine::deviceName() const
{
    return QDir::toNativeSeparators(m_device);
}

void SerialPortLine::open()
{
    if (m_port.isOpen())
        return;
    if (!openPort()) {
        // An adapter plugged in later is picked up like one that comes back; the
        // operator has been told once, here.
        m_faultReported = true;
        m_reopen.start();
        const QString message =
            QStringLiteral("Die serielle Schnittstelle %1 lässt sich nicht öffnen: %2.")
                .arg(deviceName(), openFailureCause());
        qCWarning(logScale).noquote() << message;
        throw Failure(message);
    }
    qCInfo(logScale).noquote()
        << QStringLiteral("Serielle Schnittstelle %1 geöffnet").arg(deviceName());
}

QString SerialPortLine::openFailureCause() const
{
    // Qt's error codes tell a folder or /dev/null apart from a port whose settings
    // fail, and a lock left behind from a port in use, no better than "permission".
    if (QString cause = notSerialDeviceCause(m_device); !cause.isEmpty())
        return cause;
    if (m_port.error() == QSerialPort::PermissionError) {
        if (QString cause = staleLockCause(m_device); !cause.isEmpty())
            return cause;
    }
    return causeText(m_port.error(), m_port.errorString());
}

bool SerialPortLine::isOpen() const
{
    return m_port.isOpen();
}

void SerialPortLine::dropDeviceInput()
{
    stopPacing();
    if (m_port.isOpen()) {
        m_port.clear(QSerialPort::Input);
        m_port.readAll();
    }
}

bool SerialPortLine::deviceHoldsInput() const
{
    if (!m_port.isOpen())
        return false;
    return m_port.bytesAvailable() > 0 || driverHoldsInput(m_port);
}

bool SerialPortLine::openPort()
{
    // Reading only: the scale is never sent anything.
    return m_port.open(QIODevice::ReadOnly);
}

void SerialPortLine::readAvailable()
{
    received(m_port.readAll());
}

void SerialPortLine::readPaced()
{
    const QByteArray bytes = readHeldInput(m_port);
    if (bytes.size() < m_bytesDue) {
        // The stream paused or the device failed: the rest, or the failure, comes to the
        // port's own watch.
        stopPacing();
        m_keepWatching = !bytes.isEmpty();
    }
    received(bytes);
}

void SerialPortLine::bytesSplit()
{
    if (std::exchange(m_keepWatching, false))
        return;
    const int missing = bytesToNextFrame();
    if (missing == 0) {
        stopPacing();
        return;
    }
    if (m_bytesDue == 0 && !pauseInputWatch(m_port))
        return;
    // Due half a character after the byte that completes the frame under way or, right
    // after a frame, after the next frame's first byte: reads seldom end on a frame's
    // boundary, where a late read would look like the stream's end. Timers fire late,
    // never early; each read corrects for how late the one before was.
    m_bytesDue = missing == 4 ? 1 : missing;
    m_paced.start(static_cast<int>(std::ceil((m_bytesDue + 0.5) * characterMs)));
}

void SerialPortLine::stopPacing()
{
    if (m_bytesDue == 0)
        return;
    m_bytesDue = 0;
    m_paced.stop();
    if (m_port.isOpen())
        resumeInputWatch(m_port);
}

void SerialPortLine::portError(QSerialPort::SerialPortError error)
{
    // A vanished device reports ReadError over and over (Qt 6.4 on Linux) with a
    // meaningless text; closing at the first one stops that storm.
    if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError)
        lost();
}

void SerialPortLine::lost()
{
    if (!m_port.isOpen())
        return;
    qCWarning(logScale).noquote() << QStringLiteral("Serielle Schnittstelle %1 verloren: %2")
                                         .arg(deviceName(), m_port.errorString());
    stopPacing();
    m_port.close();
    forgetReceived();
    if (!m_faultReported) {
        m_faultReported = true;
        Q_EMIT fault(QStringLiteral("Die Verbindung zur Waage an %1 ist unterbrochen. "
                                    "Tessarine versucht alle %2 Sekunden, sie wieder aufzubauen.")
                         .arg(deviceName())
                         .arg(reopenIntervalMs / 1000));
    }
    m_reopen.start();
}

void SerialPortLine::tryReopen()
{
    if (!openPort())
        return;
    m_reopen.stop();
    m_faultReported = false;
    qCInfo(logScale).noquote()
        << QStringLiteral("Serielle Schnittstelle %1 wieder geöffnet").arg(deviceName());
    // Whatever was half-sent while the line was down is no frame.
    discard();
}
