#include "repaintpacer.h"

#include <algorithm>
#include <utility>

RepaintPacer::RepaintPacer(int intervalMs, QObject *parent)
    : QObject(parent), m_intervalMs(intervalMs)
{
    m_release.setSingleShot(true);
    m_release.setTimerType(Qt::PreciseTimer);
    connect(&m_release, &QTimer::timeout, this, &RepaintPacer::release);
}

void RepaintPacer::beforeWrite(QWidget *widget)
{
    if (!m_held.contains(widget)) {
        widget->setUpdatesEnabled(false);
        m_held.append(widget);
    }
    if (m_release.isActive())
        return; // the release shows the latest
    m_release.start(static_cast<int>(std::max<qint64>(0, m_intervalMs - sinceRepaint())) +
                    releaseSlackMs);
}

void RepaintPacer::afterWrites()
{
    if (!m_held.isEmpty() && sinceRepaint() >= m_intervalMs) {
        m_release.stop();
        release();
    }
}

qint64 RepaintPacer::sinceRepaint() const
{
    return m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : qint64(m_intervalMs);
}

void RepaintPacer::release()
{
    m_sinceRepaint.start();
    QWidget *last = nullptr;
    for (const QPointer<QWidget> &widget : std::exchange(m_held, {})) {
        if (widget) {
            widget->setUpdatesEnabled(true);
            last = widget;
        }
    }
    // Now, not by a posted request that the next write's hold could overtake; one pass
    // paints every widget released and hands the window to the screen once.
    if (last)
        last->repaint();
}
