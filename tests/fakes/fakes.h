#pragma once

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "platform/autostart.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/text_case.h"
#include "shell/main_view.h"

namespace quellgate::fakes {

// What the fakes were asked to do, in order, for tests of sequence.
using Journal = std::vector<std::string>;

class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(Journal* journal = nullptr) : journal_(journal) {}

    std::optional<std::string> GetString(SettingsRoot root, std::string_view keyPath,
                                         std::string_view valueName) const override;
    Outcome SaveString(SettingsRoot root, std::string_view keyPath, std::string_view valueName,
                       std::string_view text) override;

    // Direct access for arranging and checking, under the program's key.
    void Set(std::string_view valueName, std::string_view text);
    std::optional<std::string> Get(std::string_view valueName) const;

    bool failWrites = false;
    int writes = 0;

private:
    using Key = std::tuple<SettingsRoot, std::string, std::string>;
    std::map<Key, std::string> values_;
    Journal* journal_;
};

class FakeDesktop : public Desktop {
public:
    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override;
    bool SendAltHome() override;
    bool IsKeyPressed(Key key) override;

    void AddWindow(std::string caption, bool visible = true);
    void Tap(Key key) { taps.insert(key); }

    std::vector<TopLevelWindow> windows;
    std::set<Key> taps;  // pressed since the last query: used up by it
    std::set<Key> held;  // down now: seen by every query
    int altHomes = 0;
    int refuseSendsAfter = -1;  // refuse every keystroke after this many
    std::function<void(Key)> onKeyQuery;
    Journal* journal = nullptr;
};

// Lower-cases like a Windows user locale would for the scripts in the tests.
class UnicodeTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override;
};

class ScriptedDialogs : public Dialogs {
public:
    struct Message {
        std::string text, caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct Prompt {
        std::string prompt, caption;
        bool masked;
    };

    Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override;
    std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                       bool masked) override;

    std::vector<std::string> Texts() const;

    std::deque<std::optional<std::string>> typed;  // answers to AskText; cancel when empty
    std::deque<Answer> answers;                    // answers to Yes/No; Yes when empty
    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::function<void()> whilePromptOpen;  // runs inside AskText, as a modal loop would
    Journal* journal = nullptr;
};

class FakeAutostart : public Autostart {
public:
    Result Write(std::string_view name, std::string_view command) override;
    Result Remove(std::string_view name) override;
    bool Exists(std::string_view name) const override;

    std::map<std::string, std::string> entries;
    long openError = 0;
    long setError = 0;
    Journal* journal = nullptr;
};

class FakeProcess : public Process {
public:
    std::string ExecutableFolder() const override { return folder; }
    std::string ExecutableBaseName() const override { return baseName; }
    bool ClaimSingleInstance() override { return !otherInstance; }

    std::string folder = "C:\\Tools";
    std::string baseName = "Quellgate";
    bool otherInstance = false;
};

class MemoryFileStore : public FileStore {
public:
    ReadResult Read(std::string_view path) const override;
    Outcome Replace(std::string_view path, std::string_view content) override;

    std::map<std::string, std::string, std::less<>> files;
    std::set<std::string, std::less<>> unreadable;
    bool failWrites = false;
    int writes = 0;
    Journal* journal = nullptr;
};

class RecordingView : public MainView {
public:
    void ShowMain() override;
    void HideMain() override;
    void ShowSwitch(std::size_t network, bool blocked) override;
    void ShowKeywords(const std::vector<std::string>& entries) override { keywords = entries; }
    std::optional<std::size_t> SelectedKeyword() const override { return selected; }
    bool RunAtStartupTicked() const override { return runTicked; }
    void SetRunAtStartupTicked(bool ticked) override;
    void ShowSplash() override;
    void ShowInfo() override { infoShown = true; }
    void ShowChangePassword() override { changePasswordShown = true; }
    void Terminate() override { terminated = true; }

    bool mainShown = false;
    std::vector<std::string> keywords;
    std::optional<std::size_t> selected;
    bool runTicked = true;  // as the check box is created
    bool blocked[5] = {};
    bool splashShown = false, infoShown = false, changePasswordShown = false, terminated = false;
    Journal* journal = nullptr;
};

}  // namespace quellgate::fakes
