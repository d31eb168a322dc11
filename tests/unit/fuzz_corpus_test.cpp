// Every input the fuzzer kept, damaged files among them, checked again at
// every test run so that what once broke stays covered.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "../fuzz/blocklist_properties.h"

namespace quellgate {
namespace {

TEST(FuzzCorpus, EveryKeptInputHoldsTheBlocklistProperties) {
    int inputs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUELLGATE_FUZZ_CORPUS)) {
        std::ifstream file(entry.path(), std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), {}};
        const char* violated = fuzz::ViolatedBlocklistProperty(bytes);
        EXPECT_EQ(violated, nullptr) << entry.path() << ": " << violated;
        ++inputs;
    }
    EXPECT_GT(inputs, 10) << "the corpus is missing";
}

}  // namespace
}  // namespace quellgate
