#pragma once

// Fakes of every seam, for the core's tests and benchmarks.

#include <cctype>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>

#include "blocklist/networks.h"
#include "platform/desktop.h"
#include "platform/dialogs.h"
#include "platform/file_store.h"
#include "platform/local_clock.h"
#include "platform/process.h"
#include "platform/settings_store.h"
#include "platform/start_at_logon.h"
#include "platform/text_case.h"
#include "shell/controller.h"
#include "shell/main_view.h"

namespace quellgate::fakes {

class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(std::string location = "the settings store")
        : location_(std::move(location)) {}

    std::optional<std::string> Read(std::string_view name) const override {
        const auto it = values.find(std::string(name));
        if (unreadable || it == values.end() || otherType.count(it->first)) return std::nullopt;
        return it->second;
    }
    bool Holds(std::string_view name) const override {
        return !unreadable && values.count(std::string(name));
    }
    Outcome Write(std::string_view name, std::string_view text) override {
        if (unreadable) return Outcome::Failure("not an ordinary file");  // what cannot be read stays
        if (refused.count(std::string(name))) return Outcome::Refused("Access is denied.");
        values[std::string(name)] = text;
        otherType.erase(std::string(name));
        return Outcome::Success();
    }
    Outcome Readable() const override {
        return unreadable ? Outcome::Failure("not an ordinary file") : Outcome::Success();
    }
    std::string Location() const override { return location_; }

    std::map<std::string, std::string> values;
    std::set<std::string> refused;    // names whose writes the system denies
    std::set<std::string> otherType;  // names of values stored as another type than a string
    bool unreadable = false;          // there, but nothing can be read

private:
    std::string location_;
};

class FakeDesktop : public Desktop {
public:
    void EnumerateWindows(const std::function<void(const TopLevelWindow&)>& visit) override {
        for (const auto& window : windows) visit(window);
    }
    Outcome SendAltHome() override {
        if (refuseNext > 0) {
            --refuseNext;
            return Outcome::Refused("input blocked");
        }
        ++altHomes;
        return Outcome::Success();
    }
    bool IsKeyPressed(Key key) override {
        if (broken.count(key)) throw std::runtime_error("the system call failed");
        return taps.erase(key) > 0 || held.count(key) > 0;
    }
    void AddWindow(std::string caption, bool visible = true) {
        windows.push_back({std::uintptr_t{windows.size() + 1}, std::move(caption), visible});
    }

    std::vector<TopLevelWindow> windows;
    std::set<Key> taps;  // pressed since the last query: used up by it
    std::set<Key> held;  // down now: seen by every query
    int altHomes = 0;
    int refuseNext = 0;    // keystrokes the system refuses before it accepts again
    std::set<Key> broken;  // keys whose query fails
};

// Lower-cases ASCII only: each platform's own lower-casing is tried in its
// seam tests.
class AsciiTextCase : public TextCase {
public:
    std::string LowerCase(std::string_view text) const override {
        std::string lower(text);
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower;
    }
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
        bool operator==(const Prompt&) const = default;
    };

    Answer ShowMessage(std::string_view text, std::string_view caption, MessageIcon icon,
                       MessageButtons buttons) override {
        messages.push_back({std::string(text), std::string(caption), icon, buttons});
        if (whileMessageOpen) whileMessageOpen();
        if (buttons == MessageButtons::Ok) return Answer::Ok;
        const Answer answer = answers.empty() ? Answer::Yes : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    std::optional<std::string> AskText(std::string_view prompt, std::string_view caption,
                                       bool masked) override {
        prompts.push_back({std::string(prompt), std::string(caption), masked});
        if (whilePromptOpen) whilePromptOpen();
        if (typed.empty()) return std::nullopt;
        auto answer = std::move(typed.front());
        typed.pop_front();
        return answer;
    }

    std::deque<std::optional<std::string>> typed;  // answers to AskText; cancel when empty
    std::deque<Answer> answers;                    // answers to Yes/No; Yes when empty
    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    // Run inside the boxes, as the timer's ticks do in a modal loop.
    std::function<void()> whilePromptOpen;
    std::function<void()> whileMessageOpen;
};

