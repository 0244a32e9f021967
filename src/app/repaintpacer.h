#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Paces the repaints of widgets that a fast source writes to: their contents change at
// once, the screen follows at most once per interval. A write holds the widget's updates
// until the interval after the last repaint is over; then every widget written meanwhile
// repaints, together, showing what was written last. A widget not written is not
// repainted. At a display's refresh interval nothing visible is lost.
class RepaintPacer : public QObject
{
    Q_OBJECT
public:
    static constexpr int displayRefreshMs = 16; // 60 Hz

    explicit RepaintPacer(int intervalMs, QObject *parent = nullptr);

    // Call before writing to widget.
    void beforeWrite(QWidget *widget);

private:
    void release();

    QList<QPointer<QWidget>> m_held;
    int m_intervalMs;
    QElapsedTimer m_sinceRepaint;
    QTimer m_release;
};
