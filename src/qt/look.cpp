#include "qt/look.h"

#include <QApplication>
#include <QLineEdit>
#include <QWidget>

#include "shell/view_rules.h"

namespace quellgate::qt {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

QColor ToColor(layout::Rgb colour) { return {colour.red, colour.green, colour.blue}; }

QFont FontOf(layout::Font font) {
    const layout::FontSize size = layout::SizeOf(font);
    QFont result = QApplication::font();
    result.setPointSizeF(size.points);
    result.setBold(size.bold);
    return result;
}

void SetTextColour(QWidget& widget, const QColor& colour) {
    QPalette palette = widget.palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget.setPalette(palette);
}

void MaskAsPassword(QLineEdit& box) {
    box.setEchoMode(QLineEdit::Password);
    // The style's own mask is a dot; this program's has always been "*".
    box.setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

}  // namespace quellgate::qt
