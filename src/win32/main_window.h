#pragma once

#include <memory>

#include "shell/main_view.h"
#include "shell/quellgate.h"
#include "win32/form.h"

namespace quellgate::win32 {

class SplashWindow;
class InfoWindow;
class PasswordWindow;

// Never shown: owning every other window keeps the program off the task bar.
class OwnerWindow : public Form {
public:
    explicit OwnerWindow(HINSTANCE instance);
};

// "Main": the switches, the keyword list and the options. Created hidden;
// F5 and the master password show it.
class MainWindow : public Form, public MainView {
public:
    MainWindow(HINSTANCE instance, HWND owner);
    ~MainWindow() override;

    void Attach(Quellgate& controller) { controller_ = &controller; }

    // Keyboard navigation for the main window and its modeless companions.
    bool PreTranslate(MSG& message) const;

    void ShowMain() override { Show(); }
    void HideMain() override { Hide(); }
    void ShowSwitch(std::size_t network, bool blocked) override;
    void ShowKeywords(const std::vector<std::string>& entries) override;
    std::optional<std::size_t> SelectedKeyword() const override;
    bool RunAtStartupTicked() const override;
    void SetRunAtStartupTicked(bool ticked) override;
    void StartWatch() override;
    void ShowSplash() override;
    void ShowInfo() override;
    void ShowChangePassword() override;
    void Terminate() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void OnCommand(int id, int code);
    void DrawItem(const DRAWITEMSTRUCT& item) const;
    void AddTooltips();

    HINSTANCE instance_;
    HWND owner_;
    Quellgate* controller_ = nullptr;
    std::array<bool, 5> blocked_{};
    UniqueIcon bigIcon_, smallIcon_;
    UniqueWindow tooltips_;
    std::unique_ptr<SplashWindow> splash_;
    std::unique_ptr<InfoWindow> info_;
    std::unique_ptr<PasswordWindow> password_;
};

}  // namespace quellgate::win32
