#include "windowstart.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <memory>

void centreOnScreen(QWidget &window)
{
    const QScreen *screen = window.screen();
    if (!screen)
        return;
    QRect frame = window.frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

namespace {

class ExposeWatch : public QObject
{
public:
    ExposeWatch(QWindow *window, std::function<void()> then)
        : QObject(window), m_window(window), m_then(std::move(then))
    {
        window->installEventFilter(this);
        QTimer::singleShot(latestMs, this, &ExposeWatch::run);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed())
            QTimer::singleShot(0, this, &ExposeWatch::run);
        return false;
    }

private:
    static constexpr int latestMs = 3000;

    void run()
    {
        if (!m_then)
            return;
        m_window->removeEventFilter(this);
        std::exchange(m_then, nullptr)();
        deleteLater();
    }

    QWindow *m_window;
    std::function<void()> m_then;
};

} // namespace

void whenShown(QWidget &window, std::function<void()> then)
{
    QWindow *handle = window.windowHandle();
    if (!handle || handle->isExposed()) {
        QTimer::singleShot(0, &window, std::move(then));
        return;
    }
    new ExposeWatch(handle, std::move(then));
}
