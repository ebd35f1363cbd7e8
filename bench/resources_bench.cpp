// Cost of opening a module and of the counts one file-list selection asks for.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "resources/module_resources.h"
#include "resources/resource_statistics.h"
#include "support/module_builder.h"

namespace tess {
namespace {

const char* const kShell32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";

// Modules written once for the whole run.
struct Modules {
    test::TempDir dir;
    std::string large;     // 200 group icons of 10 frames: 2,000 icons
    std::string ordinary;  // 3 group icons of 6 frames, 4 bitmaps, 2 PNG images, a version
    Modules() {
        test::ModuleBuilder big;
        const std::vector<test::FrameSpec> ten(10, test::FrameSpec{16, 16, 4});
        for (int g = 1; g <= 200; ++g) big.addGroupIcon(g, ten);
        large = big.writeTo(dir, "large.dll").string();
        test::ModuleBuilder small;
        const std::vector<test::FrameSpec> six = {{16, 16, 8}, {24, 24, 8}, {32, 32, 8},
                                                  {16, 16, 32}, {32, 32, 32}, {48, 48, 32}};
        for (int g = 1; g <= 3; ++g) small.addGroupIcon(g, six);
        for (int b = 1; b <= 4; ++b) small.addBitmap(b, 16, 16, 24);
        small.addPng("A", 16, 16).addPng("B", 32, 32).add(test::kRtVersion, 1, test::ByteVec(400, 1));
        ordinary = small.writeTo(dir, "ordinary.dll").string();
    }
};

Modules& modules() {
    static Modules m;
    return m;
}

std::string pathFor(int which) {
    switch (which) {
    case 0: return modules().ordinary;
    case 1: return modules().large;
    default: return kShell32;
    }
}

const char* labelFor(int which) { return which == 0 ? "ordinary" : which == 1 ? "large_2000_icons" : "wine_shell32"; }

void BM_Open(benchmark::State& state) {
    const std::string path = pathFor(static_cast<int>(state.range(0)));
    state.SetLabel(labelFor(static_cast<int>(state.range(0))));
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("module not installed");
        return;
    }
    for (auto _ : state) {
        TIEModuleResources reader(path);
        benchmark::DoNotOptimize(reader.TypeCount());
    }
}

// What choosing one module in the file list costs: the thirteen counts and tests, then
// the reader kept for the tree.
void BM_SelectionCounts(benchmark::State& state) {
    const std::string path = pathFor(static_cast<int>(state.range(0)));
    state.SetLabel(labelFor(static_cast<int>(state.range(0))));
    if (!std::filesystem::exists(path)) {
        state.SkipWithError("module not installed");
        return;
    }
    for (auto _ : state) {
        std::int64_t sum = CountResources(path) + CountImages(path) + CountBitmaps(path) +
                           CountPngImages(path) + CountGroupIcons(path) + CountIcons(path) +
                           CountGroupCursorFrames(path) + CountCursors(path) + CountExtractable(path) +
                           HasIcons(path) + HasImages(path) + HasGroupIconType(path) +
                           HasGroupCursorType(path);
        TIEModuleResources reader(path);
        sum += reader.TypeCount();
        benchmark::DoNotOptimize(sum);
    }
}

BENCHMARK(BM_Open)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SelectionCounts)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace tess
