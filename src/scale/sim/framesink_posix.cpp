#include "framesink.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <pty.h>
#include <sched.h>
#include <termios.h>
#include <unistd.h>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "tessarine-scale-sim: %s: %s\n", what, std::strerror(errno));
    std::exit(1);
}

// Raw 9600 8N1: nothing may be translated, 0x00 and 0xFF are data.
bool makeRaw(int fd)
{
    termios settings{};
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    settings.c_cflag |= CLOCAL | CREAD | CS8;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

class FileDescriptorSink : public FrameSink
{
public:
    FileDescriptorSink(int fd, int other) : m_fd(fd), m_other(other) {}
    ~FileDescriptorSink() override
    {
        if (m_other >= 0) {
            // Let the last frames drain before the pair disappears.
            tcdrain(m_fd);
            ::close(m_other);
        }
        ::close(m_fd);
    }

    bool send(const QByteArray &bytes) override
    {
        for (qsizetype i = 0; i < bytes.size();) {
            const ssize_t written =
                ::write(m_fd, bytes.constData() + i, static_cast<size_t>(bytes.size() - i));
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                if (errno == EAGAIN || errno == EIO)
                    return false;
                fail("schreiben");
            }
            i += written;
        }
        return true;
    }

private:
    int m_fd;
    int m_other;
};

} // namespace

std::unique_ptr<FrameSink> openFrameSink(const QString &device)
{
    if (device.isEmpty()) {
        int fd = -1;
        int other = -1;
        char name[256] = {};
        if (openpty(&fd, &other, name, nullptr, nullptr) != 0)
            fail("openpty");
        // Holding the other side open keeps the pair alive while Tessarine reopens it.
        if (!makeRaw(other))
            fail("tcsetattr");
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        std::printf("%s\n", name);
        std::fflush(stdout);
        return std::make_unique<FileDescriptorSink>(fd, other);
    }
    const int fd = ::open(device.toLocal8Bit().constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        fail(device.toLocal8Bit().constData());
    if (!makeRaw(fd))
        fail("tcsetattr");
    return std::make_unique<FileDescriptorSink>(fd, -1);
}

void keepPacingOnTime()
{
    sched_param priority{};
    priority.sched_priority = sched_get_priority_min(SCHED_FIFO);
    sched_setscheduler(0, SCHED_FIFO, &priority);
}
