#pragma once

#include <string>
#include <utility>

namespace quellgate {

// The result of a write to the outside world. A failure carries the system's
// reason in words the user can be shown.
class Outcome {
public:
    static Outcome Success() { return Outcome{}; }
    static Outcome Failure(std::string reason) { return Outcome{std::move(reason)}; }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& reason() const { return reason_; }

private:
    Outcome() = default;
    explicit Outcome(std::string reason) : ok_(false), reason_(std::move(reason)) {}

    bool ok_ = true;
    std::string reason_;
};

}  // namespace quellgate
