#include "shell/controller.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "blocklist/keyword_rules.h"
#include "shell/view_rules.h"
#include "text/messages.h"

namespace quellgate {
namespace {

HoursEntry EntryOf(const BlockingHours& hours) {
    const BlockingHours& offered = hours.always ? kWorkingHours : hours;
    return {hours.always, offered.days, TimeOfDay(offered.start), TimeOfDay(offered.end)};
}

}  // namespace

template <typename Step>
void Controller::Guarded(const Step& step) noexcept {
    try {
        try {
            step();
        } catch (const std::exception& failure) {
            os_.diagnostics.Note(std::string("a step of the watch failed: ") + failure.what());
        } catch (...) {
            os_.diagnostics.Note("a step of the watch failed");
        }
    } catch (...) {  // the note itself failed: nothing more to do
    }
}

Controller::Controller(Platform platform)
    : os_(platform),
      keywords_(platform.textCase),
      switches_(platform.settings),
      blocklist_(platform.files),
      password_(platform.settings),
      scanner_(platform.desktop, platform.textCase, keywords_) {}

void Controller::Tell(std::string_view text, MessageIcon icon) {
    os_.dialogs.ShowMessage(text, texts::kAppTitle, icon);
}

bool Controller::Refuse(std::string_view text) {
    Tell(text, MessageIcon::Exclamation);
    return false;
}

bool Controller::Start(MainView& view) {
    view_ = &view;
    if (!os_.process.ClaimSingleInstance()) {
        Tell(texts::kAlreadyRunning, MessageIcon::None);
        return false;
    }
    // What went wrong is told once the watch runs: a message left open must
    // not keep blocked pages open.
    struct Notice {
        std::string text;
        MessageIcon icon;
    };
    std::vector<Notice> notices;

    // Written at every start, so the entry follows the program when it moves.
    if (auto failure = UpdateStartAtLogon(true)) notices.push_back({std::move(*failure), MessageIcon::None});
    view_->ShowStartAtLogon(os_.startAtLogon.Exists(os_.process.ExecutableName()));

    // Unread values read as absent: FREE switches and the default password.
    if (const Outcome readable = os_.settings.Readable(); !readable)
        notices.push_back(
            {texts::SettingsNotRead(os_.settings.Location(), readable.reason()), MessageIcon::Exclamation});
    switches_.Load();
    std::vector<std::string> blockedNames;
    for (std::size_t i = 0; i < kNetworkCount; ++i) {
        view_->ShowSwitch(i, switches_.IsBlocked(i));
        if (switches_.IsBlocked(i)) blockedNames.emplace_back(kNetworks[i].name);
    }
    keywords_.AddAll(std::move(blockedNames));
    const auto hours = LoadBlockingHours(os_.settings);
    if (!hours)
        notices.push_back({texts::HoursNotUnderstood(os_.settings.Location(), kBlockingHoursSetting),
                           MessageIcon::Exclamation});
    hours_ = hours.value_or(BlockingHours{});
    Guarded([&] { InBlockingHours(); });
    BlocklistFile::Loaded loaded = blocklist_.Load();
    keywords_.AddAll(std::move(loaded.keywords));
    blocklistUnread_ = loaded.unreadable.has_value();
    if (blocklistUnread_)
        notices.push_back(
            {texts::BlocklistNotRead(blocklist_.Path(), *loaded.unreadable), MessageIcon::Exclamation});
    ShowKeywords();

    view_->StartWatch();
    view_->ShowSplash();
    for (const auto& notice : notices) Tell(notice.text, notice.icon);
    return true;
}

void Controller::ShowKeywords() {
    std::vector<std::string> rows;
    rows.reserve(keywords_.Entries().size());
    for (const auto& entry : keywords_.Entries()) rows.push_back(layout::RowOf(entry));
    view_->ShowKeywords(rows);
}

void Controller::Choose(int menuEntry) {
    switch (menuEntry) {
    case layout::kMenuHide: return view_->HideMain();
    case layout::kMenuChangePassword: return view_->ShowChangePassword();
    case layout::kMenuBlockingHours: return view_->ShowBlockingHours(EntryOf(hours_));
    case layout::kMenuExit: RequestExit(); return;
    case layout::kMenuInfo: return view_->ShowInfo();
    default: return;
    }
}

bool Controller::RequestExit() {
    // A close request that comes while the question is open must not stack
    // a second question.
    if (exitAsked_) return false;
    exitAsked_ = true;
    const Answer answer = os_.dialogs.ShowMessage(texts::kConfirmExit, texts::kAppTitle,
                                                  MessageIcon::Question, MessageButtons::YesNo);
    exitAsked_ = false;
    if (answer != Answer::Yes) return false;
    SaveKeywords();
    view_->Terminate();
    return true;
}

void Controller::OnWatchTick() {
    const auto pressed = [this](Key key) { return os_.desktop.IsKeyPressed(key); };
    // F4 and F5 are looked at twice, the program's old order: an F5 still
    // held when the first prompt closes opens it again within the tick.
    Guarded([&] {
        if (pressed(Key::F4)) view_->HideMain();
    });
    Guarded([&] {
        if (pressed(Key::F8)) os_.desktop.SendAltHome();
    });
    Guarded([&] {
        if (pressed(Key::F5)) AskMasterPassword();
    });
    Guarded([&] {
        if (pressed(Key::F4)) view_->HideMain();
    });
    Guarded([&] {
        if (pressed(Key::F5)) AskMasterPassword();
    });
    bool blocking = true;  // a clock that fails frees nothing
    Guarded([&] { blocking = InBlockingHours(); });
    if (blocking) Guarded([&] { scanner_.Scan(); });
}

bool Controller::InBlockingHours() {
    const bool blocking = hours_.Blocks(os_.clock.Now());
    if (blocking == blockingNow_) return blocking;
    blockingNow_ = blocking;
    view_->ShowHoursInForce(hours_.always ? std::string(texts::kBlockingAlways)
                                          : texts::HoursInForce(ToText(hours_), blocking));
    return blocking;
}

void Controller::Perform(RemoteCommand command) {
    Guarded([&] {
        switch (command) {
        case RemoteCommand::Hide: return view_->HideMain();
        case RemoteCommand::Show: return AskMasterPassword();
        case RemoteCommand::HomeNow: os_.desktop.SendAltHome(); return;
        }
    });
}

void Controller::AskMasterPassword() {
    // Ticks go on while the prompt is open; an F5 meanwhile is used up here
    // rather than opening a second prompt over the first.
    if (promptOpen_) return;
    promptOpen_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{promptOpen_};

    std::string password = password_.Load();
    if (password.empty()) password = kDefaultPassword;
    const std::string answer =
        os_.dialogs.AskText(texts::kEnterPassword, texts::kAppTitle, true).value_or("");
    if (answer.empty()) return Tell(texts::kPleaseEnterPassword, MessageIcon::None);
    if (answer != password) {
        os_.dialogs.ShowMessage(texts::kPasswordNotMatch, texts::kPasswordVerificationTitle,
                                MessageIcon::Exclamation);
        return;
    }
    if (password == kDefaultPassword) {
        Tell(texts::kDefaultPasswordWarning, MessageIcon::Information);
        if (const Outcome stored = password_.Store(password); !stored)
            Tell(texts::DefaultPasswordNotStored(os_.settings.Location(), stored.reason()),
                 MessageIcon::Exclamation);
    }
    view_->ShowMain();
}

bool Controller::ChangePassword(std::string_view oldPassword, std::string_view newPassword,
                                std::string_view retyped) {
    switch (CheckPasswordChange(password_.Load(), oldPassword, newPassword, retyped)) {
    case PasswordChange::WrongOldPassword: return Refuse(texts::kWrongOldPassword);
    case PasswordChange::TooShort: return Refuse(texts::kNewPasswordTooShort);
    case PasswordChange::BoxEmpty: return Refuse(texts::kFillAllBoxes);
    case PasswordChange::RetypedDiffers: return Refuse(texts::kRetypeNewPassword);
    case PasswordChange::Accepted: break;
    }
    if (const Outcome stored = password_.Store(newPassword); !stored)
        return Refuse(texts::NewPasswordNotStored(os_.settings.Location(), stored.reason()));
    Tell(texts::kPasswordChanged, MessageIcon::Information);
    return true;
}

bool Controller::SetBlockingHours(const HoursEntry& entry) {
    BlockingHours chosen;  // always
    if (!entry.always) {
        if (std::none_of(entry.days.begin(), entry.days.end(), [](bool chosenDay) { return chosenDay; }))
            return Refuse(texts::kNoDayChosen);
        const auto start = MinuteOfDay(entry.from), end = MinuteOfDay(entry.to);
        if (!start || !end) return Refuse(texts::kTimeNotUnderstood);
        chosen = {false, entry.days, *start, *end};
    }
    if (const Outcome stored = StoreBlockingHours(os_.settings, chosen); !stored)
        return Refuse(texts::HoursNotStored(os_.settings.Location(), stored.reason(), ToText(hours_)));
    hours_ = chosen;
    blockingNow_.reset();
    Guarded([&] { InBlockingHours(); });
    return true;
}

void Controller::ToggleNetwork(std::size_t network) {
    switches_.Toggle(network);
    const bool blocked = switches_.IsBlocked(network);
    // Only the network's own entry: the user's keywords that mention it stay.
    if (blocked)
        keywords_.Add(kNetworks.at(network).name);
    else
        keywords_.Remove(kNetworks.at(network).name);
    view_->ShowSwitch(network, blocked);
    ShowKeywords();
    const Outcome saved = switches_.Save();
    if (saved || toldSwitchFailure_) return;
    toldSwitchFailure_ = true;
    Tell(texts::SettingsNotStored(os_.settings.Location(), saved.reason()), MessageIcon::Exclamation);
}

void Controller::AddKeyword() {
    const std::string typed =
        CleanKeyword(os_.dialogs.AskText(texts::kAddKeywordPrompt, texts::kAppTitle, false).value_or(""));
    if (!IsAllowedKeyword(typed, os_.textCase.LowerCase(typed)))
        return Tell(texts::kKeywordNotAllowed, MessageIcon::Information);
    if (keywords_.Add(typed))
        ShowKeywords();
    else
        Tell(texts::kKeywordExists, MessageIcon::Information);
    SaveKeywords();
}

void Controller::RemoveSelectedKeyword() {
    const auto selected = view_->SelectedKeyword();
    if (selected && *selected < keywords_.Entries().size()) {
        if (IsNetworkName(keywords_.Entries()[*selected]))
            return Tell(texts::kUseNetworkIcon, MessageIcon::Information);
        keywords_.RemoveAt(*selected);
        ShowKeywords();
    }
    SaveKeywords();
}

void Controller::SaveKeywords() {
    if (blocklistUnread_) {
        BlocklistFile::Loaded loaded = blocklist_.Load();
        if (loaded.unreadable)
            return Tell(texts::BlocklistNotRead(blocklist_.Path(), *loaded.unreadable),
                        MessageIcon::Exclamation);
        blocklistUnread_ = false;
        keywords_.AddAll(std::move(loaded.keywords));
        ShowKeywords();
    }
    const Outcome saved = blocklist_.Save(keywords_.Entries());
    if (saved) {
        toldSaveFailure_ = false;
        return;
    }
    if (toldSaveFailure_) return;
    toldSaveFailure_ = true;
    Tell(texts::BlocklistNotSaved(blocklist_.Path(), saved.reason()), MessageIcon::Exclamation);
}

void Controller::SetStartAtLogon(bool on) {
    if (const auto failure = UpdateStartAtLogon(on)) Tell(*failure, MessageIcon::None);
}

std::optional<std::string> Controller::UpdateStartAtLogon(bool on) {
    const std::string name = os_.process.ExecutableName();
    const Outcome result =
        on ? os_.startAtLogon.Write(name, os_.process.ExecutablePath()) : os_.startAtLogon.Remove(name);
    if (result) return std::nullopt;
    return texts::StartAtLogonNotChanged(os_.startAtLogon.PlaceOf(name), on, result);
}

}  // namespace quellgate
