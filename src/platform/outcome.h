#pragma once

#include <string>
#include <utility>

namespace quellgate {

// The result of a write to the outside world, the one shape every seam
// reports in. A failure says what failed and gives the system's reason in
// words; the controller decides what the user is told.
class Outcome {
public:
    // Reaching the place that holds the data (a registry key, a folder), or
    // writing the data itself.
    enum class Step { Opening, Writing };

    static Outcome Success() { return Outcome{}; }
    // `code` is the system's number for the error, where it has one.
    static Outcome Failure(std::string reason, Step step = Step::Writing, long code = 0) {
        return Outcome{std::move(reason), step, code, false};
    }
    // The system refused this account the write (access denied): a place of
    // the account's own may still take it.
    static Outcome Refused(std::string reason, Step step = Step::Writing, long code = 0) {
        return Outcome{std::move(reason), step, code, true};
    }

    explicit operator bool() const { return ok_; }
    bool refused() const { return refused_; }
    Step step() const { return step_; }
    long code() const { return code_; }
    const std::string& reason() const { return reason_; }

private:
    Outcome() = default;
    Outcome(std::string reason, Step step, long code, bool refused)
        : ok_(false), refused_(refused), step_(step), code_(code), reason_(std::move(reason)) {}

    bool ok_ = true;
    bool refused_ = false;
    Step step_ = Step::Writing;
    long code_ = 0;
    std::string reason_;
};

}  // namespace quellgate
