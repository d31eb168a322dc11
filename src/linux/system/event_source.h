#pragma once

#include <functional>

namespace quellgate::posix {

// A desktop back end that follows its desktop's events as they arrive, so
// that no flood of them can put its window list behind: the program's event
// loop watches the descriptor it is given and calls TakeEvents whenever that
// is readable.
class EventSource {
public:
    virtual ~EventSource() = default;

    // `watch` is called now and whenever the descriptor changes (a new
    // connection), with -1 while there is none.
    virtual void WatchWith(std::function<void(int fd)> watch) = 0;

    // Reads and handles what has come in, without waiting. A flood is taken
    // in bounded bites: the descriptor stays readable, and the loop comes
    // back after its timers have had their turn.
    virtual void TakeEvents() = 0;
};

}  // namespace quellgate::posix
