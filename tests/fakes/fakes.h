#pragma once

#include <deque>
#include <locale>
#include <map>
#include <set>
#include <stdexcept>

#include "blocklist/network_switches.h"
#include "platform/autostart.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/text_case.h"
#include "shell/main_view.h"
#include "text/utf8.h"

namespace quellgate::fakes {

// What the fakes were asked to do, in order, for tests of sequence.
using Journal = std::vector<std::string>;

struct Journaled {
    Journal* journal = nullptr;
    void Note(std::string_view what, std::string_view detail = {}) const {
        if (journal) journal->push_back(std::string(what).append(detail));
    }
};

// Holds the program's own key only: reads elsewhere find nothing, writes elsewhere fail.
class MemorySettingsStore : public SettingsStore, public Journaled {
public:
    std::optional<std::string> GetString(SettingsRoot root, std::string_view keyPath,
                                         std::string_view valueName) const override {
        Note("settings.get ", valueName);
        const auto it = values.find(std::string(valueName));
        if (root != kSettingsRoot || keyPath != kSettingsKey || it == values.end()) return std::nullopt;
        return it->second;
    }
    Outcome SaveString(SettingsRoot root, std::string_view keyPath, std::string_view valueName,
                       std::string_view text) override {
        Note("settings.save ", valueName);
        if (failWrites || root != kSettingsRoot || keyPath != kSettingsKey)
            return Outcome::Failure("Access is denied.");
        values[std::string(valueName)] = text;
        return Outcome::Success();
    }

    std::map<std::string, std::string> values;
    bool failWrites = false;
};

class FakeDesktop : public Desktop, public Journaled {
public:
    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override {
        Note("desktop.enumerate");
        for (const auto& window : windows) visit(window);
    }
    bool SendAltHome() override {
        Note("desktop.alt+home");
        if (refuseSendsAfter >= 0 && altHomes >= refuseSendsAfter) return false;
        ++altHomes;
        return true;
    }
    bool IsKeyPressed(Key key) override {
        Note("desktop.key ", std::to_string(static_cast<int>(key)));
        if (broken.count(key)) throw std::runtime_error("keystroke object missing");
        return taps.erase(key) > 0 || held.count(key) > 0;
    }
    void AddWindow(std::string caption, bool visible = true) {
        windows.push_back({windows.size() + 100, std::move(caption), visible});
    }

    std::vector<TopLevelWindow> windows;
    std::set<Key> taps;  // pressed since the last query: used up by it
    std::set<Key> held;  // down now: seen by every query
    int altHomes = 0;
    int refuseSendsAfter = -1;  // refuse every keystroke after this many
    std::set<Key> broken;       // keys whose query fails as a broken system call would
};

// Lower-cases like a Windows user locale would for the scripts in the tests.
class UnicodeTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override {
        static const std::locale locale("C.UTF-8");
        const auto& ctype = std::use_facet<std::ctype<wchar_t>>(locale);
        std::u16string units = Utf8ToUtf16(text);
        for (auto& unit : units)
            if (unit < 0xD800 || unit > 0xDFFF)
                unit = static_cast<char16_t>(ctype.tolower(static_cast<wchar_t>(unit)));
        return Utf16ToUtf8(units);
    }
};

class ScriptedDialogs : public Dialogs, public Journaled {
public:
    struct Message {
        std::string text, caption;
        MessageIcon icon;
        MessageButtons buttons;
    };
    struct Prompt {
        std::string prompt, caption;
        bool masked;
        bool operator==(const Prompt&) const = default;
    };

    Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        Note("dialogs.message ", text);
        messages.push_back({std::string(text), std::string(caption), icon, buttons});
        if (whileMessageOpen) whileMessageOpen();
        return buttons == MessageButtons::Ok ? Answer::Ok : Next(answers, Answer::Yes);
    }
    std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                       bool masked) override {
        Note("dialogs.ask ", prompt);
        prompts.push_back({std::string(prompt), std::string(caption), masked});
        if (whilePromptOpen) whilePromptOpen();
        return Next(typed, std::optional<std::string>());
    }

    std::deque<std::optional<std::string>> typed;  // answers to AskText; cancel when empty
    std::deque<Answer> answers;                    // answers to Yes/No; Yes when empty
    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::function<void()> whilePromptOpen;   // runs inside AskText, as a modal loop would
    std::function<void()> whileMessageOpen;  // runs inside ShowMessage, likewise

