#pragma once

#include <string>
#include <utility>

namespace quellgate {

// The result of a write to the outside world. A failure carries the system's
// reason in words the user can be shown.
class Outcome {
public:
    static Outcome Success() { return Outcome{}; }
    static Outcome Failure(std::string reason) { return Outcome{std::move(reason), false}; }
    // The system refused this account the write (access denied): a place of
    // the account's own may still take it.
    static Outcome Refused(std::string reason) { return Outcome{std::move(reason), true}; }

    explicit operator bool() const { return ok_; }
    bool refused() const { return refused_; }
    const std::string& reason() const { return reason_; }

private:
    Outcome() = default;
    Outcome(std::string reason, bool refused) : ok_(false), refused_(refused), reason_(std::move(reason)) {}

    bool ok_ = true;
    bool refused_ = false;
    std::string reason_;
};

}  // namespace quellgate
