#include "repaintpacer.h"

RepaintPacer::RepaintPacer(const QList<QWidget *> &widgets, int intervalMs, QObject *parent)
    : QObject(parent), m_widgets(widgets.begin(), widgets.end()), m_intervalMs(intervalMs)
{
    m_release.setSingleShot(true);
    m_release.setTimerType(Qt::PreciseTimer);
    connect(&m_release, &QTimer::timeout, this, &RepaintPacer::release);
}

void RepaintPacer::beforeWrite()
{
    // Read once: read twice, a busy machine could pass the interval in between and
    // leave the widgets held with no release to come.
    const qint64 sinceRepaint =
        m_sinceRepaint.isValid() ? m_sinceRepaint.elapsed() : qint64(m_intervalMs);
    if (m_release.isActive())
        return; // held; the release shows the latest
    if (sinceRepaint >= m_intervalMs) {
        m_sinceRepaint.start(); // this write repaints as usual
        return;
    }
    for (QWidget *widget : std::as_const(m_widgets))
        if (widget)
            widget->setUpdatesEnabled(false);
    m_release.start(static_cast<int>(m_intervalMs - sinceRepaint));
}

void RepaintPacer::release()
{
    m_sinceRepaint.start();
    for (QWidget *widget : std::as_const(m_widgets)) {
        if (widget) {
            widget->setUpdatesEnabled(true);
            // Now, not by a posted request that the next write's hold could overtake.
            widget->repaint();
        }
    }
}
