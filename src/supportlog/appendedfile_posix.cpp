#include "appendedfile.h"

#include "files/systemerror.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int appending = O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

QString notRegular()
{
    return QStringLiteral("es ist keine gewöhnliche Datei");
}

} // namespace

AppendedFile::AppendedFile(const QString &path) : m_path(path)
{
    const QByteArray name = QFile::encodeName(path);
    // Two rounds cover a file another process creates or removes in between.
    for (int round = 0; m_handle < 0 && round < 2; ++round) {
        m_handle = ::open(name.constData(), appending);
        if (m_handle < 0 && errno == ENOENT)
            m_handle = ::open(name.constData(), appending | O_CREAT | O_EXCL, 0600);
        if (m_handle < 0 && errno != ENOENT && errno != EEXIST)
            break;
    }
    if (m_handle < 0) {
        // ELOOP: a link at the name; ENXIO: a FIFO or socket nobody reads.
        m_problem = errno == ELOOP   ? QStringLiteral("es ist eine Verknüpfung, der nicht "
                                                        "gefolgt wird")
                    : errno == ENXIO ? notRegular()
                                     : systemCause(errno);
        return;
    }
    struct stat info = {};
    if (::fstat(int(m_handle), &info) != 0)
        m_problem = systemCause(errno);
    else if (!S_ISREG(info.st_mode))
        m_problem = notRegular();
}

AppendedFile::~AppendedFile()
{
    if (m_handle >= 0)
        ::close(int(m_handle));
}

bool AppendedFile::isAtItsPath() const
{
    struct stat open = {};
    struct stat named = {};
    return ::fstat(int(m_handle), &open) == 0 &&
           ::lstat(QFile::encodeName(m_path).constData(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

qint64 AppendedFile::size() const
{
    struct stat info = {};
    return ::fstat(int(m_handle), &info) == 0 ? info.st_size : 0;
}

QString AppendedFile::append(QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::write(int(m_handle), bytes.data(), size_t(bytes.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return systemCause(n < 0 ? errno : EIO);
        bytes = bytes.sliced(n);
    }
    return {};
}

QString createFolder(const QString &path)
{
    if (::mkdir(QFile::encodeName(path).constData(), 0700) == 0 || errno == EEXIST)
        return {};
    return systemCause(errno);
}
