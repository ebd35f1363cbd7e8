// Separable resampling: linear when enlarging, box average when reducing.
#include "imaging/resample.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tess {

namespace {

struct Tap {
    int index;
    float weight;
};

// For each of `to` output positions, the input positions and weights (summing to 1).
std::vector<std::vector<Tap>> weights(int from, int to) {
    std::vector<std::vector<Tap>> out(static_cast<std::size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int i = 0; i < to; ++i) {
        auto& taps = out[i];
        if (to == from) {
            taps.push_back({i, 1.0f});
        } else if (to > from) {
            const double s = std::clamp((i + 0.5) * scale - 0.5, 0.0, static_cast<double>(from - 1));
            const int a = static_cast<int>(std::floor(s));
            const int b = std::min(a + 1, from - 1);
            const auto f = static_cast<float>(s - a);
            taps.push_back({a, 1.0f - f});
            if (b != a) taps.push_back({b, f});
        } else {
            const double lo = i * scale, hi = (i + 1) * scale;
            for (int k = static_cast<int>(std::floor(lo)); k < from && k < hi; ++k) {
                const double w = std::min(hi, k + 1.0) - std::max(lo, static_cast<double>(k));
                if (w > 0) taps.push_back({k, static_cast<float>(w / scale)});
            }
        }
    }
    return out;
}

std::uint8_t toByte(float v) { return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

}  // namespace

Image resample(const Image& src, int width, int height) {
    if (!Image::sizeAllowed(width, height) || width == 0 || height == 0)
        throw Error("Cannot resize an image to " + std::to_string(width) + " x " + std::to_string(height));
    if (src.isEmpty()) throw Error("Cannot resize an empty image");
    if (width == src.width() && height == src.height()) return src;

    Image out(width, height, src.format());
    const bool alpha = src.hasAlpha();
    if (alpha) out.ensureAlpha();
    if (src.format() == PixelFormat::BlackWhite1) {
        for (int y = 0; y < height; ++y) {
            const int sy = static_cast<int>(static_cast<std::int64_t>(y) * src.height() / height);
            for (int x = 0; x < width; ++x) {
                const int sx = static_cast<int>(static_cast<std::int64_t>(x) * src.width() / width);
                out.setBit(x, y, src.bit(sx, sy));
                if (alpha) out.alphaRow(y)[x] = src.alpha(sx, sy);
            }
        }
        return out;
    }

    const int channels = alpha ? 4 : 3;
    const auto wx = weights(src.width(), width);
    const auto wy = weights(src.height(), height);
    // Horizontal pass into a float buffer of width x src.height().
    std::vector<float> mid(static_cast<std::size_t>(width) * src.height() * channels);
    for (int y = 0; y < src.height(); ++y) {
        const std::uint8_t* p = src.row(y);
        const std::uint8_t* a = alpha ? src.alphaRow(y) : nullptr;
        for (int x = 0; x < width; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (const Tap& t : wx[x]) {
                for (int c = 0; c < 3; ++c) acc[c] += t.weight * p[3 * t.index + c];
                if (a) acc[3] += t.weight * a[t.index];
            }
            float* m = mid.data() + (static_cast<std::size_t>(y) * width + x) * channels;
            std::copy(acc, acc + channels, m);
        }
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* d = out.row(y);
        std::uint8_t* a = alpha ? out.alphaRow(y) : nullptr;
        for (int x = 0; x < width; ++x) {
            float acc[4] = {0, 0, 0, 0};
            for (const Tap& t : wy[y]) {
                const float* m = mid.data() + (static_cast<std::size_t>(t.index) * width + x) * channels;
                for (int c = 0; c < channels; ++c) acc[c] += t.weight * m[c];
            }
            for (int c = 0; c < 3; ++c) d[3 * x + c] = toByte(acc[c]);
            if (a) a[x] = toByte(acc[3]);
        }
    }
    return out;
}

}  // namespace tess
