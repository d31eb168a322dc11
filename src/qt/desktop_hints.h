#pragma once

#include <QObject>

class QWidget;

namespace quellgate::qt {

// Keeps every window of the program out of the task bar and the pager: each
// top-level window is marked _NET_WM_STATE_SKIP_TASKBAR and _SKIP_PAGER just
// before it maps (the window manager forgets the state when a window hides).
// Installed on the application, it covers message boxes and prompts too.
// Does nothing on a platform other than X11.
class OffTaskBar : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Raises the window and gives it the keyboard focus although the user works
// in another program: a background program's windows must not open behind it.
void BringToFront(QWidget& window);

}  // namespace quellgate::qt
