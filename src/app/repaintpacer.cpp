#include "repaintpacer.h"

RepaintPacer::RepaintPacer(const QList<QWidget *> &widgets, int intervalMs, QObject *parent)
    : QObject(parent), m_widgets(widgets.begin(), widgets.end()), m_intervalMs(intervalMs)
{
    m_release.setSingleShot(true);
    // A coarse timer is the GUI thread's own (SetTimer on Windows); a precise one there
    // runs on a multimedia-timer thread that a busy machine can starve for whole
    // seconds, and the held fields would not repaint meanwhile.
    m_release.setTimerType(Qt::CoarseTimer);
    connect(&m_release, &QTimer::timeout, this, &RepaintPacer::release);
}

void RepaintPacer::beforeWrite()
{
    if (m_release.isActive()) {
        if (m_sinceRepaint.elapsed() < 2 * m_intervalMs)
            return; // held; the release shows the latest
        release(); // the timer is late: this write repaints instead
        return;
    }
    if (!m_sinceRepaint.isValid() || m_sinceRepaint.elapsed() >= m_intervalMs) {
        m_sinceRepaint.start(); // this write repaints as usual
        return;
    }
    for (QWidget *widget : std::as_const(m_widgets))
        if (widget)
            widget->setUpdatesEnabled(false);
    m_release.start(static_cast<int>(m_intervalMs - m_sinceRepaint.elapsed()));
}

void RepaintPacer::release()
{
    m_release.stop();
    m_sinceRepaint.start();
    for (QWidget *widget : std::as_const(m_widgets))
        if (widget)
            widget->setUpdatesEnabled(true); // repaints the widget
}
