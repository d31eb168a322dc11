#include "qt/pictures.h"

#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cmath>

namespace quellgate::qt {
namespace {

QString FileOf(layout::Picture picture) {
    using layout::Picture;
    switch (picture) {
    case Picture::Facebook: return QStringLiteral("facebook");
    case Picture::Twitter: return QStringLiteral("twitter");
    case Picture::LinkedIn: return QStringLiteral("linkedin");
    case Picture::MySpace: return QStringLiteral("myspace");
    case Picture::YouTube: return QStringLiteral("youtube");
    case Picture::Add: return QStringLiteral("add");
    case Picture::Remove: return QStringLiteral("remove");
    case Picture::Splash: return QStringLiteral("splash");
    case Picture::Info: return QStringLiteral("info");
    case Picture::None: break;
    }
    return {};
}

}  // namespace

QImage LoadPicture(layout::Picture picture) {
    if (picture == layout::Picture::None) return {};
    return QImage(QStringLiteral(":/pictures/%1.png").arg(FileOf(picture)));
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/pictures/quellgate-%1.png").arg(size), QSize(size, size));
    return icon;
}

QRect FitInside(QSize picture, const QRect& box) {
    if (picture.isEmpty() || box.isEmpty()) return {};
    const double scale =
        std::min(double(box.width()) / picture.width(), double(box.height()) / picture.height());
    const auto side = [scale](int length, int limit) {
        return std::clamp(static_cast<int>(std::lround(length * scale)), 1, limit);
    };
    const QSize size(side(picture.width(), box.width()), side(picture.height(), box.height()));
    return {box.left() + (box.width() - size.width()) / 2, box.top() + (box.height() - size.height()) / 2,
            size.width(), size.height()};
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
        const int w = std::min(outlineWidth_, std::min(width(), height()) / 2);
        painter.fillRect(0, 0, width(), w, *outline_);
        painter.fillRect(0, height() - w, width(), w, *outline_);
        painter.fillRect(0, w, w, height() - 2 * w, *outline_);
        painter.fillRect(width() - w, w, w, height() - 2 * w, *outline_);
        inside.adjust(w, w, -w, -w);
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
