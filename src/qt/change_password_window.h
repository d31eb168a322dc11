#pragma once

#include <QDialog>

#include "qt/form.h"
#include "shell/view_commands.h"

namespace quellgate::qt {

// The old password once, the new one twice. A click into a box empties it;
// moving in with the keyboard does not. Cancel and Esc hide the window and
// keep what was typed; closing it forgets that too.
class ChangePasswordWindow : public QDialog {
public:
    explicit ChangePasswordWindow(PasswordCommands& commands);

    void reject() override { hide(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Submit();
    void EmptyBoxes();

    PasswordCommands& commands_;
    Form form_;
};

}  // namespace quellgate::qt
