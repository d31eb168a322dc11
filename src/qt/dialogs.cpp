#include "qt/dialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "qt/desktop_hints.h"
#include "qt/look.h"

namespace quellgate::qt {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Question: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

QWidget* QtDialogs::Owner() const { return mainWindow_ && mainWindow_->isVisible() ? mainWindow_ : nullptr; }

int QtDialogs::RunModal(QDialog& box) const {
    if (!box.parentWidget()) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    // Once the box is on screen, inside its own loop.
    QTimer::singleShot(0, &box, [&box] { BringToFront(box); });
    return box.exec();
}

Answer QtDialogs::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                              MessageButtons buttons) {
    QMessageBox box(IconOf(icon), ToQString(caption), ToQString(text), QMessageBox::NoButton, Owner());
    if (buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int answer = RunModal(box);
    if (buttons == MessageButtons::Ok) return Answer::Ok;
    return answer == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtDialogs::AskText(std::string_view prompt, std::string_view caption,
                                              bool masked) {
    QInputDialog box(Owner());
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(ToQString(caption));
    box.setLabelText(ToQString(prompt));
    if (masked) {
        box.setTextEchoMode(QLineEdit::Password);
        if (auto* entry = box.findChild<QLineEdit*>()) MaskAsPassword(*entry);
    }
    if (RunModal(box) != QDialog::Accepted) return std::nullopt;
    return box.textValue().toStdString();
}

}  // namespace quellgate::qt
