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
// repainted.
//
// A source that writes often releases the held widgets itself once the interval is over
// (afterWrites), in the wake-up that wrote them; the pacer's own timer, later by
// releaseSlackMs, only shows the last writes when no more come.
class RepaintPacer : public QObject
{
    Q_OBJECT
public:
    // For a reading: 30 Hz moves smoothly to the eye, and nobody reads digits that change
    // faster; a field's repaint costs as much as four writes of its text.
    static constexpr int readingRefreshMs = 33;
    static constexpr int releaseSlackMs = 8; // two frames of the scale at full rate

    explicit RepaintPacer(int intervalMs, QObject *parent = nullptr);

    // Call before writing to widget.
    void beforeWrite(QWidget *widget);
    // Call when the writes of one event are done.
    void afterWrites();

private:
    void release();
    qint64 sinceRepaint() const;

    QList<QPointer<QWidget>> m_held;
    int m_intervalMs;
    QElapsedTimer m_sinceRepaint;
    QTimer m_release;
};
