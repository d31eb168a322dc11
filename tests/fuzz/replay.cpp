// Runs a fuzz target once on each kept input of the folders it is given, as
// libFuzzer hands them over, so that a fault an input once showed is found at
// every test run.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t replayed = 0;
    for (int i = 1; i < argc; ++i)
        for (const auto& input : std::filesystem::directory_iterator(argv[i])) {
            std::ifstream in(input.path(), std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
            // Exactly as large as the input, so that a read past its end is caught.
            const auto data = std::make_unique<std::uint8_t[]>(bytes.size());
            std::copy(bytes.begin(), bytes.end(), data.get());
            LLVMFuzzerTestOneInput(data.get(), bytes.size());
            ++replayed;
        }
    std::cout << replayed << " inputs replayed\n";
    return replayed > 0 ? 0 : 1;
}
