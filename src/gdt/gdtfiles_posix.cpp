#include "gdtfiles.h"

#include "common/failure.h"
#include "common/systemerror.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Descriptor
{
    int fd;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

[[noreturn]] void failReading(const QString &path, int error)
{
    throw Failure(QStringLiteral("Die Datei „%1“ kann nicht gelesen werden: %2")
                      .arg(QDir::toNativeSeparators(path), systemCause(error)));
}

} // namespace

ExchangeFileRead readExchangeFile(const QString &path, qint64 limit)
{
    // Without O_NONBLOCK a FIFO would hold the open until someone writes into it.
    const Descriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        failReading(path, errno);
    struct stat info = {};
    if (::fstat(file.fd, &info) != 0)
        failReading(path, errno);
    if (!S_ISREG(info.st_mode))
        return {ExchangeFileRead::Kind::NotAFile, {}, 0};
    if (info.st_size > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, qint64(info.st_size)};

    // Read to one byte past the limit: the file may have grown since fstat.
    QByteArray bytes(limit + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total < bytes.size()) {
        const ssize_t n = ::read(file.fd, bytes.data() + total, size_t(bytes.size() - total));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failReading(path, errno);
        if (n == 0)
            break;
        total += n;
    }
    if (total > limit)
        return {ExchangeFileRead::Kind::TooLarge, {}, total};
    bytes.truncate(total);
    return {ExchangeFileRead::Kind::Read, std::move(bytes), total};
}
