#include "consoleoutput.h"

#include <cstdio>

#include <windows.h>

namespace {

bool usable(DWORD stream)
{
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

} // namespace

bool prepareConsoleOutput()
{
    // Redirected (a pipe, a file), the streams are already where the caller wants them.
    const bool out = usable(STD_OUTPUT_HANDLE);
    const bool err = usable(STD_ERROR_HANDLE);
    if (out && err)
        return true;
    // A GUI program gets no console of its own; started from a command prompt, it
    // writes into the prompt's. The prompt does not wait for it, so the text comes
    // after the next prompt, as with every GUI program that does this.
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return out;
    if (!out)
        std::freopen("CONOUT$", "w", stdout);
    if (!err)
        std::freopen("CONOUT$", "w", stderr);
    return true;
}

void showWithoutConsole(const QString &text, bool isError)
{
    MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()), L"Tessarine",
                MB_OK | (isError ? MB_ICONERROR : MB_ICONINFORMATION));
}
