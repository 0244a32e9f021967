#include "bufferedline.h"

#include <utility>

BufferedLine::BufferedLine(QObject *parent) : SerialLine(parent)
{
    m_idle.setSingleShot(true);
    m_idle.setTimerType(Qt::PreciseTimer);
    m_idle.setInterval(idleGapMs);
    connect(&m_idle, &QTimer::timeout, this, &BufferedLine::gapElapsed);
}

qint64 BufferedLine::bytesWaiting() const
{
    return m_buffer.size();
}

QByteArray BufferedLine::input()
{
    return std::exchange(m_buffer, {});
}

void BufferedLine::discard()
{
    dropDeviceInput();
    forgetReceived();
}

void BufferedLine::received(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_buffer += bytes;
    m_idle.start();
}

void BufferedLine::forgetReceived()
{
    m_idle.stop();
    m_buffer.clear();
}

void BufferedLine::gapElapsed()
{
    if (!m_buffer.isEmpty())
        Q_EMIT dataWaiting();
}
