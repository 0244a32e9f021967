#pragma once

#include <QString>
#include <QStringList>

class QSerialPortInfo;

// The serial ports of this machine as the operator sets them (Linux "/dev/ttyUSB0",
// Windows "COM3"), each with the description its driver gives, if any:
// "/dev/ttyUSB0 (USB-Serial Controller)".
QStringList availableSerialPorts();

// The port's name as it is set: its device path, on Windows its COM name.
QString settingName(const QSerialPortInfo &port);

// Added to a failed opening of the scale's port: where the port is set and which
// ports exist. whereSet completes "Die Schnittstelle ist …".
QString portAdvice(const QString &whereSet, const QStringList &ports);
