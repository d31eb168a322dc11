#pragma once

#include <QTimer>
#include <QWidget>

#include "qt/form.h"

namespace quellgate::qt {

// The blue card shown at start, centred on the screen and above every other
// window: rolls up from the bottom for two seconds, then hides for good. It
// never takes the keyboard focus from the program in use.
class SplashWindow : public QWidget {
public:
    explicit SplashWindow(bool showCommand = false);

    void ShowWithoutFocus();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void RollUp();

    Form form_;
    QTimer roll_;
    QTimer end_;
    bool rolling_ = false;
};

}  // namespace quellgate::qt
