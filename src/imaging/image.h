// The in-memory image of the imaging layer.
//
// Pixels are either 1-bit black and white (packed, leftmost pixel in the most significant
// bit, 1 = white) or 24-bit colour stored blue, green, red. An optional 8-bit alpha plane
// holds 0 for transparent and 255 for opaque. Rows are top-down. Sizes are limited to
// kMaxPixels so that no allocation is driven by an unchecked dimension; creating a larger
// image raises tess::Error. This library (tess_imaging) also holds the bitmap, PNG and JPEG
// codecs, the colour quantizer and resampling; each decoder treats its bytes as untrusted
// and reports malformed input by returning false.
#pragma once

#include <cstdint>
#include <vector>

namespace tess {

struct Rgb {
    std::uint8_t b = 0, g = 0, r = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class PixelFormat { BlackWhite1, Bgr24 };

class Image {
public:
    static constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

    // True when width x height is a size reset() accepts (both >= 0, product <= kMaxPixels).
    static bool sizeAllowed(int width, int height);
    // The rule that maps a colour to black or white (luma >= 128 is white).
    static bool isLight(Rgb colour);

    Image() = default;
    Image(int width, int height, PixelFormat format);

    int width() const { return m_width; }
    int height() const { return m_height; }
    PixelFormat format() const { return m_format; }
    bool isEmpty() const { return m_width == 0 || m_height == 0; }

    // Replaces the content with a cleared image of the given size and format (alpha removed).
    void reset(int width, int height, PixelFormat format);

    // Bytes per row: (width + 7) / 8 for 1-bit, 3 * width for 24-bit.
    int rowBytes() const;
    std::uint8_t* row(int y);
    const std::uint8_t* row(int y) const;

    bool hasAlpha() const { return !m_alpha.empty(); }
    void removeAlpha() { m_alpha.clear(); m_alpha.shrink_to_fit(); }
    // Adds an alpha plane filled with `value` when there is none.
    void ensureAlpha(std::uint8_t value = 255);
    std::uint8_t* alphaRow(int y);
    const std::uint8_t* alphaRow(int y) const;
    std::uint8_t alpha(int x, int y) const;  // 255 without an alpha plane
    // True when an alpha plane exists and some pixel's alpha is below 255.
    bool hasTransparency() const;

    // Pixel access independent of the format (1-bit: white or black).
    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb colour);  // 1-bit: white when isLight(colour)
    bool bit(int x, int y) const;            // 1-bit only
    void setBit(int x, int y, bool white);   // 1-bit only

    // Converts a 1-bit image to 24-bit colour (no-op for 24-bit).
    void convertToBgr24();
    // Converts a 24-bit image to 1-bit by isLight() (no-op for 1-bit); keeps the alpha plane.
    void convertToBlackWhite();

private:
    int m_width = 0;
    int m_height = 0;
    PixelFormat m_format = PixelFormat::Bgr24;
    std::vector<std::uint8_t> m_pixels;
    std::vector<std::uint8_t> m_alpha;
};

}  // namespace tess
