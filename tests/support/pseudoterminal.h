#pragma once

// A real pseudo-terminal standing in for the scale's serial cable: the line under test
// opens the other side's path, the test writes frames on this side.

#include <QByteArray>
#include <QString>

#include <chrono>
#include <thread>
#include <vector>

#include <pthread.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

// Real-time scheduling of the calling thread while it lives, where the system allows it:
// on a busy machine a late wake-up would put pauses into frames that no UART makes.
class RealTime
{
public:
    RealTime()
    {
        pthread_getschedparam(pthread_self(), &m_policy, &m_saved);
        sched_param realtime{};
        realtime.sched_priority = sched_get_priority_min(SCHED_FIFO);
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &realtime);
    }
    ~RealTime() { pthread_setschedparam(pthread_self(), m_policy, &m_saved); }
    RealTime(const RealTime &) = delete;
    RealTime &operator=(const RealTime &) = delete;

private:
    int m_policy = 0;
    sched_param m_saved{};
};

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
        const RealTime realTime;
        for (std::size_t i = 0; i < pieces.size(); ++i) {
            write(pieces[i]);
            if (i + 1 < pieces.size())
                std::this_thread::sleep_for(pause);
        }
    }

    // Writes byte i at start + i character times of 9600 Bd 8N1, as a UART at full rate:
    // no gap anywhere.
    void writeAtLineRate(const QByteArray &stream) const
    {
        const RealTime realTime;
        constexpr std::chrono::nanoseconds characterTime{1'000'000'000LL * 10 / 9600};
        const auto start = std::chrono::steady_clock::now();
        for (qsizetype i = 0; i < stream.size(); ++i) {
            std::this_thread::sleep_until(start + i * characterTime);
            write(stream.sliced(i, 1));
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
