#pragma once

#include <QString>

// Makes stdout and stderr reach the console the program was started from. Called
// once at the start of main, before anything is printed. Returns false when there is
// none: a Windows program started from the menu or from Explorer.
bool prepareConsoleOutput();

// The command line's answer (help, version, port list, a wrong option) for a program
// that has no console to print it on: a message box.
void showWithoutConsole(const QString &text, bool isError);
