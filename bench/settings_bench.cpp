// Settings parsing cost against file shape: many sections, many same-named sections.
// Both should grow linearly with the line count (see the reported complexity).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/ini_file.h"

namespace {

void BM_MemIniManySections(benchmark::State& state) {
    std::vector<std::string> lines;
    for (int i = 0; i < state.range(0); ++i) {
        lines.push_back("[section" + std::to_string(i) + "]");
        lines.push_back("Key=" + std::to_string(i));
    }
    for (auto _ : state) {
        const tess::MemIniFile ini(lines);
        benchmark::DoNotOptimize(ini.readString("SECTION7", "key"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_MemIniManySections)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

void BM_ProfileEraseRepeatedSection(benchmark::State& state) {
    std::string text;
    for (int i = 0; i < state.range(0); ++i) text += "[Gone]\nk=v\n[Keep]\nk=v\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(tess::profileWithoutSection({bytes, text.size()}, "gone"));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ProfileEraseRepeatedSection)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

void BM_ProfileReadLastKey(benchmark::State& state) {
    std::string text = "[Form Main]\n";
    for (int i = 0; i < state.range(0); ++i) text += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::string last = "Key" + std::to_string(state.range(0) - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(tess::profileReadString({bytes, text.size()}, "Form Main", last, ""));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ProfileReadLastKey)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();

}  // namespace
