#pragma once

// What the Qt tests share: the controller on fakes, and a hand for modal boxes.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QRect>
#include <QTimer>
#include <functional>
#include <ostream>

#include "fakes/fakes.h"
#include "shell/quellgate.h"

// Readable failures for Qt's geometry.
inline void PrintTo(const QRect& rect, std::ostream* out) {
    *out << rect.width() << "x" << rect.height() << "+" << rect.left() << "+" << rect.top();
}
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const QSize& size, std::ostream* out) { *out << size.width() << "x" << size.height(); }

namespace quellgate::qt::testing {

// The controller on the faked system, for the windows that call it.
struct FakeController {
    fakes::FakeSystem system;
    fakes::RecordingView view;
    Quellgate controller{system.platform(), view};
};

// Runs `inside` on the modal box once it is open, from within the box's own
// event loop. A box still open after the deadline is rejected, so a test that
// fails cannot hang.
class WhenBoxOpens {
public:
    explicit WhenBoxOpens(std::function<void(QDialog&)> inside) : inside_(std::move(inside)) {
        poll_.setInterval(5);
        QObject::connect(&poll_, &QTimer::timeout, [this] { Poll(); });
        poll_.start();
    }
    ~WhenBoxOpens() { EXPECT_TRUE(ran_) << "no modal box opened"; }

private:
    void Poll() {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (box && !ran_) {
            ran_ = true;
            inside_(*box);
        } else if (box && deadline_.hasExpired()) {
            ADD_FAILURE() << "the box stayed open";
            box->reject();
        } else if (!box && ran_) {
            poll_.stop();
        }
    }

    std::function<void(QDialog&)> inside_;
    QTimer poll_;
    QDeadlineTimer deadline_{10'000};
    bool ran_ = false;
};

}  // namespace quellgate::qt::testing
