#pragma once

#include <QRect>

#include "shell/window_layout.h"

class QWidget;

namespace quellgate::qt {

// 15 twips make one logical pixel at 96 dpi; Qt maps logical pixels to the
// screen's own, so a place is scaled once and never again by hand.
int ToPixels(int twips, qreal logicalDpi);
QRect ToPixels(const layout::Twips& place, qreal logicalDpi);
QSize ClientSize(const layout::Window& design, qreal logicalDpi);
// The logical dots per inch of the screen the widget is on (or will be).
qreal LogicalDpi(const QWidget& widget);

}  // namespace quellgate::qt
