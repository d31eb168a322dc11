#include "qt/pictures.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace quellgate::qt {
namespace {}  // namespace

QImage LoadPicture(layout::Picture picture) {
    if (picture == layout::Picture::None) return {};
    const std::string_view name = layout::NameOf(picture);
    return QImage(QStringLiteral(":/pictures/%1.png")
                      .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()))));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/pictures/quellgate-%1.png").arg(size), QSize(size, size));
    return icon;
}

QRect FitInside(QSize picture, const QRect& box) {
    const layout::Box fitted = layout::FitInside(picture.width(), picture.height(),
                                                 {box.left(), box.top(), box.width(), box.height()});
    return {fitted.left, fitted.top, fitted.width, fitted.height};
}

void ScaledPicture::Draw(QPainter& painter, const QRect& box, qreal devicePixelRatio, int nudge) const {
    const QRect place = FitInside(source_.size(), box);
    if (place.isEmpty()) return;
    if (place.size() != placed_.size() || scaled_.devicePixelRatio() != devicePixelRatio) {
        // Smooth scaling averages the pixels each one covers when it shrinks.
        const QSize pixels = (QSizeF(place.size()) * devicePixelRatio).toSize();
        scaled_ = QPixmap::fromImage(source_.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(devicePixelRatio);
        placed_ = place;
    }
    painter.drawPixmap(place.topLeft() + QPoint(nudge, nudge), scaled_);
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    picture_.Draw(painter, rect(), devicePixelRatioF());
}

PictureButton::PictureButton(layout::Picture picture, const QString& name) : picture_(picture) {
    setToolTip(name);
    setAccessibleName(name);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::SetOutline(const QColor& colour, int width) {
    outline_ = colour;
    outlineWidth_ = width;
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect inside = rect();
    if (outline_) {
        const layout::Outline outline = layout::OutlineOf({0, 0, width(), height()}, outlineWidth_);
        for (const layout::Box& edge : outline.edges)
            painter.fillRect(edge.left, edge.top, edge.width, edge.height, *outline_);
        inside = {outline.inside.left, outline.inside.top, outline.inside.width, outline.inside.height};
    }
    picture_.Draw(painter, inside, devicePixelRatioF(), isDown() ? 1 : 0);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inside.adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

}  // namespace quellgate::qt
