#include "bufferedline.h"

#include "common/logcategories.h"

BufferedLine::BufferedLine(QObject *parent) : SerialLine(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setTimerType(Qt::PreciseTimer);
    connect(&m_quiet, &QTimer::timeout, this, &BufferedLine::checkQuiet);
    m_sinceBytes.start();
    m_countsSince.start();
    watchForQuiet();
}

qint64 BufferedLine::bytesWaiting() const
{
    return m_splitter.bytesWaiting();
}

QByteArray BufferedLine::input()
{
    QByteArray frame = m_splitter.take();
    watchForQuiet();
    count(frame);
    return frame;
}

void BufferedLine::count(const QByteArray &frame)
{
    if (frame.isEmpty())
        return;
    qCDebug(logScale) << "Rahmen mit" << frame.size() << "Bytes";
    ++m_counts.frames;
    m_counts.cut += frame.size() != 4 ? 1 : 0;
    m_counts.bytesTaken += static_cast<quint64>(frame.size());
    if (m_countsSince.elapsed() < m_countsInterval.count())
        return;
    const quint64 discarded = m_counts.bytesReceived > m_counts.bytesTaken
                                  ? m_counts.bytesReceived - m_counts.bytesTaken
                                  : 0;
    qCInfo(logScale).noquote() << QStringLiteral("Waage an %1 in %2 min: %3 Rahmen, %4 "
                                                 "zugeschnitten, %5 Bytes verworfen")
                                      .arg(deviceName())
                                      .arg(m_countsSince.elapsed() / 60000)
                                      .arg(m_counts.frames)
                                      .arg(m_counts.cut)
                                      .arg(discarded);
    m_counts = {};
    m_countsSince.restart();
}

void BufferedLine::discard()
{
    if (m_reporting > 0)
        return;
    dropDeviceInput();
    forgetReceived();
}

void BufferedLine::received(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return;
    m_counts.bytesReceived += static_cast<quint64>(bytes.size());
    m_splitter.receive(bytes, m_sinceBytes.restart());
    watchForQuiet();
    bytesSplit();
    reportWaiting();
}

void BufferedLine::forgetReceived()
{
    m_splitter.restart();
    m_sinceBytes.restart();
    watchForQuiet();
}

void BufferedLine::watchForQuiet()
{
    // Armed once, not byte by byte: when it fires it measures from the last byte.
    const int quietMs = m_splitter.quietToAwaitMs();
    if (quietMs > 0 && !m_quiet.isActive())
        m_quiet.start(quietMs);
}

void BufferedLine::checkQuiet()
{
    const int quietMs = m_splitter.quietToAwaitMs();
    if (quietMs == 0)
        return;
    const qint64 sinceBytes = m_sinceBytes.elapsed();
    if (sinceBytes < quietMs) {
        m_quiet.start(static_cast<int>(quietMs - sinceBytes));
        return;
    }
    if (deviceHoldsInput()) {
        m_quiet.start(1); // the reader was away; the bytes are read before anything is cut
        return;
    }
    m_splitter.lineQuiet();
    reportWaiting();
}

void BufferedLine::reportWaiting()
{
    // A handler may open a message box, whose event loop reports later frames from
    // within; each frame is still reported once, in order.
    while (m_splitter.framesReady() > 0) {
        const quint64 taken = m_splitter.framesTaken();
        ++m_reporting;
        Q_EMIT dataWaiting();
        --m_reporting;
        if (m_splitter.framesTaken() == taken)
            m_splitter.dropFrame(); // nobody took it: no handler connected
    }
}
