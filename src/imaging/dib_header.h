// Writing the 40-byte bitmap information header shared by bitmap files and icon frames,
// and the little-endian append helpers both writers use.
#pragma once

#include <cstdint>
#include <vector>

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

}  // namespace tess
