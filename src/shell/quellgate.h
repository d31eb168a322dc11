#pragma once

#include <cstddef>
#include <string_view>

#include "blocklist/active_keyword_list.h"
#include "blocklist/blocklist_file.h"
#include "blocklist/custom_keywords.h"
#include "blocklist/network_switches.h"
#include "platform/autostart.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/text_case.h"
#include "protect/master_password.h"
#include "scan/window_scan.h"
#include "shell/main_view.h"

namespace quellgate {

struct Platform {
    SettingsStore& settings;
    Desktop& desktop;
    TextCase& textCase;
    Dialogs& dialogs;
    Autostart& autostart;
    Process& process;
    FileStore& files;
};

// The application's controller: owns the live state of the main window and
// answers its events. The windows only draw and forward clicks.
class Quellgate {
public:
    Quellgate(Platform platform, MainView& view);
    Quellgate(const Quellgate&) = delete;
    Quellgate& operator=(const Quellgate&) = delete;

    // The start-up sequence. False when another instance already runs; the
    // caller then ends at once.
    bool Form_Load();

    // A request to close the main window, whatever its source. True when the
    // user confirmed and the program is ending.
    bool Form_Unload();

    // The watch timer, every 300 ms.
    void Timer1_Timer();

    void NetworkIcon_Click(std::size_t network);  // Image1_Click .. Image5_Click
    void Image6_Click() { keywords_.Image6_Click(); }
    void Image7_Click() { keywords_.Image7_Click(view_.SelectedKeyword()); }
    void ChkRun_Click();
    void mnuHide_Click() { view_.HideMain(); }
    void mnuPassword_Click() { view_.ShowChangePassword(); }
    void mnuInfo_Click() { view_.ShowInfo(); }

    // OK in the change-password dialog; true when it may close.
    bool ChangePassword_OK(std::string_view oldPassword, std::string_view newPassword,
                           std::string_view retyped);

    void AskMasterPassword();

    const ActiveKeywordList& List3() const { return list3_; }
    const NetworkSwitches& Switches() const { return switches_; }

private:
    void PaintSwitches();
    template <typename Step>
    void Trapped(Step&& step) noexcept;

    Platform os_;
    MainView& view_;
    ActiveKeywordList list3_;
    NetworkSwitches switches_;
    BlocklistFile blocklist_;
    CustomKeywords keywords_;
    PasswordStore password_;
    WindowScanner scanner_;
    bool suppressRunClick_ = false;
    bool promptOpen_ = false;
    bool exitAsked_ = false;
};

}  // namespace quellgate
