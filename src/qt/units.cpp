#include "qt/units.h"

#include <QScreen>
#include <QWidget>

namespace quellgate::qt {

int ToPixels(int twips, qreal logicalDpi) { return qRound(twips * logicalDpi / layout::kTwipsPerInch); }

QRect ToPixels(const layout::Twips& place, qreal logicalDpi) {
    return {ToPixels(place.left, logicalDpi), ToPixels(place.top, logicalDpi),
            ToPixels(place.width, logicalDpi), ToPixels(place.height, logicalDpi)};
}

QSize ClientSize(const layout::Window& design, qreal logicalDpi) {
    return {ToPixels(design.clientWidth, logicalDpi), ToPixels(design.clientHeight, logicalDpi)};
}

qreal LogicalDpi(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    return screen ? screen->logicalDotsPerInch() : 96.0;
}

}  // namespace quellgate::qt
