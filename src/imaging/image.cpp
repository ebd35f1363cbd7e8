// The in-memory image: storage, row access and pixel conversions.
#include "imaging/image.h"

#include <algorithm>
#include <string>

#include "platform/error.h"

namespace tess {

namespace {

// Bytes of one row for a width already known to be in range.
std::size_t rowBytesFor(int width, PixelFormat format) {
    const auto w = static_cast<std::size_t>(width);
    return format == PixelFormat::BlackWhite1 ? (w + 7) / 8 : w * 3;
}

}  // namespace

bool Image::sizeAllowed(int width, int height) {
    if (width < 0 || height < 0) return false;
    if (width == 0 || height == 0) return true;
    return static_cast<std::int64_t>(width) <= kMaxPixels / height;
}

Image::Image(int width, int height, PixelFormat format) { reset(width, height, format); }

void Image::reset(int width, int height, PixelFormat format) {
    if (!sizeAllowed(width, height)) {
        throw Error("Image size " + std::to_string(width) + " x " + std::to_string(height) +
                    " is out of range");
    }
    m_width = width;
    m_height = height;
    m_format = format;
    m_alpha.clear();
    m_alpha.shrink_to_fit();
    m_pixels.assign(rowBytesFor(width, format) * static_cast<std::size_t>(height), 0);
}

int Image::rowBytes() const { return static_cast<int>(rowBytesFor(m_width, m_format)); }

std::uint8_t* Image::row(int y) {
    return m_pixels.data() + static_cast<std::size_t>(y) * rowBytesFor(m_width, m_format);
}
const std::uint8_t* Image::row(int y) const {
    return m_pixels.data() + static_cast<std::size_t>(y) * rowBytesFor(m_width, m_format);
}

void Image::ensureAlpha(std::uint8_t value) {
    if (!m_alpha.empty() || isEmpty()) return;
    m_alpha.assign(static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height), value);
}

std::uint8_t* Image::alphaRow(int y) {
    return m_alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
}
const std::uint8_t* Image::alphaRow(int y) const {
    return m_alpha.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width);
}

std::uint8_t Image::alpha(int x, int y) const {
    if (m_alpha.empty()) return 255;
    return alphaRow(y)[x];
}

bool Image::hasTransparency() const {
    return std::any_of(m_alpha.begin(), m_alpha.end(), [](std::uint8_t a) { return a != 255; });
}

Rgb Image::pixel(int x, int y) const {
    if (m_format == PixelFormat::BlackWhite1) {
        const std::uint8_t v = bit(x, y) ? 255 : 0;
        return Rgb{v, v, v};
    }
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    return Rgb{p[0], p[1], p[2]};
}

void Image::setPixel(int x, int y, Rgb colour) {
    if (m_format == PixelFormat::BlackWhite1) {
        setBit(x, y, isLight(colour));
        return;
    }
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = colour.b;
    p[1] = colour.g;
    p[2] = colour.r;
}

bool Image::bit(int x, int y) const {
    return (row(y)[x >> 3] >> (7 - (x & 7))) & 1;
}

void Image::setBit(int x, int y, bool white) {
    std::uint8_t& b = row(y)[x >> 3];
    const auto m = static_cast<std::uint8_t>(0x80 >> (x & 7));
    b = white ? static_cast<std::uint8_t>(b | m) : static_cast<std::uint8_t>(b & ~m);
}

bool Image::isLight(Rgb c) {
    // Rec. 601 luma, integer weights summing to 1000.
    return 299 * c.r + 587 * c.g + 114 * c.b >= 128 * 1000;
}

void Image::convertToBgr24() {
    if (m_format == PixelFormat::Bgr24) return;
    std::vector<std::uint8_t> out(rowBytesFor(m_width, PixelFormat::Bgr24) *
                                  static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        std::uint8_t* d = out.data() + static_cast<std::size_t>(y) * rowBytesFor(m_width, PixelFormat::Bgr24);
        for (int x = 0; x < m_width; ++x) {
            const std::uint8_t v = bit(x, y) ? 255 : 0;
            d[3 * x] = d[3 * x + 1] = d[3 * x + 2] = v;
        }
    }
    m_pixels = std::move(out);
    m_format = PixelFormat::Bgr24;
}

void Image::convertToBlackWhite() {
    if (m_format == PixelFormat::BlackWhite1) return;
    Image bw(m_width, m_height, PixelFormat::BlackWhite1);
    for (int y = 0; y < m_height; ++y)
        for (int x = 0; x < m_width; ++x) bw.setBit(x, y, isLight(pixel(x, y)));
    m_pixels = std::move(bw.m_pixels);
    m_format = PixelFormat::BlackWhite1;
}

}  // namespace tess
