// What the watch costs while it runs: Quellgate.exe with 20 custom keywords
// and 30 ordinary windows open, none of them blocked, so the numbers are the
// cost of looking rather than of sending keys. With --match one window holds
// a keyword and stays in the foreground, which adds the keystrokes.
//
//   quellgate_load [SECONDS] [--match] [--handshake]
//
// SECONDS is the measured wall time (else LOAD_SECONDS, else 60). With
// --handshake the tool prints LOAD-START and LOAD-END around the measured
// time and, after LOAD-END, waits for a line on standard input before it
// ends the program, so that a sampler outside Wine can read the process too.
// Exits 1 when the measurement is not valid: the program did not start, did
// not take the keywords, or sent keys it should not have sent.

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "harness.h"
#include "shown_keywords.h"
#include "win32/error_text.h"
#include "win32/handles.h"
#include "win32/wide.h"
#include "win32/windows_api.h"

// After windows.h, which it needs.
#include <psapi.h>

namespace {

using namespace quellgate::testing;
using quellgate::win32::UniqueFile;
using quellgate::win32::UniqueHandle;

const std::vector<std::string> kKeywords = {"casino",  "poker",    "roulette", "jackpot",   "lottery",
                                            "betting", "slots",    "torrent",  "warez",     "keygen",
                                            "crackz",  "dating",   "hookup",   "gossip",    "tabloid",
                                            "webcam",  "chatroom", "memes",    "clickbait", "horoscope"};

// What a working desktop shows: documents, mail, pages, tools.
const std::vector<std::string> kCaptions = {"Quarterly report 2026.docx - Word Processor",
                                            "Budget forecast.xlsx - Spreadsheet",
                                            "Inbox (14) - Mail",
                                            "Calendar - Week 49",
                                            "Team standup notes - Text Editor",
                                            "Project plan - Presentation",
                                            "Downloads",
                                            "C:\\Users\\alex\\Documents\\Invoices",
                                            "Command Prompt",
                                            "Task Manager",
                                            "Settings",
                                            "Photos - IMG_2041.jpg",
                                            "Music Player - Morning playlist",
                                            "Weather forecast for Hamburg - Web Browser",
                                            "Train timetable Berlin to Munich - Web Browser",
                                            "Recipe: lentil soup with lemon - Web Browser",
                                            "Online banking - Account overview - Web Browser",
                                            "Encyclopedia: History of printing - Web Browser",
                                            "City library catalogue - Web Browser",
                                            "Homework: fractions worksheet.pdf - PDF Viewer",
                                            "Chemistry lab report.pdf - PDF Viewer",
                                            "Family tree - Drawing",
                                            "main.cpp - Code Editor",
                                            "Terminal - build",
                                            "Calculator",
                                            "Paint - untitled.png",
                                            "Video call - Weekly sync",
                                            "Contacts",
                                            "Notes - Shopping list",
                                            "Print queue - Office printer"};

// Stands in for the window that must be pushed off in the --match variant.
const std::string kMatchingCaption = "Online Casino - Welcome bonus - Web Browser";

std::string Lower(std::string text) {
    for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A caption that holds a keyword by accident would turn the quiet run into a
// busy one and the numbers into nonsense.
std::optional<std::string> AccidentalMatch() {
    for (const auto& caption : kCaptions)
        for (const auto& keyword : kKeywords)
            if (Lower(caption).find(keyword) != std::string::npos) return caption + " holds " + keyword;
    return std::nullopt;
}

bool WriteFileBytes(const std::wstring& path, const std::string& content) {
    UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

std::uint64_t Ticks(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// One reading of the program's counters; each part is empty when the system
// does not report it for another process.
struct Sample {
    std::optional<double> userSeconds, kernelSeconds;
    std::optional<std::uint64_t> workingSet, peakWorkingSet;
    std::optional<DWORD> handles;
    DWORD timesError = 0;
};

Sample Read(HANDLE process) {
    Sample sample;
    FILETIME created{}, exited{}, kernel{}, user{};
    if (GetProcessTimes(process, &created, &exited, &kernel, &user)) {
        sample.userSeconds = static_cast<double>(Ticks(user)) / 1e7;  // 100 ns units
        sample.kernelSeconds = static_cast<double>(Ticks(kernel)) / 1e7;
    } else {
        sample.timesError = GetLastError();
    }
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process, &memory, sizeof(memory))) {
        sample.workingSet = memory.WorkingSetSize;
        sample.peakWorkingSet = memory.PeakWorkingSetSize;
    }
    DWORD handles = 0;
    // A running process always holds handles: zero means not reported.
    if (GetProcessHandleCount(process, &handles) && handles != 0) sample.handles = handles;
    return sample;
}

struct Options {
    double seconds = 60;
    bool match = false;
    bool handshake = false;
};

std::optional<Options> Parse(int argc, char** argv) {
    Options options;
    if (const char* env = std::getenv("LOAD_SECONDS"); env && *env) options.seconds = std::atof(env);
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--match") {
            options.match = true;
        } else if (arg == "--handshake") {
            options.handshake = true;
        } else {
            char* end = nullptr;
            options.seconds = std::strtod(arg.c_str(), &end);
            if (end == arg.c_str() || *end != '\0') return std::nullopt;
        }
    }
    if (!(options.seconds > 0)) return std::nullopt;
    return options;
}

std::string KiB(std::optional<std::uint64_t> bytes) {
    return bytes ? std::to_string(*bytes / 1024) + " KiB" : "not reported";
}

}  // namespace

