#pragma once

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>

#include "blocklist/networks.h"
#include "qt/form.h"
#include "shell/main_view.h"
#include "shell/view_commands.h"

class QListWidget;

namespace quellgate::qt {

class SplashWindow;
class InfoWindow;
class ChangePasswordWindow;
class BlockingHoursWindow;

// The switches, the keyword list and the options. Created hidden; F5 and the
// master password show it. Every way of closing it asks the controller.
class QtMainWindow : public QMainWindow, public MainView {
public:
    // `showCommand`: F5 cannot be watched here, and the splash names the command instead.
    QtMainWindow(ViewCommands& commands, bool showCommand = false);
    ~QtMainWindow() override;

    // True once Terminate ran: the program is ending.
    bool Terminated() const { return terminated_; }

    void ShowMain() override;
    void HideMain() override { hide(); }
    void ShowSwitch(std::size_t network, bool blocked) override;
    void ShowKeywords(const std::vector<std::string>& rows) override;
    std::optional<std::size_t> SelectedKeyword() const override;
    void ShowStartAtLogon(bool on) override;
    void ShowHoursInForce(std::string_view line) override;
    void StartWatch() override;
    void ShowSplash() override;
    void ShowInfo() override;
    void ShowChangePassword() override;
    void ShowBlockingHours(const HoursEntry& entry) override;
    void Terminate() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void ConnectControls();
    QListWidget& KeywordList() const;

    QWidget canvas_;
    Form form_;
    QTimer watch_;
    ViewCommands& commands_;
    bool showCommand_;
    bool terminated_ = false;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<InfoWindow> info_;
    std::unique_ptr<ChangePasswordWindow> changePassword_;
    std::unique_ptr<BlockingHoursWindow> blockingHours_;
};

}  // namespace quellgate::qt
