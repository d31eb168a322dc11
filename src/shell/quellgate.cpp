#include "shell/quellgate.h"

#include "protect/change_password.h"
#include "shell/run_at_logon.h"
#include "text/messages.h"

namespace quellgate {

Quellgate::Quellgate(Platform platform, MainView& view)
    : os_(platform),
      view_(view),
      list3_(platform.textCase),
      switches_(platform.settings, list3_, platform.dialogs),
      blocklist_(platform.files, platform.process, list3_, platform.dialogs),
      keywords_(list3_, blocklist_, platform.dialogs),
      password_(platform.settings),
      scanner_(platform.desktop, list3_) {
    list3_.SetObserver([this] { view_.ShowKeywords(list3_.Entries()); });
}

bool Quellgate::Form_Load() {
    if (!os_.process.ClaimSingleInstance()) {
        os_.dialogs.ShowMessage(texts::kAlreadyRunning, texts::kAppTitle, MessageIcon::None);
        return false;
    }
    // What went wrong is told only once the watch runs: a message left open
    // must not keep the blocked pages open.
    struct Notice {
        std::string text;
        MessageIcon icon;
    };
    std::vector<Notice> notices;
    const std::string name = os_.process.ExecutableBaseName();
    if (auto failure = SetRunAtStartup(os_.autostart, name, os_.process.ExecutableFolder(),
                                       view_.RunAtStartupTicked()))
        notices.push_back({std::move(*failure), MessageIcon::None});
    suppressRunClick_ = true;
    view_.SetRunAtStartupTicked(IsRunAtStartup(os_.autostart, name));
    suppressRunClick_ = false;
    view_.HideMain();
    PaintSwitches();
    switches_.FillActiveList();
    if (auto failure = blocklist_.LoadBlocklist())
        notices.push_back({std::move(*failure), MessageIcon::Exclamation});
    view_.StartWatch();
    view_.ShowSplash();
    for (const auto& notice : notices) os_.dialogs.ShowMessage(notice.text, texts::kAppTitle, notice.icon);
    return true;
}

bool Quellgate::Form_Unload() {
    // A second close request while the question is open must not stack a
    // second question.
    if (exitAsked_) return false;
    exitAsked_ = true;
    const Answer answer = os_.dialogs.ShowMessage(texts::kConfirmExit, texts::kAppTitle,
                                                  MessageIcon::Question, MessageButtons::YesNo);
    exitAsked_ = false;
    if (answer != Answer::Yes) return false;
    blocklist_.SaveBlocklist();
    view_.Terminate();
    return true;
}

template <typename Step>
void Quellgate::Trapped(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
        // A failing step must not stop the watch: the next step and the next
        // tick run all the same.
    }
}

void Quellgate::Timer1_Timer() {
    const auto pressed = [this](Key key) { return os_.desktop.IsKeyPressed(key); };
    Trapped([&] { if (pressed(Key::F4)) view_.HideMain(); });
    Trapped([&] { if (pressed(Key::F8)) os_.desktop.SendAltHome(); });
    Trapped([&] { if (pressed(Key::F5)) AskMasterPassword(); });
    Trapped([&] { if (pressed(Key::F4)) view_.HideMain(); });
    Trapped([&] { if (pressed(Key::F5)) AskMasterPassword(); });
    Trapped([&] { scanner_.ScanWindows(); });
}

void Quellgate::AskMasterPassword() {
    // Ticks go on while the prompt is open (its modal loop serves the timer);
    // a press of F5 meanwhile is used up here rather than opening a second
    // prompt over the first.
    if (promptOpen_) return;
    promptOpen_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{promptOpen_};
    if (quellgate::AskMasterPassword(password_, os_.dialogs)) view_.ShowMain();
}

bool Quellgate::ChangePassword_OK(std::string_view oldPassword, std::string_view newPassword,
                                  std::string_view retyped) {
    return ChangeMasterPassword(password_, os_.dialogs, oldPassword, newPassword, retyped);
}

void Quellgate::NetworkIcon_Click(std::size_t network) {
    switches_.Toggle(network);
    view_.ShowSwitch(network, switches_.IsBlocked(network));
    switches_.SaveSwitchStates();
}

void Quellgate::ChkRun_Click() {
    if (suppressRunClick_) return;
    if (const auto failure = SetRunAtStartup(os_.autostart, os_.process.ExecutableBaseName(),
                                             os_.process.ExecutableFolder(), view_.RunAtStartupTicked()))
        os_.dialogs.ShowMessage(*failure, texts::kAppTitle, MessageIcon::None);
}

void Quellgate::PaintSwitches() {
    switches_.LoadSwitchStates();
    for (std::size_t i = 0; i < kNetworkCount; ++i) view_.ShowSwitch(i, switches_.IsBlocked(i));
}


}  // namespace quellgate
