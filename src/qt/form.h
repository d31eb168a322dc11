#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "shell/window_layout.h"

class QLineEdit;
class QWidget;

namespace quellgate::qt {

// 15 twips make one logical pixel at 96 dpi; Qt maps logical pixels to the
// screen's own, so a place is scaled once and never again by hand.
int ToPixels(int twips, qreal logicalDpi);
QRect ToPixels(const layout::Twips& place, qreal logicalDpi);
QSize ClientSize(const layout::Window& design, qreal logicalDpi);
// The logical dots per inch of the screen the widget is on (or will be).
qreal LogicalDpi(const QWidget& widget);

QColor ToColor(layout::Rgb colour);
// The desktop's sans serif at the layout's size and weight.
QFont FontOf(layout::Font font);
// UTF-8 from the core; its "\r\n" line breaks become "\n".
QString ToQString(std::string_view text);
void SetTextColour(QWidget& widget, const QColor& colour);

// Shows "*" for every character from the first keystroke on.
void MaskAsPassword(QLineEdit& box);

// The controls of one window, built from its layout on `canvas`: each at its
// place, in its font and colour, named by its id (see control_names.h). The
// canvas takes the window's client size. The form must not outlive the canvas.
class Form {
public:
    Form(QWidget& canvas, const layout::Window& design);
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    ~Form();

    // Throws std::out_of_range for an id the layout does not have.
    QWidget& Control(int id) const;
    template <typename Widget>
    Widget& Get(int id) const {
        return dynamic_cast<Widget&>(Control(id));
    }

private:
    std::vector<std::pair<int, std::unique_ptr<QWidget>>> controls_;
};

}  // namespace quellgate::qt
