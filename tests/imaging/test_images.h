// Helpers for the imaging and icon tests: synthetic images, a little-endian byte builder,
// and calls to ImageMagick as an independent decoder.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "imaging/image.h"

namespace tess::test {

// Appends little-endian fields; the fixtures describe each field beside its call.
struct ByteBuilder {
    std::vector<std::uint8_t> bytes;
    ByteBuilder& u8(std::uint32_t v) {
        bytes.push_back(static_cast<std::uint8_t>(v));
        return *this;
    }
    ByteBuilder& u16(std::uint32_t v) { return u8(v).u8(v >> 8); }
    ByteBuilder& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    ByteBuilder& fill(std::size_t n, std::uint8_t v = 0) {
        bytes.insert(bytes.end(), n, v);
        return *this;
    }
    ByteBuilder& append(const std::vector<std::uint8_t>& v) {
        bytes.insert(bytes.end(), v.begin(), v.end());
        return *this;
    }
};

// A 24-bit image whose colour varies smoothly with x and y (many distinct colours).
inline Image gradientImage(int w, int h) {
    Image img(w, h, PixelFormat::Bgr24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x * 255 / std::max(w - 1, 1)),
                                   static_cast<std::uint8_t>(y * 255 / std::max(h - 1, 1)),
                                   static_cast<std::uint8_t>((x + y) * 127 / std::max(w + h - 2, 1))});
    return img;
}

// A photo-like 24-bit image: smooth fields with texture, thousands of colours.
inline Image photoImage(int w, int h) {
    Image img(w, h, PixelFormat::Bgr24);
    std::uint32_t seed = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int noise = static_cast<int>((seed >> 16) % 24) - 12;
            auto ch = [&](int v) { return static_cast<std::uint8_t>(std::clamp(v + noise, 0, 255)); };
            img.setPixel(x, y, Rgb{ch(128 + (x * y) % 97), ch((x * 3 + y) % 256), ch(255 - (y * 2) % 256)});
        }
    return img;
}

inline bool toolPresent(const char* path) { return path[0] != '\0' && std::filesystem::exists(path); }

// Runs a shell command; returns its exit status.
inline int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// The standard output of a command, or "" when it fails.
inline std::string capture(const std::string& command) {
    std::string out;
    FILE* p = popen((command + " 2>/dev/null").c_str(), "r");
    if (!p) return out;
    char buf[256];
    while (std::fgets(buf, sizeof buf, p)) out += buf;
    if (pclose(p) != 0) return "";
    return out;
}

inline std::string quoted(const std::string& s) { return "'" + s + "'"; }

// Decodes `file` (frame `frame`) with ImageMagick into 8-bit RGBA bytes.
inline std::vector<std::uint8_t> imageMagickRgba(const char* convert, const std::string& file,
                                                 const std::string& rawOut, int frame = 0) {
    const std::string cmd = std::string(convert) + " " + quoted(file + "[" + std::to_string(frame) + "]") +
                            " -depth 8 " + quoted("rgba:" + rawOut);
    if (run(cmd) != 0) return {};
    std::ifstream in(rawOut, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The image's pixels as 8-bit RGBA, for comparing with imageMagickRgba.
inline std::vector<std::uint8_t> rgbaOf(const Image& img) {
    std::vector<std::uint8_t> out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.pixel(x, y);
            out.insert(out.end(), {c.r, c.g, c.b, img.alpha(x, y)});
        }
    return out;
}

}  // namespace tess::test
