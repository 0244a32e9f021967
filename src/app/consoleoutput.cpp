#include "consoleoutput.h"

void prepareConsoleOutput()
{
    // A Windows GUI program starts without a console; attaching to the parent's
    // belongs here.
}
