#pragma once

#include <QStringList>

#include <functional>

class QWidget;

// Whether a window can be shown: false on a Unix desktop-less session (no DISPLAY,
// no WAYLAND_DISPLAY, no QT_QPA_PLATFORM and no -platform argument), where creating
// the GUI application would abort the program.
bool displayAvailable(const QStringList &arguments);

// Places the window in the middle of its screen, so that dialogs opened before the
// window system has placed it are centred over it all the same.
void centreOnScreen(QWidget &window);

// Runs then() once the window is on the screen (exposed), from the event loop; at
// the latest after a few seconds. Messages opened then centre over the window.
void whenShown(QWidget &window, std::function<void()> then);
