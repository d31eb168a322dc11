#pragma once

#include "platform/dialogs.h"
#include "win32/windows_api.h"

namespace quellgate::win32 {

// Sets the "*" password character on an entry field.
void MaskPasswordBox(HWND edit);

class WinDialogs : public Dialogs {
public:
    explicit WinDialogs(HINSTANCE instance) : instance_(instance) {}

    // The window the boxes belong to; they get no task-bar button of their own.
    void SetOwner(HWND owner) { owner_ = owner; }

    Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                       bool masked) override;

private:
    HINSTANCE instance_;
    HWND owner_ = nullptr;
};

}  // namespace quellgate::win32
