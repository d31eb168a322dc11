#include "qt/splash_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <algorithm>

#include "qt/control_names.h"
#include "qt/look.h"
#include "qt/units.h"
#include "shell/view_rules.h"

namespace quellgate::qt {
SplashWindow::SplashWindow(bool showCommand) : form_(*this, layout::kSplashWindow) {
    setObjectName(kSplashWindowName);
    setWindowTitle(ToQString(layout::kSplashWindow.title));
    if (showCommand) form_.Get<QLabel>(layout::kSplashHint).setText(ToQString(layout::kShowCommandHint));
    setWindowFlags(Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette background = palette();
    background.setColor(QPalette::Window, ToColor(layout::kSplashBlue));
    setPalette(background);
    setAutoFillBackground(true);

    roll_.setInterval(layout::kSplashRollMs);
    connect(&roll_, &QTimer::timeout, this, &SplashWindow::RollUp);
    end_.setSingleShot(true);
    end_.setInterval(layout::kSplashShownMs);
    connect(&end_, &QTimer::timeout, this, [this] {
        roll_.stop();
        hide();
    });
}

void SplashWindow::ShowWithoutFocus() {
    const QSize size = ClientSize(layout::kSplashWindow, LogicalDpi(*this));
    setFixedSize(size);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.left() + (area.width() - size.width()) / 2,
             area.top() + (area.height() - size.height()) / 2);
    }
    rolling_ = false;
    show();
}

void SplashWindow::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    // The two seconds start when the card is on screen: mapping a window
    // takes the window manager a moment of its own.
    if (rolling_) return;
    rolling_ = true;
    roll_.start();
    end_.start();
}

void SplashWindow::RollUp() {
    const int roll = ToPixels(layout::kSplashRollTwips, LogicalDpi(*this));
    // The top stays where it is; the bottom edge comes up.
    setFixedSize(width(), std::max(height() - roll, 1));
}

}  // namespace quellgate::qt
