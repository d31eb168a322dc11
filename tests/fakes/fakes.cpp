#include "fakes/fakes.h"

#include <locale>

#include "blocklist/network_switches.h"
#include "text/utf8.h"

namespace quellgate::fakes {
namespace {

void Note(Journal* journal, std::string entry) {
    if (journal) journal->push_back(std::move(entry));
}

}  // namespace

std::optional<std::string> MemorySettingsStore::GetString(SettingsRoot root, std::string_view keyPath,
                                                          std::string_view valueName) const {
    Note(journal_, "settings.get " + std::string(valueName));
    const auto it = values_.find({root, std::string(keyPath), std::string(valueName)});
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

Outcome MemorySettingsStore::SaveString(SettingsRoot root, std::string_view keyPath,
                                        std::string_view valueName, std::string_view text) {
    Note(journal_, "settings.save " + std::string(valueName));
    ++writes;
    if (failWrites) return Outcome::Failure("Access is denied.");
    values_[{root, std::string(keyPath), std::string(valueName)}] = std::string(text);
    return Outcome::Success();
}

void MemorySettingsStore::Set(std::string_view valueName, std::string_view text) {
    values_[{kSettingsRoot, std::string(kSettingsKey), std::string(valueName)}] = std::string(text);
}

std::optional<std::string> MemorySettingsStore::Get(std::string_view valueName) const {
    const auto it = values_.find({kSettingsRoot, std::string(kSettingsKey), std::string(valueName)});
    if (it == values_.end()) return std::nullopt;
    return it->second;
}

void FakeDesktop::EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) {
    Note(journal, "desktop.enumerate");
    for (const auto& window : windows) visit(window);
}

bool FakeDesktop::SendAltHome() {
    Note(journal, "desktop.alt+home");
    if (refuseSendsAfter >= 0 && altHomes >= refuseSendsAfter) return false;
    ++altHomes;
    return true;
}

bool FakeDesktop::IsKeyPressed(Key key) {
    Note(journal, "desktop.key " + std::to_string(static_cast<int>(key)));
    if (onKeyQuery) onKeyQuery(key);
    return taps.erase(key) > 0 || held.count(key) > 0;
}

void FakeDesktop::AddWindow(std::string caption, bool visible) {
    windows.push_back({windows.size() + 100, std::move(caption), visible});
}

std::string UnicodeTextCase::LowerCase(std::string_view text) const {
    static const std::locale locale("C.UTF-8");
    const auto& ctype = std::use_facet<std::ctype<wchar_t>>(locale);
    std::u16string units = Utf8ToUtf16(text);
    for (auto& unit : units)
        if (unit < 0xD800 || unit > 0xDFFF) unit = static_cast<char16_t>(ctype.tolower(static_cast<wchar_t>(unit)));
    return Utf16ToUtf8(units);
}

Answer ScriptedDialogs::ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                                    MessageButtons buttons) {
    Note(journal, "dialogs.message " + std::string(text));
    messages.push_back({std::string(text), std::string(caption), icon, buttons});
    if (buttons == MessageButtons::Ok) return Answer::Ok;
    if (answers.empty()) return Answer::Yes;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedDialogs::AskText(std::string_view prompt, std::string_view caption,
                                                    bool masked) {
    Note(journal, "dialogs.ask " + std::string(prompt));
    prompts.push_back({std::string(prompt), std::string(caption), masked});
    if (whilePromptOpen) whilePromptOpen();
    if (typed.empty()) return std::nullopt;
    auto answer = typed.front();
    typed.pop_front();
    return answer;
}

std::vector<std::string> ScriptedDialogs::Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : messages) texts.push_back(m.text);
    return texts;
}

Autostart::Result FakeAutostart::Write(std::string_view name, std::string_view command) {
    Note(journal, "autostart.write " + std::string(name));
    if (openError) return {Result::Stage::OpeningKey, openError};
    if (setError) return {Result::Stage::SettingValue, setError};
    entries[std::string(name)] = std::string(command);
    return {};
}

Autostart::Result FakeAutostart::Remove(std::string_view name) {
    Note(journal, "autostart.remove " + std::string(name));
    if (openError) return {Result::Stage::OpeningKey, openError};
    entries.erase(std::string(name));
    return {};
}

bool FakeAutostart::Exists(std::string_view name) const {
    Note(journal, "autostart.exists " + std::string(name));
    return entries.count(std::string(name)) > 0;
}

FileStore::ReadResult MemoryFileStore::Read(std::string_view path) const {
    Note(journal, "files.read");
    if (unreadable.count(path)) return Unreadable{"The process cannot access the file."};
    const auto it = files.find(path);
    if (it == files.end()) return Missing{};
    return it->second;
}

Outcome MemoryFileStore::Replace(std::string_view path, std::string_view content) {
    Note(journal, "files.replace");
    ++writes;
    if (failWrites) return Outcome::Failure("Access is denied.");
    files[std::string(path)] = std::string(content);
    return Outcome::Success();
}

void RecordingView::ShowMain() {
    Note(journal, "view.show-main");
    mainShown = true;
}

void RecordingView::HideMain() {
    Note(journal, "view.hide-main");
    mainShown = false;
}

void RecordingView::ShowSwitch(std::size_t network, bool isBlocked) {
    Note(journal, "view.switch " + std::to_string(network));
    blocked[network] = isBlocked;
}

void RecordingView::SetRunAtStartupTicked(bool ticked) {
    Note(journal, std::string("view.run-ticked ") + (ticked ? "1" : "0"));
    runTicked = ticked;
}

void RecordingView::ShowSplash() {
    Note(journal, "view.splash");
    splashShown = true;
}

}  // namespace quellgate::fakes