int main(int argc, char** argv) {
    const auto options = Parse(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: quellgate_load [SECONDS] [--match] [--handshake]\n");
        return 2;
    }
    if (const auto accident = AccidentalMatch()) {
        std::fprintf(stderr, "quellgate-load: caption %s\n", accident->c_str());
        return 2;
    }

    ClearStoredState();
    Program program;
    if (!WriteFileBytes(program.BlocklistPath().wstring(), quellgate::EncodeBlocklist(kKeywords))) {
        std::fprintf(stderr, "quellgate-load: cannot write the blocklist\n");
        return 1;
    }
    if (!program.Start()) {
        std::fprintf(stderr, "quellgate-load: Quellgate.exe did not start (QUELLGATE_EXE?)\n");
        return 1;
    }
    // The splash animates for its first seconds; the steady watch comes after.
    if (!WaitUntil([&] { return program.Window(L"QuellgateSplash") == nullptr; }, 15s)) {
        std::fprintf(stderr, "quellgate-load: the splash did not go\n");
        return 1;
    }

    std::vector<std::unique_ptr<ProbeWindow>> probes;
    for (const auto& caption : kCaptions) probes.push_back(std::make_unique<ProbeWindow>(caption));
    if (options->match) {
        probes.push_back(std::make_unique<ProbeWindow>(kMatchingCaption));
        // Alt+Home goes to the foreground window: let it be one that counts.
        if (!probes.back()->Focus())
            std::fprintf(stderr, "quellgate-load: could not focus the matching window\n");
    }
    std::vector<int> earlier;  // what came before the measurement
    for (const auto& probe : probes) earlier.push_back(probe->AltHomes());

    UniqueHandle process(
        OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ, FALSE, program.Id()));
    if (!process) {
        std::fprintf(stderr, "quellgate-load: OpenProcess failed: %s\n",
                     quellgate::win32::ErrorText(GetLastError()).c_str());
        return 1;
    }

    std::printf("quellgate-load: %zu keywords, %zu windows (%s), %.0f s\n", kKeywords.size(), probes.size(),
                options->match ? "one holds a keyword" : "none holds a keyword", options->seconds);
    const std::string folder = quellgate::win32::Narrow(program.Folder().wstring());
    std::printf("LOAD-START pid=%lu folder=%s\n", static_cast<unsigned long>(program.Id()),
                folder.substr(folder.find_last_of('\\') + 1).c_str());
    std::fflush(stdout);

    const Sample before = Read(process.get());
    const auto start = Clock::now();
    WaitUntil([] { return false; },
              std::chrono::milliseconds(static_cast<long long>(options->seconds * 1000)));
    const Sample after = Read(process.get());
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const bool running = program.Running();

    std::printf("LOAD-END\n");
    int altHomes = 0;
    for (std::size_t i = 0; i < probes.size(); ++i) altHomes += probes[i]->AltHomes() - earlier[i];

    std::printf("wall seconds:          %.2f\n", wall);
    if (before.userSeconds && after.userSeconds) {
        const double user = *after.userSeconds - *before.userSeconds;
        const double kernel = *after.kernelSeconds - *before.kernelSeconds;
        std::printf("cpu seconds:           %.3f (user %.3f, kernel %.3f)\n", user + kernel, user, kernel);
        std::printf("cpu of one core:       %.2f %%\n", 100.0 * (user + kernel) / wall);
        std::printf("cpu since start:       %.3f s\n", *after.userSeconds + *after.kernelSeconds);
        if (user + kernel == 0 && *after.userSeconds + *after.kernelSeconds == 0)
            std::printf(
                "note: the system reports zero CPU time for the program; "
                "use tools/measure-load.sh to read it from outside Wine\n");
    } else {
        std::printf("cpu seconds:           not reported (%s)\n",
                    quellgate::win32::ErrorText(after.timesError).c_str());
    }
    std::printf("peak working set:      %s\n", KiB(after.peakWorkingSet).c_str());
    std::printf("working set:           %s at start, %s at end\n", KiB(before.workingSet).c_str(),
                KiB(after.workingSet).c_str());
    if (before.handles && after.handles)
        std::printf("handles:               %lu at start, %lu at end\n",
                    static_cast<unsigned long>(*before.handles), static_cast<unsigned long>(*after.handles));
    std::printf("alt+home received:     %d (%.2f a second)\n", altHomes, altHomes / wall);
    std::fflush(stdout);

    if (options->handshake) {
        std::string line;
        std::getline(std::cin, line);
    }

    bool valid = running;
    if (!running) std::printf("INVALID: the program ended during the measurement\n");
    if (!options->match && altHomes != 0) {
        std::printf("INVALID: keys were sent though no caption holds a keyword\n");
        valid = false;
    }
    if (options->match && altHomes == 0) {
        std::printf("INVALID: no key reached the window whose caption holds a keyword\n");
        valid = false;
    }
    // The measurement counts only if the program watched for all 20 keywords.
    probes.clear();
    if (running && program.Unlock()) {
        std::vector<std::string> listed = ShownKeywords(program.MainWindow());
        std::vector<std::string> expected = kKeywords;
        std::sort(listed.begin(), listed.end());
        std::sort(expected.begin(), expected.end());
        std::printf("keywords listed:       %zu of %zu\n", listed.size(), expected.size());
        if (listed != expected) {
            std::printf("INVALID: the program's list differs from the blocklist written\n");
            valid = false;
        }
    } else if (running) {
        std::printf("INVALID: could not open the main window to check the keywords\n");
        valid = false;
    }
    program.Stop();
    return valid ? 0 : 1;
}
