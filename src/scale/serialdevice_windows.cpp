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
