#include "nonblockingfile.h"

#include "common/failure.h"
#include "files/systemerror.h"

#include <QDir>

#include <windows.h>

namespace {

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

NonBlockingFile::NonBlockingFile(const QString &path)
    : m_path(path), m_handle(reinterpret_cast<std::intptr_t>(CreateFileW(
                        reinterpret_cast<const wchar_t *>(QDir::toNativeSeparators(path).utf16()),
                        GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)))
{
    if (handleOf(m_handle) == INVALID_HANDLE_VALUE)
        fail(static_cast<int>(GetLastError()));
    // Pipes and devices are no request, however they are named.
    if (GetFileType(handleOf(m_handle)) != FILE_TYPE_DISK)
        return;
    BY_HANDLE_FILE_INFORMATION info = {};
    if (!GetFileInformationByHandle(handleOf(m_handle), &info)) {
        const int error = static_cast<int>(GetLastError());
        CloseHandle(handleOf(m_handle));
        fail(error);
    }
    m_regular = !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    m_size = (qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
}

NonBlockingFile::~NonBlockingFile()
{
    CloseHandle(handleOf(m_handle));
}

qint64 NonBlockingFile::read(char *data, qint64 count)
{
    DWORD n = 0;
    if (!ReadFile(handleOf(m_handle), data, DWORD(count), &n, nullptr))
        fail(static_cast<int>(GetLastError()));
    return n;
}

void NonBlockingFile::fail(int error) const
{
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2")
                      .arg(QDir::toNativeSeparators(m_path), systemCause(error)));
}
