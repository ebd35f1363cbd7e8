// Pieces of the device-independent bitmap layout that bitmap files and icon frames share:
// the 40-byte information header, the packing of one pixel row, and little-endian append
// helpers.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image.h"
#include "imaging/resolution.h"

namespace tess {

inline void putU16(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
}
inline void putU32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    putU16(v, x & 0xFFFF);
    putU16(v, x >> 16);
}

struct InfoHeaderFields {
    std::uint32_t width = 0;
    std::uint32_t height = 0;  // icon frames store twice the image height (colour + mask rows)
    std::uint32_t bitCount = 0;
    std::uint32_t imageSize = 0;
    int dpiX = 0;
    int dpiY = 0;
};

// Header size 40, width, height, planes 1, bit count, compression 0 (none), image size,
// resolution as pixels per metre, colours used 0, important colours 0.
inline void appendInfoHeader(std::vector<std::uint8_t>& out, const InfoHeaderFields& f) {
    putU32(out, 40);
    putU32(out, f.width);
    putU32(out, f.height);
    putU16(out, 1);
    putU16(out, f.bitCount);
    putU32(out, 0);
    putU32(out, f.imageSize);
    putU32(out, static_cast<std::uint32_t>(pixelsPerMetreFromDpi(f.dpiX)));
    putU32(out, static_cast<std::uint32_t>(pixelsPerMetreFromDpi(f.dpiY)));
    putU32(out, 0);
    putU32(out, 0);
}

// Packs one row of palette indices at 1, 4 or 8 bits per pixel, leftmost pixel in the
// high bits. `row` must be zeroed and hold the row's bytes.
inline void packIndexRow(const std::uint8_t* indices, int width, int bitCount,
                         std::uint8_t* row) {
    for (int x = 0; x < width; ++x) {
        if (bitCount == 8)
            row[x] = indices[x];
        else if (bitCount == 4)
            row[x >> 1] |= static_cast<std::uint8_t>((indices[x] & 0x0F) << ((x & 1) ? 0 : 4));
        else
            row[x >> 3] |= static_cast<std::uint8_t>((indices[x] & 1) << (7 - (x & 7)));
    }
}

// Packs row y as blue, green, red (24 bits) or blue, green, red, alpha (32 bits), from the
// 24-bit row `bgr` and the alpha of `alphaSource` (255 where it has no alpha plane).
inline void packColourRow(const std::uint8_t* bgr, const Image& alphaSource, int y, int width,
                          int bitCount, std::uint8_t* row) {
    const int n = bitCount / 8;
    for (int x = 0; x < width; ++x) {
        row[n * x] = bgr[3 * x];
        row[n * x + 1] = bgr[3 * x + 1];
        row[n * x + 2] = bgr[3 * x + 2];
        if (n == 4) row[4 * x + 3] = alphaSource.alpha(x, y);
    }
}

}  // namespace tess
