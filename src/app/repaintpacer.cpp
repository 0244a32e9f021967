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
    if (m_release.isActive())
        return; // held; the release shows the latest
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
    m_sinceRepaint.start();
    for (QWidget *widget : std::as_const(m_widgets))
        if (widget)
            widget->setUpdatesEnabled(true); // repaints the widget
}
