#include "serialdevice.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPort>

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
