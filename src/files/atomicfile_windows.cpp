#include "atomicfile.h"
#include "atomicfile_platform.h"

#include "common/failure.h"

#include <QDir>
#include <QFileInfo>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>

using namespace atomicfile;

namespace {

std::wstring native(const QString &path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}

HANDLE handleOf(qintptr h)
{
    return reinterpret_cast<HANDLE>(h);
}

DWORD writeAll(HANDLE h, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<qsizetype>(bytes.size(), 1 << 30));
        if (!WriteFile(h, bytes.data(), chunk, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_WRITE_FAULT;
        bytes = bytes.sliced(written);
    }
    return FlushFileBuffers(h) ? 0 : GetLastError();
}

} // namespace

int atomicfile::moveWithoutReplacing(const QString &from, const QString &to)
{
    if (MoveFileExW(native(from).c_str(), native(to).c_str(), MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return movedNothing;
    return static_cast<int>(error);
}

bool atomicfile::isLink(const QString &path)
{
    const DWORD attributes = GetFileAttributesW(native(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

void openForReading(QFile &file, const QString &path)
{
    // No FIFOs in a Windows directory; devices, folders and links are told apart by type.
    fileExists(path);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden: %2")
                          .arg(shown(path), file.errorString()));
}

PendingFile::PendingFile(const QString &path) : m_path(path)
{
    for (int attempt = 0; m_handle == -1; ++attempt) {
        m_tempPath = temporaryPath(path);
        const HANDLE h = CreateFileW(native(m_tempPath).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<qintptr>(h);
        } else if (const DWORD error = GetLastError();
                   (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100) {
            fail(QStringLiteral("angelegt"), path, static_cast<int>(error));
        }
    }
}

PendingFile::~PendingFile()
{
    close();
    if (!m_tempPath.isEmpty())
        DeleteFileW(native(m_tempPath).c_str());
}

void PendingFile::close()
{
    if (m_handle == -1)
        return;
    CloseHandle(handleOf(m_handle));
    m_handle = -1;
}

void PendingFile::write(const QByteArray &bytes)
{
    const int error = static_cast<int>(writeAll(handleOf(m_handle), bytes));
    close();
    if (error != 0)
        fail(QStringLiteral("geschrieben"), m_path, error);
}

void PendingFile::placeReplacing()
{
    if (!MoveFileExW(native(m_tempPath).c_str(), native(m_path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(QStringLiteral("geschrieben"), m_path, static_cast<int>(GetLastError()));
    m_tempPath.clear();
}

bool appendToExistingFile(const QString &path, const QByteArray &bytes, const QByteArray &ifEmpty)
{
    const HANDLE h = CreateFileW(native(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        fail(QStringLiteral("geöffnet"), path, static_cast<int>(error));
    }
    struct Closer
    {
        HANDLE h;
        ~Closer() { CloseHandle(h); }
    } closer{h};
    if (GetFileType(h) != FILE_TYPE_DISK)
        failNotRegular(path);
    // Opened as the link itself, so that a link is refused, not followed.
    BY_HANDLE_FILE_INFORMATION info = {};
    if (GetFileInformationByHandle(h, &info) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        failLink(path);
    OVERLAPPED whole = {};
    if (!LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole))
        fail(QStringLiteral("gesperrt"), path, static_cast<int>(GetLastError()));

    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(h, &size))
        fail(QStringLiteral("gelesen"), path, static_cast<int>(GetLastError()));
    QByteArray out = size.QuadPart == 0 && !ifEmpty.isEmpty() ? ifEmpty : bytes;
    if (size.QuadPart > 0) {
        char tail[2] = {};
        const LONGLONG from = std::max<LONGLONG>(0, size.QuadPart - 2);
        OVERLAPPED at = {};
        at.Offset = static_cast<DWORD>(from);
        at.OffsetHigh = static_cast<DWORD>(from >> 32);
        DWORD got = 0;
        if (!ReadFile(h, tail, static_cast<DWORD>(size.QuadPart - from), &got, &at))
            fail(QStringLiteral("gelesen"), path, static_cast<int>(GetLastError()));
        out.prepend(missingLineEnd(QByteArrayView(tail, got)));
    }
    LARGE_INTEGER end = {};
    DWORD error = SetFilePointerEx(h, end, nullptr, FILE_END) ? 0 : GetLastError();
    if (error == 0)
        error = writeAll(h, out);
    if (error != 0) {
        const bool restored = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h) &&
                              FlushFileBuffers(h);
        fail(QStringLiteral("geschrieben"), path, static_cast<int>(error),
             restored ? QString() : rollbackFailed());
    }
    UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    return true;
}

void removeFile(const QString &path)
{
    if (!DeleteFileW(native(path).c_str()))
        fail(QStringLiteral("gelöscht"), path, static_cast<int>(GetLastError()));
}
