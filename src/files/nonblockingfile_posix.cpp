#include "nonblockingfile.h"

#include "common/failure.h"
#include "files/systemerror.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

NonBlockingFile::NonBlockingFile(const QString &path)
    : m_path(path)
      // Without O_NONBLOCK a FIFO would hold the open until someone writes into it.
      ,
      m_handle(::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC))
{
    if (m_handle < 0)
        fail(errno);
    struct stat info = {};
    if (::fstat(int(m_handle), &info) != 0) {
        const int error = errno;
        ::close(int(m_handle));
        fail(error);
    }
    m_regular = S_ISREG(info.st_mode);
    m_size = info.st_size;
}

NonBlockingFile::~NonBlockingFile()
{
    ::close(int(m_handle));
}

qint64 NonBlockingFile::read(char *data, qint64 count)
{
    for (;;) {
        const ssize_t n = ::read(int(m_handle), data, size_t(count));
        if (n >= 0)
            return n;
        if (errno != EINTR)
            fail(errno);
    }
}

void NonBlockingFile::fail(int error) const
{
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2")
                      .arg(QDir::toNativeSeparators(m_path), systemCause(error)));
}
