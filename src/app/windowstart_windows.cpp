#include "windowstart.h"

// Windows always has its desktop.
bool displayAvailable(const QStringList &)
{
    return true;
}
