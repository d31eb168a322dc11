#pragma once

#include <array>
#include <memory>

#include "blocklist/networks.h"
#include "shell/main_view.h"
#include "shell/view_commands.h"
#include "win32/form.h"

namespace quellgate::win32 {

class SplashWindow;
class InfoWindow;
class ChangePasswordWindow;
class BlockingHoursWindow;

// Never shown: owning every other window keeps the program off the task bar.
class OwnerWindow : public Form {
public:
    explicit OwnerWindow(HINSTANCE instance);
};

// The switches, the keyword list and the options. Created hidden; F5 and the
// master password show it.
class MainWindow : public Form, public MainView {
public:
    MainWindow(HINSTANCE instance, HWND owner, ViewCommands& commands);
    ~MainWindow() override;

    // Keyboard navigation for the main window and its modeless companions.
    bool PreTranslate(MSG& message) const;

    void ShowMain() override { Show(); }
    void HideMain() override { Hide(); }
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
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    std::optional<layout::Rgb> TextColour(const layout::Control& control) const override;
    void DrawControl(const layout::Control& control, const DRAWITEMSTRUCT& item) const override;

private:
    void OnCommand(int id, int code);
    void FillKeywordList();

    HINSTANCE instance_;
    HWND owner_;
    ViewCommands& commands_;
    std::array<bool, kNetworkCount> blocked_{};
    std::vector<std::string> shownRows_;  // what the list box is being filled with
    std::size_t filledRows_ = 0;
    UniqueIcon bigIcon_, smallIcon_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<InfoWindow> info_;
    std::unique_ptr<ChangePasswordWindow> changePassword_;
    std::unique_ptr<BlockingHoursWindow> blockingHours_;
};

}  // namespace quellgate::win32
