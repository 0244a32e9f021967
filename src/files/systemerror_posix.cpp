#include "systemerror.h"

#include <cstring>

QString systemCause(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}
