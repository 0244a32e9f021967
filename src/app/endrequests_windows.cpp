#include "endrequests.h"

// Windows ends a GUI program at a logout through its window (Qt handles that) and
// closes the serial port's handle with the process; no lock file is left behind.
EndRequests::EndRequests(QObject *parent) : QObject(parent) {}

EndRequests::~EndRequests() = default;
