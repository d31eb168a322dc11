// The scan's matching against the obvious way of doing it: for every keyword
// and every window, lower-case both texts afresh and search.
#include <benchmark/benchmark.h>

#include <locale>
#include <random>

#include "blocklist/active_keywords.h"
#include "fakes/fakes.h"
#include "scan/window_scan.h"
#include "text/utf8.h"

namespace quellgate {
namespace {

// Lower-cases like a Windows user locale would, every script; the ASCII
// fake of the tests stands for the platforms' own, which are about as fast.
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

template <typename Case>
struct Scene {
    fakes::FakeDesktop desktop;
    Case textCase;
    ActiveKeywords list{textCase};

    Scene(int windows, int keywords) {
        std::mt19937 rng(42);
        const auto word = [&](int length) {
            std::string w;
            for (int i = 0; i < length; ++i) w += static_cast<char>('a' + rng() % 26);
            return w;
        };
        while (list.Entries().size() < static_cast<std::size_t>(keywords)) list.Add(word(5 + rng() % 8));
        for (int w = 0; w < windows; ++w) {
            std::string caption = "Page " + word(8) + " - " + word(12) + " " + word(6) + " - Web Browser";
            if (w % 10 == 0) caption.insert(5, list.Entries()[rng() % list.Entries().size()] + " ");
            desktop.AddWindow(caption);
        }
    }
};

template <typename Case>
void BM_Scan(benchmark::State& state) {
    Scene<Case> scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    WindowScanner scanner(scene.desktop, scene.textCase, scene.list);
    scanner.Scan();  // builds the matcher once, as the first tick after a change does
    for (auto _ : state) scanner.Scan();
    state.counters["alt+home/scan"] =
        static_cast<double>(scene.desktop.altHomes) / static_cast<double>(state.iterations() + 1);
}

template <typename Case>
void BM_NaiveScan(benchmark::State& state) {
    Scene<Case> scene(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::vector<std::string> rows;
        scene.desktop.EnumerateWindows([&](const TopLevelWindow& w) { rows.push_back(w.caption); });
        for (const auto& keyword : scene.list.Entries()) {
            for (std::size_t row = rows.size(); row-- > 0;) {
                if (scene.textCase.LowerCase(rows[row]).find(scene.textCase.LowerCase(keyword)) !=
                    std::string::npos) {
                    scene.desktop.SendAltHome();
                    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
                }
            }
        }
    }
}

void BM_BuildMatcher(benchmark::State& state) {
    Scene<fakes::AsciiTextCase> scene(1, static_cast<int>(state.range(1)));
    const auto& entries = scene.list.Entries();
    for (auto _ : state) benchmark::DoNotOptimize(KeywordMatcher({entries.begin(), entries.end()}));
}

#define SIZES Args({50, 20})->Args({200, 1000})->Args({500, 10000})->Unit(benchmark::kMicrosecond)
BENCHMARK(BM_Scan<fakes::AsciiTextCase>)->Name("Scan")->SIZES;
BENCHMARK(BM_NaiveScan<fakes::AsciiTextCase>)->Name("NaiveScan")->SIZES;
BENCHMARK(BM_Scan<UnicodeTextCase>)->Name("Scan/unicode-lowercase")->SIZES;
BENCHMARK(BM_NaiveScan<UnicodeTextCase>)
    ->Name("NaiveScan/unicode-lowercase")
    ->Args({50, 20})
    ->Args({200, 1000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildMatcher)->SIZES;

}  // namespace
}  // namespace quellgate
