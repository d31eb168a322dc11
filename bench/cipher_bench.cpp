#include <benchmark/benchmark.h>

#include "protect/rotor_cipher.h"
#include "rotor_walk.h"

namespace quellgate {
namespace {

std::string Text(std::int64_t length) {
    std::string text;
    for (std::int64_t i = 0; i < length; ++i) text += static_cast<char>('#' + i % 90);
    return text;
}

template <std::string (*Cipher)(std::string_view)>
void BM_Cipher(benchmark::State& state) {
    const std::string text = Text(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(Cipher(text));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}

std::string WalkEncipher(std::string_view text) { return reference::RotorWalkEncipher(text); }
std::string WalkDecipher(std::string_view text) { return reference::RotorWalkDecipher(text); }

BENCHMARK(BM_Cipher<Encipher>)->Name("Encipher/closed-form")->Arg(12)->Arg(1 << 20);
BENCHMARK(BM_Cipher<Decipher>)->Name("Decipher/closed-form")->Arg(12)->Arg(1 << 20);
BENCHMARK(BM_Cipher<WalkEncipher>)->Name("Encipher/rotor-walk")->Arg(12)->Arg(1 << 20)->Iterations(1);
BENCHMARK(BM_Cipher<WalkDecipher>)->Name("Decipher/rotor-walk")->Arg(12)->Arg(1 << 16)->Iterations(1);

}  // namespace
}  // namespace quellgate