class FakeStartAtLogon : public StartAtLogon {
public:
    Outcome Write(std::string_view name, std::string_view executablePath) override {
        if (openError) return Outcome::Failure("no such folder", Outcome::Step::Opening, openError);
        if (writeError) return Outcome::Failure("not allowed", Outcome::Step::Writing, writeError);
        entries[std::string(name)] = executablePath;
        return Outcome::Success();
    }
    Outcome Remove(std::string_view name) override {
        if (openError) return Outcome::Failure("no such folder", Outcome::Step::Opening, openError);
        entries.erase(std::string(name));
        return Outcome::Success();
    }
    bool Exists(std::string_view name) const override { return entries.count(std::string(name)) > 0; }
    Place PlaceOf(std::string_view name) const override {
        return {registryValue, "entries/" + std::string(name)};
    }

    std::map<std::string, std::string> entries;
    long openError = 0, writeError = 0;
    bool registryValue = true;  // as on Windows, else as on Linux
};

class FakeProcess : public Process {
public:
    std::string ExecutablePath() const override { return "C:\\Tools\\" + name + ".exe"; }
    std::string ExecutableName() const override { return name; }
    bool ClaimSingleInstance() override { return !otherInstance; }

    std::string name = "Quellgate";
    bool otherInstance = false;
};

class MemoryFileStore : public FileStore {
public:
    explicit MemoryFileStore(std::string folder = "C:\\Tools\\") : folder_(std::move(folder)) {}

    std::string PathOf(std::string_view name) const override { return folder_ + std::string(name); }
    ReadResult Read(std::string_view name) const override {
        if (unreadable) return Unreadable{"The process cannot access the file."};
        const auto it = files.find(name);
        if (it == files.end()) return Missing{};
        return it->second;
    }
    Outcome Replace(std::string_view name, std::string_view content) override {
        ++replaced;
        if (refuseWrites) return Outcome::Refused("Access is denied.");
        if (failWrites) return Outcome::Failure("Access is denied.");
        files[std::string(name)] = content;
        return Outcome::Success();
    }

    std::map<std::string, std::string, std::less<>> files;
    bool unreadable = false;    // no file can be read
    bool refuseWrites = false;  // the system denies this account every write
    bool failWrites = false;    // every write fails, for another reason
    int replaced = 0;

private:
    std::string folder_;
};

struct FakeClock : LocalClock {
    LocalTime Now() const override { return now; }
    LocalTime now{0, 12 * 60};  // Monday noon
};

class RecordedNotes : public Diagnostics {
public:
    void Note(std::string_view what) override { notes.emplace_back(what); }
    std::vector<std::string> notes;
};

class RecordingView : public MainView {
public:
    void ShowMain() override { mainShown = true; }
    void HideMain() override { mainShown = false; }
    void ShowSwitch(std::size_t network, bool isBlocked) override { blocked.at(network) = isBlocked; }
    void ShowKeywords(const std::vector<std::string>& rows) override {
        keywords = rows;
        rowsShown += rows.size();
    }
    std::optional<std::size_t> SelectedKeyword() const override { return selected; }
    void ShowStartAtLogon(bool on) override { startAtLogon = on; }
    void ShowHoursInForce(std::string_view line) override { hoursLines.emplace_back(line); }
    void StartWatch() override { watching = true; }
    void ShowSplash() override { splashShown = true; }
    void ShowInfo() override { infoShown = true; }
    void ShowChangePassword() override { changePasswordShown = true; }
    void ShowBlockingHours(const HoursEntry&) override {}
    void Terminate() override { terminated = true; }

    bool mainShown = false, watching = false, splashShown = false, terminated = false;
    bool infoShown = false, changePasswordShown = false;
    std::optional<bool> startAtLogon;
    std::vector<std::string> keywords;
    std::size_t rowsShown = 0;
    std::optional<std::size_t> selected;
    std::vector<std::string> hoursLines;  // every line shown, in order
    std::array<bool, kNetworkCount> blocked{};
};

// Every seam faked, as one system the controller can be given; a controller
// on it is also what a window test gives its windows to ask.
struct FakeSystem {
    Platform platform() {
        return {settings, desktop, textCase, dialogs, startAtLogon, process, files, diagnostics, clock};
    }

    MemorySettingsStore settings;
    FakeDesktop desktop;
    AsciiTextCase textCase;
    ScriptedDialogs dialogs;
    FakeStartAtLogon startAtLogon;
    FakeProcess process;
    MemoryFileStore files;
    RecordedNotes diagnostics;
    FakeClock clock;
};

}  // namespace quellgate::fakes