private:
    template <typename T>
    static T Next(std::deque<T>& queue, T otherwise) {
        if (queue.empty()) return otherwise;
        T next = std::move(queue.front());
        queue.pop_front();
        return next;
    }
};

class FakeAutostart : public Autostart, public Journaled {
public:
    Result Write(std::string_view name, std::string_view command) override {
        Note("autostart.write ", name);
        if (openError) return {Result::Stage::OpeningKey, openError};
        if (setError) return {Result::Stage::SettingValue, setError};
        entries[std::string(name)] = command;
        return {};
    }
    Result Remove(std::string_view name) override {
        Note("autostart.remove ", name);
        if (openError) return {Result::Stage::OpeningKey, openError};
        entries.erase(std::string(name));
        return {};
    }
    bool Exists(std::string_view name) const override {
        Note("autostart.exists ", name);
        return entries.count(std::string(name)) > 0;
    }

    std::map<std::string, std::string> entries;
    long openError = 0, setError = 0;
};

class FakeProcess : public Process {
public:
    std::string ExecutableFolder() const override { return folder; }
    std::string ExecutableBaseName() const override { return baseName; }
    bool ClaimSingleInstance() override { return !otherInstance; }

    std::string folder = "C:\\Tools", baseName = "Quellgate";
    bool otherInstance = false;
};

class MemoryFileStore : public FileStore, public Journaled {
public:
    ReadResult Read(std::string_view path) const override {
        Note("files.read");
        if (unreadable.count(path)) return Unreadable{"The process cannot access the file."};
        const auto it = files.find(path);
        if (it == files.end()) return Missing{};
        return it->second;
    }
    Outcome Replace(std::string_view path, std::string_view content) override {
        Note("files.replace");
        if (failWrites) return Outcome::Failure("Access is denied.");
        files[std::string(path)] = content;
        return Outcome::Success();
    }

    std::map<std::string, std::string, std::less<>> files;
    std::set<std::string, std::less<>> unreadable;
    bool failWrites = false;
};

class RecordingView : public MainView, public Journaled {
public:
    void ShowMain() override {
        Note("view.show-main");
        mainShown = true;
    }
    void HideMain() override {
        Note("view.hide-main");
        mainShown = false;
    }
    void ShowSwitch(std::size_t network, bool isBlocked) override {
        Note("view.switch ", std::to_string(network));
        blocked[network] = isBlocked;
    }
    void ShowKeywords(const std::vector<std::string>& entries) override {
        keywords = entries;
        rowsShown += entries.size();
    }
    std::optional<std::size_t> SelectedKeyword() const override { return selected; }
    bool RunAtStartupTicked() const override { return runTicked; }
    void SetRunAtStartupTicked(bool ticked) override {
        Note("view.run-ticked ", ticked ? "1" : "0");
        runTicked = ticked;
    }
    void StartWatch() override {
        Note("view.watch");
        watching = true;
    }
    void ShowSplash() override { Note("view.splash"); }
    void ShowInfo() override { Note("view.info"); }
    void ShowChangePassword() override { Note("view.change-password"); }
    void Terminate() override { Note("view.terminate"); }

    bool mainShown = false;
    bool watching = false;
    std::vector<std::string> keywords;
    std::size_t rowsShown = 0;
    std::optional<std::size_t> selected;
    bool runTicked = true;  // as the check box is created
    bool blocked[kNetworkCount] = {};
};

}  // namespace quellgate::fakes
