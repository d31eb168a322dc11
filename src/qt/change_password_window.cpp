#include "qt/change_password_window.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "qt/control_names.h"
#include "qt/look.h"

namespace quellgate::qt {
namespace {

constexpr int kBoxes[] = {layout::kOldPassword, layout::kNewPassword, layout::kRetypedPassword};

}  // namespace

ChangePasswordWindow::ChangePasswordWindow(PasswordCommands& commands)
    : commands_(commands), form_(*this, layout::kChangePasswordWindow) {
    setObjectName(kChangePasswordWindowName);
    setWindowTitle(ToQString(layout::kChangePasswordWindow.title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    for (const int box : kBoxes) form_.Control(box).installEventFilter(this);
    connect(&form_.Get<QPushButton>(layout::kPasswordOk), &QPushButton::clicked, this,
            &ChangePasswordWindow::Submit);
    connect(&form_.Get<QPushButton>(layout::kPasswordCancel), &QPushButton::clicked, this,
            &ChangePasswordWindow::reject);
}

void ChangePasswordWindow::Submit() {
    const auto text = [this](int box) { return form_.Get<QLineEdit>(box).text().toStdString(); };
    if (commands_.ChangePassword(text(layout::kOldPassword), text(layout::kNewPassword),
                                 text(layout::kRetypedPassword)))
        hide();
}

void ChangePasswordWindow::EmptyBoxes() {
    for (const int box : kBoxes) form_.Get<QLineEdit>(box).clear();
}

void ChangePasswordWindow::closeEvent(QCloseEvent* event) {
    EmptyBoxes();
    hide();
    event->accept();
}

bool ChangePasswordWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (auto* box = dynamic_cast<QLineEdit*>(watched)) box->clear();
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quellgate::qt
