#pragma once

// A real pseudo-terminal standing in for the scale's serial cable: the line under test
// opens the other side's path, the test writes frames on this side.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <thread>
#include <vector>

#include <pty.h>
#include <termios.h>
#include <unistd.h>

class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        char name[256] = {};
        int other = -1;
        if (openpty(&m_master, &other, name, nullptr, nullptr) != 0)
            qFatal("openpty failed");
        termios settings{};
        tcgetattr(other, &settings);
        cfmakeraw(&settings);
        tcsetattr(other, TCSANOW, &settings);
        ::close(other);
        m_path = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal() { close(); }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    // Path of the side the line opens.
    QString path() const { return m_path; }

    void write(const QByteArray &data) const
    {
        if (::write(m_master, data.constData(), static_cast<size_t>(data.size())) != data.size())
            qFatal("pty write failed");
    }

    // Writes the pieces with a pause after each but the last, as a UART or a USB
    // adapter hands them over.
    void writePaced(const std::vector<QByteArray> &pieces, std::chrono::microseconds pause) const
    {
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            write(pieces[i]);
            if (i + 1 < pieces.size())
                std::this_thread::sleep_for(pause);
        }
    }

    // The other end goes away, like a pulled USB adapter.
    void close()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_path;
};
