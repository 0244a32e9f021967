#include "serialdevice.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPort>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

QString notSerialDeviceCause(const QString &device)
{
    struct stat st = {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0)
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("das ist ein Ordner, keine serielle Schnittstelle");
    if (!S_ISCHR(st.st_mode))
        return QStringLiteral("das ist keine Gerätedatei, also keine serielle Schnittstelle");
    // Opened without becoming its controlling terminal and without waiting for a carrier.
    const int fd =
        ::open(QFile::encodeName(device).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal ? QString()
                    : QStringLiteral("das Gerät ist keine serielle Schnittstelle (kein Terminal)");
}

QString staleLockCause(const QString &device)
{
    // The UUCP lock file Qt's serial port takes: "LCK.." and the name below /dev, with
    // slashes as underscores, in the first lock directory the system has.
    QString name = device;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    for (const char *directory : {"/var/lock", "/run/lock", "/etc/locks", "/var/spool/locks",
                                  "/var/spool/uucp", "/tmp", "/var/tmp"}) {
        const QString path = QLatin1String(directory) + QStringLiteral("/LCK..") + name;
        if (!QFileInfo::exists(path))
            continue;
        qint64 pid = 0;
        QString host;
        QString application;
        if (!QLockFile(path).getLockInfo(&pid, &host, &application) || pid <= 0)
            return {};
        // EPERM: the process runs under another account.
        if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH)
            return {};
        return QStringLiteral("sie ist durch die Sperrdatei %1 eines beendeten Programms "
                              "(Prozess %2) belegt, die dieses Benutzerkonto nicht entfernen "
                              "darf. Ein Administrator entfernt sie mit „sudo rm %1“")
            .arg(QFileInfo(path).canonicalFilePath())
            .arg(pid);
    }
    return {};
}

bool driverHoldsInput(const QSerialPort &port)
{
    int unread = 0;
    return ::ioctl(port.handle(), FIONREAD, &unread) == 0 && unread > 0;
}

namespace {

// QSerialPort has no call to pause its reading: it watches its descriptor with a socket
// notifier, a child of the port, and reads into its own buffer whenever a byte comes.
// Only a notifier that watches exactly this port's descriptor for input is taken.
QSocketNotifier *inputWatch(QSerialPort &port)
{
    const auto children = port.findChildren<QSocketNotifier *>(Qt::FindDirectChildrenOnly);
    for (QSocketNotifier *notifier : children) {
        if (notifier->type() == QSocketNotifier::Read && notifier->socket() == port.handle())
            return notifier;
    }
    return nullptr;
}

} // namespace

bool pauseInputWatch(QSerialPort &port)
{
    // Bytes in the port's buffer would come after those read aside.
    QSocketNotifier *watch = inputWatch(port);
    if (!watch || !watch->isEnabled() || port.bytesAvailable() > 0)
        return false;
    watch->setEnabled(false);
    return true;
}

void resumeInputWatch(QSerialPort &port)
{
    if (QSocketNotifier *watch = inputWatch(port))
        watch->setEnabled(true);
}

QByteArray readHeldInput(QSerialPort &port)
{
    QByteArray input;
    char chunk[256];
    for (;;) {
        // The port reads without waiting (VMIN and VTIME 0): 0 is "nothing more" here,
        // and also a hung-up device, which the resumed watch reports.
        const ssize_t got = ::read(port.handle(), chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return input;
        input.append(chunk, got);
        if (static_cast<size_t>(got) < sizeof chunk)
            return input;
    }
}
