#pragma once

#include "platform/dialogs.h"

class QDialog;
class QWidget;

namespace quellgate::qt {

// Message boxes and prompts, modal: they run an event loop of their own, so
// the watch timer keeps ticking while they wait. While the main window is
// hidden they speak for a program the user cannot see, so they come to the
// front above every other window.
class QtDialogs : public Dialogs {
public:
    // The window the boxes belong to while it is on screen.
    void SetOwner(QWidget& mainWindow) { mainWindow_ = &mainWindow; }

    Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                       bool masked) override;

private:
    // The main window when it is on screen, else none.
    QWidget* Owner() const;
    int RunModal(QDialog& box) const;

    QWidget* mainWindow_ = nullptr;
};

}  // namespace quellgate::qt
