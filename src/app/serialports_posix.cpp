#include "serialports.h"

#include <QSerialPortInfo>

QString settingName(const QSerialPortInfo &port)
{
    return port.systemLocation();
}
