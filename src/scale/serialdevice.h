#pragma once

#include <QByteArray>
#include <QString>

class QSerialPort;

// What the system tells about a serial device beyond Qt's serial port.

// Why a serial device could not be opened, where the system tells more than the
// serial port's error code. Each returns a German cause for "lässt sich nicht öffnen:
// …", or the empty text when it has nothing to add.

// device is no serial interface: a folder, a plain file, a device that is no terminal
// (/dev/null).
QString notSerialDeviceCause(const QString &device);

// device is taken by a lock file whose program no longer runs and that this account
// may not remove; the cause names the file and how to remove it.
QString staleLockCause(const QString &device);

// Whether the system's driver holds bytes of the open port that Qt has not read yet;
// false where the system does not tell.
bool driverHoldsInput(const QSerialPort &port);

// Reading the open port at times of the program's choosing rather than at every byte that
// comes in: pauses the port's own watch for input. False where the system or the port
// cannot pause it; then nothing changed.
bool pauseInputWatch(QSerialPort &port);
void resumeInputWatch(QSerialPort &port);
// What the driver holds for a port whose watch is paused, read without waiting; shorter
// than what the line carried when the device failed (the resumed watch then tells why).
QByteArray readHeldInput(QSerialPort &port);
