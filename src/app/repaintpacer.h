#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

// Paces the repaints of widgets that a fast source writes to: their contents change at
// once, the screen follows at most once per interval. A write within the interval after
// a repaint holds the widgets' updates; when the interval is over they repaint once,
// showing what was written last. At a display's refresh interval nothing visible is lost.
class RepaintPacer : public QObject
{
    Q_OBJECT
public:
    static constexpr int displayRefreshMs = 16; // 60 Hz

    RepaintPacer(const QList<QWidget *> &widgets, int intervalMs, QObject *parent = nullptr);

    // Call before writing to the widgets.
    void beforeWrite();

private:
    void release();

    QList<QPointer<QWidget>> m_widgets;
    int m_intervalMs;
    QElapsedTimer m_sinceRepaint;
    QTimer m_release;
};
