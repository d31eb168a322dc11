#include "qt/blocking_hours_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "qt/control_names.h"
#include "qt/look.h"
#include "shell/view_rules.h"

namespace quellgate::qt {

BlockingHoursWindow::BlockingHoursWindow(HoursCommands& commands)
    : commands_(commands), form_(*this, layout::kBlockingHoursWindow) {
    setObjectName(kBlockingHoursWindowName);
    setWindowTitle(ToQString(layout::kBlockingHoursWindow.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    form_.Get<QLabel>(layout::kHoursFromLabel).setBuddy(&form_.Control(layout::kHoursFrom));
    form_.Get<QLabel>(layout::kHoursToLabel).setBuddy(&form_.Control(layout::kHoursTo));
    connect(&form_.Get<QRadioButton>(layout::kHoursOnlyOn), &QRadioButton::toggled, this,
            &BlockingHoursWindow::FollowChoice);
    connect(&form_.Get<QPushButton>(layout::kHoursOk), &QPushButton::clicked, this,
            &BlockingHoursWindow::Submit);
    connect(&form_.Get<QPushButton>(layout::kHoursCancel), &QPushButton::clicked, this,
            &BlockingHoursWindow::reject);
}

void BlockingHoursWindow::Fill(const HoursEntry& entry) {
    form_.Get<QRadioButton>(entry.always ? layout::kHoursAlways : layout::kHoursOnlyOn).setChecked(true);
    for (std::size_t day = 0; day < kDaysInWeek; ++day)
        form_.Get<QCheckBox>(layout::DayBoxOf(day)).setChecked(entry.days[day]);
    form_.Get<QLineEdit>(layout::kHoursFrom).setText(QString::fromStdString(entry.from));
    form_.Get<QLineEdit>(layout::kHoursTo).setText(QString::fromStdString(entry.to));
    FollowChoice();
}

void BlockingHoursWindow::FollowChoice() {
    const bool onlyOn = form_.Get<QRadioButton>(layout::kHoursOnlyOn).isChecked();
    for (const layout::Control& control : layout::kBlockingHoursWindow.controls)
        if (layout::FollowsOnlyOn(control.id)) form_.Control(control.id).setEnabled(onlyOn);
}

void BlockingHoursWindow::Submit() {
    HoursEntry entry{!form_.Get<QRadioButton>(layout::kHoursOnlyOn).isChecked(),
                     {},
                     form_.Get<QLineEdit>(layout::kHoursFrom).text().toStdString(),
                     form_.Get<QLineEdit>(layout::kHoursTo).text().toStdString()};
    for (std::size_t day = 0; day < kDaysInWeek; ++day)
        entry.days[day] = form_.Get<QCheckBox>(layout::DayBoxOf(day)).isChecked();
    if (commands_.SetBlockingHours(entry)) hide();
}

}  // namespace quellgate::qt
