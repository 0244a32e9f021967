#include "systemerror.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

QString systemCause(int error)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString cause = length > 0 ? QString::fromWCharArray(text, length).trimmed()
                               : QStringLiteral("Fehler %1").arg(error);
    LocalFree(text);
    if (cause.endsWith(QLatin1Char('.')))
        cause.chop(1);
    return cause;
}
