#include "seriallinefactory.h"

#include "serialportline.h"
#include "simulatedline.h"

std::unique_ptr<SerialLine> createSerialLine(const QString &device, bool simulate)
{
    if (simulate)
        return std::make_unique<SimulatedLine>();
    return std::make_unique<SerialPortLine>(device);
}
