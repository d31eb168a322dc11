#include "qt/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QListWidget>
#include <QMenuBar>

#include "qt/change_password_window.h"
#include "qt/control_names.h"
#include "qt/desktop_hints.h"
#include "qt/info_window.h"
#include "qt/pictures.h"
#include "qt/splash_window.h"
#include "shell/quellgate.h"
#include "text/utf8.h"

namespace quellgate::qt {
namespace {

QString RowText(const std::string& entry) {
    const std::string shown = Abbreviated(entry, layout::kShownEntryCharacters);
    return QString::fromUtf8(shown.data(), static_cast<qsizetype>(shown.size()));
}

int NetworkId(int first, std::size_t network) { return first + static_cast<int>(network); }

}  // namespace

QtMainWindow::QtMainWindow() : form_(canvas_, layout::kMainWindow) {
    setObjectName(kMainWindowName);
    setWindowTitle(ToQString(layout::kMainWindow.title));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setCentralWidget(&canvas_);
    BuildMenu();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    auto& startAtLogon = form_.Get<QCheckBox>(layout::kStartAtLogonBox);
    startAtLogon.setText(ToQString(layout::kStartAtLoginText));
    startAtLogon.setChecked(true);
    for (std::size_t network = 0; network < kNetworkCount; ++network) ShowSwitch(network, false);
    ConnectControls();
    watch_.setInterval(kWatchIntervalMs);
    connect(&watch_, &QTimer::timeout, this, [this] {
        if (controller_) controller_->OnWatchTick();
    });
}

QtMainWindow::~QtMainWindow() {
    // The canvas is a member: the window must not delete it a second time.
    takeCentralWidget();
}

void QtMainWindow::BuildMenu() {
    QMenu* program = menuBar()->addMenu(ToQString(layout::kProgramMenuTitle));
    for (const auto& entry : layout::kProgramMenu) {
        if (!entry.id) {
            program->addSeparator();
            continue;
        }
        QAction* action = program->addAction(ToQString(entry.text));
        action->setObjectName(ControlName(entry.id));
        switch (entry.id) {
        case layout::kMenuHide: connect(action, &QAction::triggered, this, &QWidget::hide); break;
        case layout::kMenuChangePassword:
            connect(action, &QAction::triggered, this, &QtMainWindow::ShowChangePassword);
            break;
        case layout::kMenuExit: connect(action, &QAction::triggered, this, &QWidget::close); break;
        default: break;
        }
    }
    QAction* info = menuBar()->addAction(ToQString(layout::kInfoMenu.text));
    info->setObjectName(ControlName(layout::kInfoMenu.id));
    connect(info, &QAction::triggered, this, &QtMainWindow::ShowInfo);
}

void QtMainWindow::ConnectControls() {
    for (std::size_t network = 0; network < kNetworkCount; ++network)
        connect(&form_.Get<PictureButton>(NetworkId(layout::kNetworkIcon, network)),
                &QAbstractButton::clicked, this, [this, network] {
                    if (controller_) controller_->ToggleNetwork(network);
                });
    connect(&form_.Get<PictureButton>(layout::kAddButton), &QAbstractButton::clicked, this, [this] {
        if (controller_) controller_->AddKeyword();
    });
    connect(&form_.Get<PictureButton>(layout::kRemoveButton), &QAbstractButton::clicked, this, [this] {
        if (controller_) controller_->RemoveSelectedKeyword();
    });
    connect(&form_.Get<QCheckBox>(layout::kStartAtLogonBox), &QAbstractButton::clicked, this,
            [this](bool on) {
                if (controller_) controller_->SetStartAtLogon(on);
            });
}

QListWidget& QtMainWindow::KeywordList() const { return form_.Get<QListWidget>(layout::kKeywordList); }

void QtMainWindow::ShowMain() {
    // Minimised, it would have no way back: the program has no task-bar entry.
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    BringToFront(*this);
}

void QtMainWindow::ShowSwitch(std::size_t network, bool blocked) {
    const QColor colour = ToColor(blocked ? layout::kBlockedColour : layout::kFreeColour);
    auto& status = form_.Get<QLabel>(NetworkId(layout::kNetworkStatus, network));
    status.setText(ToQString(blocked ? layout::kBlockedText : layout::kFreeText));
    SetTextColour(status, colour);
    form_.Get<PictureButton>(NetworkId(layout::kNetworkIcon, network))
        .SetOutline(colour, ToPixels(layout::kOutlineTwips, LogicalDpi(canvas_)));
}

void QtMainWindow::ShowKeywords(const std::vector<std::string>& entries) {
    QStringList rows;
    rows.reserve(static_cast<qsizetype>(entries.size()));
    for (const auto& entry : entries) rows.push_back(RowText(entry));
    QListWidget& list = KeywordList();
    list.setUpdatesEnabled(false);
    list.clear();
    list.addItems(rows);  // one insertion, however long the list
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

void QtMainWindow::StartWatch() { watch_.start(); }

void QtMainWindow::ShowSplash() {
    if (!splash_) splash_ = std::make_unique<SplashWindow>();
    // The user's program keeps the focus, so Alt+Home reaches it from the first tick.
    splash_->ShowWithoutFocus();
}

void QtMainWindow::ShowInfo() {
    if (!info_) info_ = std::make_unique<InfoWindow>();
    info_->show();
    BringToFront(*info_);
}

void QtMainWindow::ShowChangePassword() {
    if (!controller_) return;
    if (!changePassword_) changePassword_ = std::make_unique<ChangePasswordWindow>(*controller_);
    changePassword_->show();
    BringToFront(*changePassword_);
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
    if (controller_) controller_->RequestExit();
}

}  // namespace quellgate::qt
