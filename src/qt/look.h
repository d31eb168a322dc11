#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

#include "shell/window_layout.h"

class QLineEdit;
class QWidget;

namespace quellgate::qt {

// UTF-8 from the core; its "\r\n" line breaks become "\n".
QString ToQString(std::string_view text);

QColor ToColor(layout::Rgb colour);
// The desktop's sans serif at the size and weight of the font's role.
QFont FontOf(layout::Font font);
void SetTextColour(QWidget& widget, const QColor& colour);

// Shows "*" for every character from the first keystroke on.
void MaskAsPassword(QLineEdit& box);

}  // namespace quellgate::qt
