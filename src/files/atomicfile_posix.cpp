#include "atomicfile.h"
#include "atomicfile_platform.h"

#include "common/failure.h"

#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace atomicfile;

namespace {

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
    const int fd = ::open(native(path).constData(), flags | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0 && errno == ELOOP)
        failLink(path);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        failNotRegular(path);
    }
    return fd;
}

} // namespace

int atomicfile::moveWithoutReplacing(const QString &from, const QString &to)
{
    // link() never replaces; where a file system has no hard links, a rename that
    // refuses to replace does the same.
    bool linked = ::link(native(from).constData(), native(to).constData()) == 0;
    if (!linked && errno != EEXIST) {
        if (::renameat2(AT_FDCWD, native(from).constData(), AT_FDCWD, native(to).constData(),
                        RENAME_NOREPLACE) != 0)
            return errno == EEXIST ? movedNothing : errno;
    } else if (!linked) {
        return movedNothing;
    } else {
        ::unlink(native(from).constData());
    }
    syncDirectoryOf(to);
    return 0;
}

bool atomicfile::isLink(const QString &path)
{
    struct stat st = {};
    return ::lstat(native(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

void openForReading(QFile &file, const QString &path)
{
    const int fd = openRegular(path, O_RDONLY);
    if (fd < 0)
        fail(QStringLiteral("geöffnet"), path, errno);
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw Failure(QStringLiteral("Die Datei „%1“ kann nicht geöffnet werden: %2")
                          .arg(shown(path), file.errorString()));
    }
}

PendingFile::PendingFile(const QString &path) : m_path(path)
{
    for (int attempt = 0; m_handle == -1; ++attempt) {
        m_tempPath = temporaryPath(path);
        // Created as any new file, so the user's umask and the folder's rights apply.
        const int fd =
            ::open(native(m_tempPath).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            m_handle = fd;
        else if (errno != EEXIST || attempt > 100)
            fail(QStringLiteral("angelegt"), path, errno);
    }
}

PendingFile::~PendingFile()
{
    close();
    if (!m_tempPath.isEmpty())
        ::unlink(native(m_tempPath).constData());
}

void PendingFile::close()
{
    if (m_handle == -1)
        return;
    ::close(static_cast<int>(m_handle));
    m_handle = -1;
}

void PendingFile::write(const QByteArray &bytes)
{
    const int error = writeAll(static_cast<int>(m_handle), bytes);
    close();
    if (error != 0)
        fail(QStringLiteral("geschrieben"), m_path, error);
}

void PendingFile::placeReplacing()
{
    if (::rename(native(m_tempPath).constData(), native(m_path).constData()) != 0)
        fail(QStringLiteral("geschrieben"), m_path, errno);
    syncDirectoryOf(m_path);
    m_tempPath.clear();
}

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
        fail(QStringLiteral("geschrieben"), path, error, restored ? QString() : rollbackFailed());
    }
    return true;
}

void removeFile(const QString &path)
{
    if (::unlink(native(path).constData()) != 0)
        fail(QStringLiteral("gelöscht"), path, errno);
}
