#pragma once

#include "serialline.h"

#include <QString>

#include <memory>

// The scale's line for the program: the serial device, or a simulated scale.
std::unique_ptr<SerialLine> createSerialLine(const QString &device, bool simulate);
