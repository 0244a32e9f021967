#include "serialports.h"

#include <QSerialPortInfo>

// systemLocation() would be "\\.\COM3"; the operator sets "COM3".
QString settingName(const QSerialPortInfo &port)
{
    return port.portName();
}
