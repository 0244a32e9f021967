#pragma once

// A real file system of 64 KiB mounted over a temporary directory, to be filled up:
// a full disk is the kernel's own ENOSPC here, partial writes included. Mounting needs
// root (as in CI); where it is refused, tests skip with whyNot().

#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#endif

class SmallFileSystem
{
public:
    SmallFileSystem()
    {
#ifdef Q_OS_LINUX
        m_mounted = ::mount("tmpfs", QFile::encodeName(path()).constData(), "tmpfs", 0,
                            "size=64k,mode=0755") == 0;
        m_whyNot = std::strerror(errno);
#endif
    }
    ~SmallFileSystem()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(QFile::encodeName(path()).constData(), MNT_DETACH);
#endif
    }

    bool mounted() const
    {
        return m_mounted;
    }
    QByteArray whyNot() const
    {
        return "a full disk needs a tmpfs, not mountable: " + m_whyNot;
    }
    QString path() const
    {
        return m_dir.path();
    }

    // Takes every free block, so that the next block a file needs cannot be had.
    void fill()
    {
        QFile filler(m_dir.filePath(QStringLiteral("Füllung")));
        if (filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            while (filler.write(QByteArray(1024, 'f')) > 0) {
            }
        }
    }
    void freeSpace()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("Füllung")));
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
    QByteArray m_whyNot = "no tmpfs here";
};
