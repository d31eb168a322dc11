#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellgate {

enum class MessageIcon { None, Information, Exclamation, Question };
enum class MessageButtons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// Modal boxes. Both keep the rest of the program's timers running while they
// wait for the user.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    virtual Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                               MessageButtons buttons = MessageButtons::Ok) = 0;

    // The typed text, or nothing when the user cancelled. A masked box shows
    // "*" for every character from the first keystroke on.
    virtual std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                               bool masked) = 0;
};

}  // namespace quellgate
