// Conversions between dots per inch and the pixels-per-metre fields of bitmap headers.
#pragma once

#include <cmath>
#include <cstdint>

namespace tess {

// The resolution a decoder reports when the file gives none (also the parameters' default),
// so that an image read without resolution is written back with 11811 pixels per metre.
inline constexpr int kDefaultDpi = 300;

// round(dpi / 2.54 * 100), halves to even: 300 gives 11811, 96 gives 3780, 72 gives 2835.
inline std::int32_t pixelsPerMetreFromDpi(int dpi) {
    if (dpi <= 0) return 0;
    return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(dpi) / 2.54 * 100.0));
}

// round(ppm / 100 * 2.54), or `fallback` when the field is 0 or negative.
inline int dpiFromPixelsPerMetre(std::int32_t ppm, int fallback) {
    if (ppm <= 0) return fallback;
    return static_cast<int>(std::nearbyint(static_cast<double>(ppm) / 100.0 * 2.54));
}

}  // namespace tess
