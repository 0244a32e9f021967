#include "atomicfile.h"

#include "common/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void fail(const QString &what, const QString &path, int error,
                       const QString &addition = {})
{
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht %2 werden: %3")
                      .arg(shown(path), what, systemCause(error)) +
                  addition);
}

[[noreturn]] void failNotRegular(const QString &path)
{
    throw Failure(QStringLiteral("„%1“ ist keine gewöhnliche Datei (sondern z. B. ein Ordner oder "
                                 "eine Pipe) und wird nicht geöffnet.")
                      .arg(shown(path)));
}

const QString rollbackFailed =
    QStringLiteral(" Die Datei konnte nicht auf ihren vorigen Stand zurückgesetzt werden.");

// A short hidden name, so that a long final name cannot make it too long.
QString temporaryPath(const QString &path)
{
    return QFileInfo(path).absolutePath() +
           QStringLiteral("/.tessarine-%1.tmp")
               .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
}

// Where the bytes go when a file ends without a line end.
QByteArray missingLineEnd(QByteArrayView tail)
{
    if (tail.endsWith('\n'))
        return {};
    return tail.endsWith('\r') ? QByteArray("\n") : QByteArray("\r\n");
}

#ifdef Q_OS_WIN

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

#else

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int writeAll(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(fd, bytes.data(), static_cast<size_t>(bytes.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        bytes = bytes.sliced(n);
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

// A new or renamed directory entry is only durable once its directory is synced.
void syncDirectoryOf(const QString &path)
{
    const int fd = ::open(native(QFileInfo(path).absolutePath()).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Opens without following into a FIFO's wait for a partner, then insists on a
// regular file. Returns -1 with errno set when the open itself fails.
int openRegular(const QString &path, int flags)
{
    const int fd = ::open(native(path).constData(), flags | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failNotRegular(path);
    }
    return fd;
}

#endif

} // namespace

QString systemCause(int error)
{
    // The system's own text in the user's language; Qt has untranslated English texts
    // of its own for some errors, the full disk among them.
#ifdef Q_OS_WIN
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
#else
    return QString::fromLocal8Bit(std::strerror(error));
#endif
}

bool fileExists(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (!info.isFile())
        failNotRegular(path);
    return true;
}

void openForReading(QFile &file, const QString &path)
{
#ifdef Q_OS_WIN
    // No FIFOs in a Windows directory; devices and folders are told apart by type.
    if (QFileInfo::exists(path))
        fileExists(path);
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden: %2")
                          .arg(shown(path), file.errorString()));
#else
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0)
        fail(QStringLiteral("geöffnet"), path, errno);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden: %2")
                          .arg(shown(path), file.errorString()));
    }
#endif
}

