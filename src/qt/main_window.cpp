#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>

#include "qt/blocking_hours_window.h"
#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/desktop_hints.h"
#include "qt/info_window.h"
#include "qt/look.h"
#include "qt/pictures.h"
#include "qt/splash_window.h"
#include "qt/units.h"
#include "shell/view_rules.h"

namespace quellgate::qt {
QtMainWindow::QtMainWindow(ViewCommands& commands, bool showCommand)
    : form_(canvas_, layout::kMainWindow), commands_(commands), showCommand_(showCommand) {
    setObjectName(kMainWindowName);
    setWindowTitle(ToQString(layout::kMainWindow.title));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setCentralWidget(&canvas_);
    BuildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    form_.Get<QCheckBox>(layout::kStartAtLogonBox).setText(ToQString(layout::kStartAtLoginText));
    for (std::size_t network = 0; network < kNetworkCount; ++network) ShowSwitch(network, false);
    ConnectControls();
    watch_.setInterval(kWatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, [this] { commands_.OnWatchTick(); });
}

QtMainWindow::~QtMainWindow() {
    // The canvas is a member: the window must not delete it a second time.
    takeCentralWidget();
}

void QtMainWindow::BuildMenu() {
    const auto add = [this](QWidget& menu, const layout::MenuEntry& entry) {
        QAction* action = menu.addAction(ToQString(entry.text));  // the menu owns it
        action->setObjectName(ControlName(entry.id));
        connect(action, &QAction::triggered, this, [this, id = entry.id] { commands_.Choose(id); });
    };
    QMenu* program = menuBar()->addMenu(ToQString(layout::kProgramMenuTitle));
    for (const auto& entry : layout::kProgramMenu) {
        if (entry.id)
            add(*program, entry);
        else
            program->addSeparator();
    }
    add(*menuBar(), layout::kInfoMenu);
}

void QtMainWindow::ConnectControls() {
    for (std::size_t network = 0; network < kNetworkCount; ++network)
        connect(&form_.Get<PictureButton>(layout::IconOf(network)), &QAbstractButton::clicked, this,
                [this, network] { commands_.ToggleNetwork(network); });
    connect(&form_.Get<PictureButton>(layout::kAddButton), &QAbstractButton::clicked, this,
            [this] { commands_.AddKeyword(); });
    connect(&form_.Get<PictureButton>(layout::kRemoveButton), &QAbstractButton::clicked, this,
            [this] { commands_.RemoveSelectedKeyword(); });
    connect(&form_.Get<QCheckBox>(layout::kStartAtLogonBox), &QAbstractButton::clicked, this,
            [this](bool on) { commands_.SetStartAtLogon(on); });
}

QListWidget& QtMainWindow::KeywordList() const { return form_.Get<QListWidget>(layout::kKeywordList); }

void QtMainWindow::ShowMain() {
    // Minimised, it would have no way back: the program has no task-bar entry.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    BringToFront(*this);
}

void QtMainWindow::ShowSwitch(std::size_t network, bool blocked) {
    const layout::SwitchLook look = layout::LookOf(blocked);
    auto& status = form_.Get<QLabel>(layout::StatusOf(network));
    status.setText(ToQString(look.text));
    SetTextColour(status, ToColor(look.colour));
    form_.Get<PictureButton>(layout::IconOf(network))
        .SetOutline(ToColor(look.colour), ToPixels(layout::kOutlineTwips, LogicalDpi(canvas_)));
}

void QtMainWindow::ShowKeywords(const std::vector<std::string>& rows) {
    QStringList shown;
    shown.reserve(static_cast<qsizetype>(rows.size()));
    for (const auto& row : rows)
        shown.push_back(QString::fromUtf8(row.data(), static_cast<qsizetype>(row.size())));
    QListWidget& list = KeywordList();
    list.setUpdatesEnabled(false);
    list.clear();
    list.addItems(shown);  // one insertion, however long the list
    list.setUpdatesEnabled(true);
}

std::optional<std::size_t> QtMainWindow::SelectedKeyword() const {
    const QModelIndexList selected = KeywordList().selectionModel()->selectedIndexes();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(selected.front().row());
}

void QtMainWindow::ShowStartAtLogon(bool on) {
    form_.Get<QCheckBox>(layout::kStartAtLogonBox).setChecked(on);
}

void QtMainWindow::ShowHoursInForce(std::string_view line) {
    form_.Get<QLabel>(layout::kHoursInForce).setText(ToQString(line));
}

void QtMainWindow::StartWatch() { watch_.start(); }

void QtMainWindow::ShowSplash() {
    if (!splash_) splash_ = std::make_unique<SplashWindow>(showCommand_);
    // The user's program keeps the focus, so Alt+Home reaches it from the first tick.
    splash_->ShowWithoutFocus();
}

void QtMainWindow::ShowInfo() {
    if (!info_) info_ = std::make_unique<InfoWindow>();
    info_->show();
    BringToFront(*info_);
}

void QtMainWindow::ShowChangePassword() {
    if (!changePassword_) changePassword_ = std::make_unique<ChangePasswordWindow>(commands_);
    changePassword_->show();
    BringToFront(*changePassword_);
}

void QtMainWindow::ShowBlockingHours(const HoursEntry& entry) {
    if (!blockingHours_) blockingHours_ = std::make_unique<BlockingHoursWindow>(commands_);
    blockingHours_->Fill(entry);
    blockingHours_->show();
    BringToFront(*blockingHours_);
}

void QtMainWindow::Terminate() {
    terminated_ = true;
    watch_.stop();
    // exit(), not quit(): quitting would first ask every window to close,
    // and closing this one asks the user again.
    QCoreApplication::exit(0);
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    // Every way of closing (menu, title bar, Alt+F4, the window manager) asks first.
    event->ignore();
    if (terminated_) return event->accept();
    commands_.RequestExit();
}

}  // namespace quellgate::qt
