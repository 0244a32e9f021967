#include "appendedfile.h"

#include "files/systemerror.h"

#include <QDir>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

namespace {

HANDLE handleOf(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

// Another station may rename or remove the file while this one holds it.
constexpr DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

} // namespace

AppendedFile::AppendedFile(const QString &path) : m_path(path)
{
    // FILE_APPEND_DATA alone: every write goes to the end, whoever else appends.
    // The reparse point itself is opened, so that a link is refused, not followed.
    for (int round = 0; handleOf(m_handle) == INVALID_HANDLE_VALUE && round < 2; ++round) {
        for (const DWORD disposition : {OPEN_EXISTING, CREATE_NEW}) {
            m_handle = reinterpret_cast<std::intptr_t>(CreateFileW(
                native(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, sharing, nullptr,
                disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            const DWORD error = GetLastError();
            if (handleOf(m_handle) != INVALID_HANDLE_VALUE ||
                (error != ERROR_FILE_NOT_FOUND && error != ERROR_FILE_EXISTS))
                break;
        }
    }
    if (handleOf(m_handle) == INVALID_HANDLE_VALUE) {
        m_problem = systemCause(static_cast<int>(GetLastError()));
        return;
    }
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileType(handleOf(m_handle)) != FILE_TYPE_DISK)
        m_problem = QStringLiteral("es ist keine gewöhnliche Datei");
    else if (!GetFileInformationByHandle(handleOf(m_handle), &info))
        m_problem = systemCause(static_cast<int>(GetLastError()));
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        m_problem = QStringLiteral("es ist eine Verknüpfung, der nicht gefolgt wird");
    else if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        m_problem = QStringLiteral("es ist keine gewöhnliche Datei");
}

AppendedFile::~AppendedFile()
{
    if (handleOf(m_handle) != INVALID_HANDLE_VALUE)
        CloseHandle(handleOf(m_handle));
}

bool AppendedFile::isAtItsPath() const
{
    BY_HANDLE_FILE_INFORMATION open = {};
    BY_HANDLE_FILE_INFORMATION named = {};
    const HANDLE h =
        CreateFileW(native(m_path).c_str(), FILE_READ_ATTRIBUTES, sharing, nullptr, OPEN_EXISTING,
                    FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool read = GetFileInformationByHandle(h, &named) &&
                      GetFileInformationByHandle(handleOf(m_handle), &open);
    CloseHandle(h);
    return read && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber &&
           open.nFileIndexHigh == named.nFileIndexHigh && open.nFileIndexLow == named.nFileIndexLow;
}

qint64 AppendedFile::size() const
{
    LARGE_INTEGER size = {};
    return GetFileSizeEx(handleOf(m_handle), &size) ? size.QuadPart : 0;
}

QString AppendedFile::append(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(bytes.size(), 1 << 30));
        if (!WriteFile(handleOf(m_handle), bytes.data(), chunk, &written, nullptr))
            return systemCause(static_cast<int>(GetLastError()));
        if (written == 0)
            return systemCause(ERROR_WRITE_FAULT);
        bytes = bytes.sliced(written);
    }
    return {};
}

QString createFolder(const QString &path)
{
    if (CreateDirectoryW(native(path).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        return {};
    return systemCause(static_cast<int>(GetLastError()));
}