PendingFile::PendingFile(const QString &path) : m_path(path)
{
    for (int attempt = 0; m_handle == -1; ++attempt) {
        m_tempPath = temporaryPath(path);
#ifdef Q_OS_WIN
        const HANDLE h = CreateFileW(native(m_tempPath).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            m_handle = reinterpret_cast<qintptr>(h);
        } else if (const DWORD error = GetLastError();
                   (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100) {
            fail(QStringLiteral("angelegt"), path, static_cast<int>(error));
        }
#else
        // Created as any new file, so the user's umask and the folder's rights apply.
        const int fd =
            ::open(native(m_tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            m_handle = fd;
        else if (errno != EEXIST || attempt > 100)
            fail(QStringLiteral("angelegt"), path, errno);
#endif
    }
}

PendingFile::~PendingFile()
{
    close();
    if (!m_tempPath.isEmpty()) {
#ifdef Q_OS_WIN
        DeleteFileW(native(m_tempPath).c_str());
#else
        ::unlink(native(m_tempPath).constData());
#endif
    }
}

void PendingFile::close()
{
    if (m_handle == -1)
        return;
#ifdef Q_OS_WIN
    CloseHandle(handleOf(m_handle));
#else
    ::close(static_cast<int>(m_handle));
#endif
    m_handle = -1;
}

void PendingFile::write(const QByteArray &bytes)
{
#ifdef Q_OS_WIN
    const int error = static_cast<int>(writeAll(handleOf(m_handle), bytes));
#else
    const int error = writeAll(static_cast<int>(m_handle), bytes);
#endif
    close();
    if (error != 0)
        fail(QStringLiteral("geschrieben"), m_path, error);
}

bool PendingFile::placeNew()
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(native(m_tempPath).c_str(), native(m_path).c_str(), MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
            return false;
        fail(QStringLiteral("angelegt"), m_path, static_cast<int>(error));
    }
    m_tempPath.clear();
#else
    // link() never replaces; where a file system has no hard links, a rename that
    // refuses to replace does the same.
    int result = ::link(native(m_tempPath).constData(), native(m_path).constData());
    if (result != 0 && errno != EEXIST) {
        result = ::renameat2(AT_FDCWD, native(m_tempPath).constData(), AT_FDCWD,
                             native(m_path).constData(), RENAME_NOREPLACE);
        if (result == 0)
            m_tempPath.clear();
    }
    if (result != 0) {
        if (errno == EEXIST)
            return false;
        fail(QStringLiteral("angelegt"), m_path, errno);
    }
    if (!m_tempPath.isEmpty()) {
        ::unlink(native(m_tempPath).constData());
        m_tempPath.clear();
    }
    syncDirectoryOf(m_path);
#endif
    return true;
}

void PendingFile::placeReplacing()
{
#ifdef Q_OS_WIN
    if (!MoveFileExW(native(m_tempPath).c_str(), native(m_path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        fail(QStringLiteral("geschrieben"), m_path, static_cast<int>(GetLastError()));
#else
    if (::rename(native(m_tempPath).constData(), native(m_path).constData()) != 0)
        fail(QStringLiteral("geschrieben"), m_path, errno);
    syncDirectoryOf(m_path);
#endif
    m_tempPath.clear();
}

bool createNewFile(const QString &path, const QByteArray &bytes)
{
    PendingFile file(path);
    file.write(bytes);
    return file.placeNew();
}

#ifdef Q_OS_WIN

bool appendToExistingFile(const QString &path, const QByteArray &bytes, const QByteArray &ifEmpty)
{
    const HANDLE h =
        CreateFileW(native(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
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
             restored ? QString() : rollbackFailed);
    }
    UnlockFileEx(h, 0, MAXDWORD, MAXDWORD, &whole);
    return true;
}

#else

bool appendToExistingFile(const QString &path, const QByteArray &bytes, const QByteArray &ifEmpty)
{
    const int fd = openRegular(path, O_RDWR | O_APPEND);
    if (fd < 0) {
        if (errno == ENOENT)
            return false;
        fail(QStringLiteral("geöffnet"), path, errno);
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); } // also releases the lock
    } closer{fd};

    // Another station appending at the same moment must not be cut off by a rollback
    // of ours. A file system without locks still gets the append.
    struct flock whole = {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    while (::fcntl(fd, F_SETLKW, &whole) != 0) {
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL)
            break;
        if (errno != EINTR)
            fail(QStringLiteral("gesperrt"), path, errno);
    }

    struct stat st = {};
    if (::fstat(fd, &st) != 0)
        fail(QStringLiteral("gelesen"), path, errno);
    const off_t size = st.st_size;
    QByteArray out = size == 0 && !ifEmpty.isEmpty() ? ifEmpty : bytes;
    if (size > 0) {
        char tail[2] = {};
        const off_t from = std::max<off_t>(0, size - 2);
        const ssize_t got = ::pread(fd, tail, static_cast<size_t>(size - from), from);
        if (got < 0)
            fail(QStringLiteral("gelesen"), path, errno);
        out.prepend(missingLineEnd(QByteArrayView(tail, got)));
    }
    if (const int error = writeAll(fd, out); error != 0) {
        const bool restored = ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0;
        fail(QStringLiteral("geschrieben"), path, error, restored ? QString() : rollbackFailed);
    }
    return true;
}

#endif
