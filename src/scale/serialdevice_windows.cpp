#include "serialdevice.h"

// COM ports are named, not paths, and Windows keeps no lock files for them.
QString notSerialDeviceCause(const QString &)
{
    return {};
}

QString staleLockCause(const QString &)
{
    return {};
}

bool driverHoldsInput(const QSerialPort &)
{
    return false;
}

// The port reads with overlapped I/O of its own; there is no descriptor to read aside.
bool pauseInputWatch(QSerialPort &)
{
    return false;
}

void resumeInputWatch(QSerialPort &) {}

QByteArray readHeldInput(QSerialPort &)
{
    return {};
}
