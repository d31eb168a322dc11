#include "qt/form.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <stdexcept>

#include "qt/control_names.h"
#include "qt/look.h"
#include "qt/pictures.h"
#include "qt/units.h"
#include "shell/view_rules.h"

namespace quellgate::qt {
namespace {

std::unique_ptr<QLabel> MakeLabel(const QString& text, Qt::Alignment alignment) {
    auto label = std::make_unique<QLabel>(text);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(alignment | Qt::AlignTop);
    return label;
}

// The size of text the label shows whole within its place.
bool FitsItsPlace(const QLabel& label) {
    const QRect needed =
        QFontMetrics(label.font())
            .boundingRect(QRect(0, 0, label.width(), QWIDGETSIZE_MAX),
                          static_cast<int>(label.alignment()) | Qt::TextWordWrap, label.text());
    return needed.width() <= label.width() && needed.height() <= label.height();
}

// The layout was drawn for a narrower face than most Linux desktops use: a
// text that would be cut off gets a smaller size instead.
void FitToPlace(QLabel& label) {
    constexpr qreal kSmallestPoints = 6.0, kStep = 0.25;
    QFont font = label.font();
    while (!FitsItsPlace(label) && font.pointSizeF() - kStep >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - kStep);
        label.setFont(font);
    }
}

std::unique_ptr<QWidget> MakeControl(const layout::Control& control) {
    using layout::Kind;
    const QString text = ToQString(control.text);
    switch (control.kind) {
    case Kind::Label:
    case Kind::Paragraph: return MakeLabel(text, Qt::AlignLeft);
    case Kind::CentredLabel: return MakeLabel(text, Qt::AlignHCenter);
    case Kind::GroupBox: return std::make_unique<QGroupBox>(text);
    case Kind::List: {
        auto list = std::make_unique<QListWidget>();
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        // Every row the same height: a long list is laid out without measuring each row.
        list->setUniformItemSizes(true);
        list->setToolTip(text);
        list->setAccessibleName(text);
        return list;
    }
    case Kind::CheckBox: return std::make_unique<QCheckBox>(text);
    case Kind::RadioButton: return std::make_unique<QRadioButton>(text);
    case Kind::PictureButton: return std::make_unique<PictureButton>(control.picture, text);
    case Kind::Button:
    case Kind::DefaultButton: {
        auto button = std::make_unique<QPushButton>(text);
        button->setDefault(control.kind == Kind::DefaultButton);
        return button;
    }
    case Kind::PasswordBox: {
        auto box = std::make_unique<QLineEdit>();
        MaskAsPassword(*box);
        return box;
    }
    case Kind::TextBox: {
        auto box = std::make_unique<QLineEdit>();
        box->setMaxLength(layout::kTextBoxCharacters);
        return box;
    }
    case Kind::Rule: {
        auto rule = std::make_unique<QFrame>();
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        return rule;
    }
    case Kind::Image: return std::make_unique<PictureView>(control.picture);
    }
    return std::make_unique<QWidget>();
}

}  // namespace

Form::Form(QWidget& canvas, const layout::Window& design) {
    const qreal dpi = LogicalDpi(canvas);
    canvas.setFixedSize(ClientSize(design, dpi));
    for (const auto& control : design.controls) {
        std::unique_ptr<QWidget> widget = MakeControl(control);
        widget->setObjectName(ControlName(control.id));
        widget->setFont(FontOf(control.font));
        if (control.colour) SetTextColour(*widget, ToColor(*control.colour));
        widget->setParent(&canvas);
        widget->setGeometry(ToPixels(control.place, dpi));
        if (auto* label = dynamic_cast<QLabel*>(widget.get())) FitToPlace(*label);
        controls_.emplace_back(control.id, std::move(widget));
    }
    // Earlier controls lie above later ones, and the tab order stays the table's.
    for (std::size_t i = controls_.size(); i-- > 0;) controls_[i].second->raise();
}

Form::~Form() = default;

QWidget& Form::Control(int id) const {
    for (const auto& [controlId, widget] : controls_)
        if (controlId == id) return *widget;
    throw std::out_of_range("no control " + std::to_string(id));
}

}  // namespace quellgate::qt
