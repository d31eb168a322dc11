#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>
#include <QPixmap>
#include <optional>

#include "shell/view_rules.h"

class QIcon;

namespace quellgate::qt {

// The pictures of src/pictures, built into the program as Qt resources.
QImage LoadPicture(layout::Picture picture);
// The program's icon in every size it comes in.
QIcon ProgramIcon();

// The largest rectangle of the picture's proportions that fits in `box`, centred.
QRect FitInside(QSize picture, const QRect& box);

// One picture, kept scaled for the place and the screen it is drawn on, and
// scaled again only when either changes.
class ScaledPicture {
public:
    explicit ScaledPicture(layout::Picture picture) : source_(LoadPicture(picture)) {}

    // As large as fits in `box`, centred, moved `nudge` pixels right and down.
    void Draw(QPainter& painter, const QRect& box, qreal devicePixelRatio, int nudge = 0) const;

private:
    QImage source_;
    // A cache: drawing fills it in.
    mutable QPixmap scaled_;
    mutable QRect placed_;
};

// A picture that does nothing.
class PictureView : public QWidget {
public:
    explicit PictureView(layout::Picture picture) : picture_(picture) {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture picture_;
};

// A picture that clicks; pressed, it moves a pixel right and down. It may
// have an outline of its own colour, with the picture inside it.
class PictureButton : public QAbstractButton {
public:
    PictureButton(layout::Picture picture, const QString& name);

    void SetOutline(const QColor& colour, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ScaledPicture picture_;
    std::optional<QColor> outline_;
    int outlineWidth_ = 0;
};

}  // namespace quellgate::qt
