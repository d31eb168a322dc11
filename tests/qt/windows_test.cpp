// The windows as built from the layout tables, the keyword list and the
// change-password boxes.
#include <QAbstractItemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "fixture.h"
#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/info_window.h"
#include "qt/main_window.h"
#include "qt/splash_window.h"

namespace quellgate::qt::testing {
namespace {

// 15 twips to the logical pixel, as the layout was drawn at 96 dpi.
int Px(int twips) { return qRound(twips / 15.0); }

// The whole client area must come out at the scale Qt was asked for, once:
// a place scaled again by hand would come out twice as large at 2x.
void ExpectBuiltAsDesigned(QWidget& canvas, const layout::Window& design) {
    canvas.window()->show();
    ASSERT_EQ(canvas.devicePixelRatioF(), qEnvironmentVariable("QT_SCALE_FACTOR", "1").toDouble());
    EXPECT_EQ(canvas.size(), QSize(Px(design.clientWidth), Px(design.clientHeight)));
    for (const auto& control : design.controls) {
        SCOPED_TRACE(control.id);
        QWidget* widget = canvas.findChild<QWidget*>(ControlName(control.id));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->parentWidget(), &canvas);
        const QRect place(Px(control.place.left), Px(control.place.top), Px(control.place.width),
                          Px(control.place.height));
        EXPECT_EQ(widget->geometry(), place);
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            const QRect needed = label->fontMetrics().boundingRect(
                QRect(QPoint(), place.size()), static_cast<int>(label->alignment()) | Qt::TextWordWrap,
                label->text());
            EXPECT_TRUE(place.size().expandedTo(needed.size()) == place.size())
                << "text cut off: " << label->text().toStdString();
        }
        if (control.kind == layout::Kind::GroupBox) continue;
        // Above the frame it stands in: a click on it reaches it.
        QWidget* hit = canvas.childAt(place.center());
        EXPECT_TRUE(hit && (hit == widget || widget->isAncestorOf(hit)))
            << "covered by " << (hit ? hit->objectName().toStdString() : "nothing");
    }
}

TEST(Layout, EveryWindowHasItsControlsWhereTheLayoutPutsThem) {
    QtMainWindow main;
    ExpectBuiltAsDesigned(*main.centralWidget(), layout::kMainWindow);
    SplashWindow splash;
    ExpectBuiltAsDesigned(splash, layout::kSplashWindow);
    InfoWindow info;
    ExpectBuiltAsDesigned(info, layout::kInfoWindow);
    FakeController system;
    ChangePasswordWindow password(system.controller);
    ExpectBuiltAsDesigned(password, layout::kChangePasswordWindow);
}

TEST(KeywordList, ShowsAHundredThousandEntriesAtOnceAndSelectsByTheControllersIndex) {
    QtMainWindow window;
    auto& list = *window.findChild<QListWidget*>(ControlName(layout::kKeywordList));
    std::vector<std::string> entries;
    for (int i = 100'000; i > 0; --i) entries.push_back("keyword " + std::to_string(i));
    const std::size_t longOne = 500;
    entries[longOne] = std::string(3000, 'x') + "🙂 and more";
    window.ShowKeywords({"an earlier list"});
    list.setCurrentRow(0);

    int insertions = 0;
    QObject::connect(list.model(), &QAbstractItemModel::rowsInserted, [&] { ++insertions; });
    window.ShowKeywords(entries);
    EXPECT_EQ(insertions, 1);
    ASSERT_EQ(list.count(), 100'000);
    EXPECT_EQ(window.SelectedKeyword(), std::nullopt);
    for (const std::size_t row : {std::size_t{0}, longOne - 1, longOne, longOne + 1, std::size_t{99'999}}) {
        list.setCurrentRow(static_cast<int>(row));
        EXPECT_EQ(window.SelectedKeyword(), row);
        if (row != longOne) {
            EXPECT_EQ(list.item(static_cast<int>(row))->text().toStdString(), entries[row]);
        }
    }
    const QString shortened = list.item(longOne)->text();
    EXPECT_TRUE(shortened.startsWith(QString(200, 'x'))) << shortened.left(20).toStdString();
    EXPECT_TRUE(shortened.endsWith(QChar(0x2026)));
    EXPECT_LT(shortened.size(), 1000);
}

TEST(ChangePasswordWindow, BoxesAreMaskedFromTheFirstKeyAndOnlyAClickEmptiesOne) {
    FakeController system;
    ChangePasswordWindow window(system.controller);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto box = [&](int id) { return window.findChild<QLineEdit*>(ControlName(id)); };
    QLineEdit* old = box(layout::kOldPassword);
    old->setFocus();
    QTest::keyClick(old, 'l');
    EXPECT_EQ(old->displayText(), "*");
    QTest::keyClicks(old, "otus7391");
    EXPECT_EQ(old->displayText(), "*********");

    // Tab goes through the boxes in order and keeps what they hold.
    QTest::keyClick(old, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), box(layout::kNewPassword));
    QTest::keyClicks(box(layout::kNewPassword), "new");
    QTest::keyClick(box(layout::kNewPassword), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), box(layout::kRetypedPassword));
    QTest::keyClick(box(layout::kRetypedPassword), Qt::Key_Backtab);
    ASSERT_EQ(QApplication::focusWidget(), box(layout::kNewPassword));
    EXPECT_EQ(box(layout::kNewPassword)->text(), "new");

    QTest::mouseClick(old, Qt::LeftButton);
    EXPECT_EQ(old->text(), "");
    EXPECT_EQ(box(layout::kNewPassword)->text(), "new");
}

}  // namespace
}  // namespace quellgate::qt::testing
