#pragma once

#include <QDialog>

#include "qt/form.h"
#include "shell/view_commands.h"

namespace quellgate::qt {

// Always, or the days and the times that blocking is on. Cancel, Esc and
// closing hide it; it is filled afresh each time it is shown.
class BlockingHoursWindow : public QDialog {
public:
    explicit BlockingHoursWindow(HoursCommands& commands);

    void Fill(const HoursEntry& entry);
    void reject() override { hide(); }

private:
    void Submit();
    void FollowChoice();

    HoursCommands& commands_;
    Form form_;
};

}  // namespace quellgate::qt
