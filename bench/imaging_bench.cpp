// Decode and encode of 256x256 32-bit icon and PNG frames, a 10-frame WriteIconFile, and
// NeuQuant at 256 colours with its mean squared error.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "iconfile/icon_codec.h"
#include "imaging/file_io.h"
#include "imaging/neuquant.h"
#include "imaging/png_codec.h"
#include "imaging/quantizer.h"
#include "imaging/test_images.h"

namespace {

using namespace tess;

Image alphaPhoto(int size) {
    Image img = test::photoImage(size, size);
    img.ensureAlpha();
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) img.alphaRow(y)[x] = static_cast<std::uint8_t>((x + y) % 256);
    return img;
}

TIOParamsVals params32() {
    TIOParamsVals p;
    p.samplesPerPixel = 4;
    p.bitsPerSample = 8;
    return p;
}

std::string tempFile(const char* name) { return (std::filesystem::temp_directory_path() / name).string(); }

// The raw frame (image data of frame 0) of a one-frame icon file.
std::vector<std::uint8_t> rawFrame32() {
    const Image img = alphaPhoto(256);
    const TIOParamsVals p = params32();
    const IconFrameSource src{&img, &p};
    const std::string file = tempFile("tess_bench_frame.ico");
    WriteIconFile(file, std::span(&src, 1));
    auto bytes = readFileBytes(file);
    std::filesystem::remove(file);
    return std::vector<std::uint8_t>(bytes.begin() + 22, bytes.end());
}

void BM_DecodeIconFrame32(benchmark::State& state) {
    const auto frame = rawFrame32();
    for (auto _ : state) {
        Image img;
        TIOParamsVals p;
        p.isResource = true;
        benchmark::DoNotOptimize(ReadIconFrame(frame, img, p));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * frame.size()));
}
BENCHMARK(BM_DecodeIconFrame32)->Unit(benchmark::kMicrosecond);

void BM_EncodeIconFrame32(benchmark::State& state) {
    const Image img = alphaPhoto(256);
    const TIOParamsVals p = params32();
    const IconFrameSource src{&img, &p};
    const std::string file = tempFile("tess_bench_enc.ico");
    for (auto _ : state) WriteIconFile(file, std::span(&src, 1));
    std::filesystem::remove(file);
}
BENCHMARK(BM_EncodeIconFrame32)->Unit(benchmark::kMicrosecond);

void BM_DecodePng256(benchmark::State& state) {
    const auto png = encodePng(alphaPhoto(256), params32());
    for (auto _ : state) {
        Image img;
        TIOParamsVals p;
        benchmark::DoNotOptimize(decodePng(png, img, p));
    }
    state.counters["bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_DecodePng256)->Unit(benchmark::kMicrosecond);

void BM_EncodePng256(benchmark::State& state) {
    const Image img = alphaPhoto(256);
    const TIOParamsVals p = params32();
    for (auto _ : state) benchmark::DoNotOptimize(encodePng(img, p));
}
BENCHMARK(BM_EncodePng256)->Unit(benchmark::kMicrosecond);

// Ten frames as a group icon holds them: 16 to 256 pixels, 8-, 24- and 32-bit.
void BM_WriteIconFileTenFrames(benchmark::State& state) {
    const int sizes[10] = {16, 24, 32, 48, 64, 16, 32, 48, 128, 256};
    const int spp[10] = {1, 1, 1, 1, 3, 4, 4, 4, 4, 4};
    std::vector<Image> images;
    std::vector<TIOParamsVals> params(10);
    for (int k = 0; k < 10; ++k) {
        images.push_back(alphaPhoto(sizes[k]));
        params[k].samplesPerPixel = spp[k];
        params[k].bitsPerSample = 8;
    }
    std::vector<IconFrameSource> src;
    for (int k = 0; k < 10; ++k) src.push_back({&images[k], &params[k]});
    const std::string file = tempFile("tess_bench_ten.ico");
    for (auto _ : state) WriteIconFile(file, src);
    std::filesystem::remove(file);
}
BENCHMARK(BM_WriteIconFileTenFrames)->Unit(benchmark::kMillisecond);

void BM_NeuQuant256(benchmark::State& state) {
    const Image img = test::photoImage(256, 256);
    double mse = 0;
    for (auto _ : state) {
        const TIEQuantizer q(img, 256);
        state.PauseTiming();
        double sum = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const Rgb a = img.pixel(x, y), b = q.palette()[q.index(a)];
                sum += (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
            }
        mse = sum / (3.0 * img.width() * img.height());
        state.ResumeTiming();
    }
    state.counters["mse"] = mse;
}
BENCHMARK(BM_NeuQuant256)->Unit(benchmark::kMillisecond);

}  // namespace
