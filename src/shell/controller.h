#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "blocklist/active_keywords.h"
#include "blocklist/blocking_hours.h"
#include "blocklist/blocklist_file.h"
#include "blocklist/network_switches.h"
#include "platform/desktop.h"
#include "platform/diagnostics.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/local_clock.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/start_at_logon.h"
#include "platform/text_case.h"
#include "protect/master_password.h"
#include "scan/window_scan.h"
#include "shell/command_line.h"
#include "shell/main_view.h"
#include "shell/view_commands.h"

namespace quellgate {

// The system as the program needs it; each front end passes its own.
struct Platform {
    SettingsStore& settings;
    Desktop& desktop;
    TextCase& textCase;
    Dialogs& dialogs;
    StartAtLogon& startAtLogon;
    Process& process;
    FileStore& files;
    Diagnostics& diagnostics;
    LocalClock& clock;
};

// The application's controller: owns the live state, answers the user's
// actions and the watch timer, and decides what the user is told. The
// windows only draw and forward what the user does.
class Controller : public ViewCommands {
public:
    explicit Controller(Platform platform);
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Runs once, with the main window created (with this controller's
    // commands) and hidden; the controller shows everything on that view from
    // then on. False when another instance already runs; the caller then
    // ends at once.
    bool Start(MainView& view);

    void OnWatchTick() override;
    void ToggleNetwork(std::size_t network) override;
    void AddKeyword() override;
    void RemoveSelectedKeyword() override;
    void SetStartAtLogon(bool on) override;
    bool RequestExit() override;
    void Choose(int menuEntry) override;
    bool ChangePassword(std::string_view oldPassword, std::string_view newPassword,
                        std::string_view retyped) override;
    bool SetBlockingHours(const HoursEntry& entry) override;

    // What the key would have done, asked from the command line.
    void Perform(RemoteCommand command);

private:
    // Runs one step of the watch; a failing step must not stop the next step
    // or the next tick.
    template <typename Step>
    void Guarded(const Step& step) noexcept;
    // Whether the scan may send Alt+Home now; the main window's line follows.
    bool InBlockingHours();
    void AskMasterPassword();
    void SaveKeywords();
    void ShowKeywords();
    // The message when the entry could not be written or removed.
    std::optional<std::string> UpdateStartAtLogon(bool on);
    void Tell(std::string_view text, MessageIcon icon);
    // A dialog's entry refused: told, and the dialog stays open.
    bool Refuse(std::string_view text);

    Platform os_;
    MainView* view_ = nullptr;  // from Start on
    ActiveKeywords keywords_;
    NetworkSwitches switches_;
    BlockingHours hours_;              // in force: the stored rule
    std::optional<bool> blockingNow_;  // as the main window's line says
    BlocklistFile blocklist_;
    MasterPassword password_;
    WindowScanner scanner_;
    bool promptOpen_ = false;
    bool exitAsked_ = false;
    // A file that could not be read is never overwritten: it may hold
    // keywords the list lacks. It is read again before every save.
    bool blocklistUnread_ = false;
    bool toldSaveFailure_ = false;    // until a save succeeds
    bool toldSwitchFailure_ = false;  // for the run
};

}  // namespace quellgate
