#pragma once

#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

#include "platform/outcome.h"

namespace quellgate::kwin {

// Alt+Home through KWin's fake input, on a Wayland connection of its own
// whose input device lives as long as it does. KWin offers fake input only
// to a program that a desktop entry names (fake_input_grant.h).
//
// The key events of a press go out a few milliseconds apart, from a queue
// the event loop empties, never waiting meanwhile. The queue holds what can
// be sent within one watch tick: more presses would reach whichever window
// has the focus long after the page went home. A broken connection is made
// anew, at most every two seconds.
class FakeKeyboard {
public:
    // Tries for `patience` until KWin offers fake input: it reads a desktop
    // entry written a moment ago only once it looks at its entries again.
    explicit FakeKeyboard(std::chrono::milliseconds patience);
    ~FakeKeyboard();
    FakeKeyboard(const FakeKeyboard&) = delete;
    FakeKeyboard& operator=(const FakeKeyboard&) = delete;

    // Why no key can be sent, in words; empty when they can.
    std::string Failure() const;

    // Queues one Alt+Home to the focused window; a failure when it cannot be
    // sent or the queue is full.
    Outcome Press();

    struct Connection;

private:
    void Connect();
    void SendNext();

    std::unique_ptr<Connection> connection_;
    std::chrono::steady_clock::time_point nextTry_;
    int presses_ = 0;  // queued, the one under way among them
    int sent_ = 0;     // key events of the one under way
    QTimer gap_;
};

}  // namespace quellgate::kwin
