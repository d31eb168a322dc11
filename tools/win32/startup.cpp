// How long Quellgate.exe takes from its start to its splash with a long
// blocklist, the time in which nothing is blocked yet.
//
//   quellgate_startup LINES [RUNS]     LINES enciphered keywords, one a line
//   quellgate_startup --junk BYTES     random bytes as the file
//
// Prints each run and the median, in milliseconds.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "blocklist/blocklist_file.h"
#include "harness.h"

int main(int argc, char** argv) {
    using namespace quellgate::testing;
    if (argc < 2) {
        std::fprintf(stderr, "usage: quellgate_startup LINES [RUNS] | --junk BYTES\n");
        return 2;
    }
    std::string content;
    const bool junk = std::string(argv[1]) == "--junk";
    if (junk) {
        std::mt19937 rng(1);
        content.resize(static_cast<std::size_t>(std::atol(argv[2])));
        for (auto& c : content) c = static_cast<char>(rng());
    } else {
        std::vector<std::string> keywords;
        for (long i = 0; i < std::atol(argv[1]); ++i)
            keywords.push_back("blocked keyword " + std::to_string(i));
        content = quellgate::EncodeBlocklist(keywords);
    }
    const int runs = !junk && argc > 2 ? std::atoi(argv[2]) : 5;
    std::vector<long long> times;
    for (int run = 0; run < runs; ++run) {
        ClearStoredState();
        Program program;
        std::ofstream(program.BlocklistPath(), std::ios::binary) << content;
        const auto started = Clock::now();
        if (!program.Start()) return 1;
        times.push_back(
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count());
        std::printf("run %d: splash after %lld ms\n", run + 1, times.back());
    }
    std::sort(times.begin(), times.end());
    std::printf("median: %lld ms (%zu bytes of blocklist)\n", times[times.size() / 2], content.size());
    ClearStoredState();
    return 0;
}
