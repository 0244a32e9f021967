#include "consoleoutput.h"

#include <cstdio>

// A Unix program always has the streams of the terminal or pipe it was started from.
bool prepareConsoleOutput()
{
    return true;
}

void showWithoutConsole(const QString &text, bool)
{
    std::fputs(qPrintable(text), stderr);
}
