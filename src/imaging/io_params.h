// Per-image parameters that travel with an image through loading and saving.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imaging/image.h"

namespace tess {

// Image format codes understood by load-from-memory and save-to-file.
namespace FormatCode {
constexpr int None = 0;
constexpr int Jpeg = 3;
constexpr int Bitmap = 5;
constexpr int Icon = 6;
constexpr int Cursor = 7;
constexpr int Png = 8;
constexpr int ByExtension = -1;
}  // namespace FormatCode

struct IconSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const IconSize&, const IconSize&) = default;
};

struct TIOParamsVals {
    static constexpr int kIconSlots = 16;

    int width = 0;
    int height = 0;
    int bitsPerSample = 8;
    int samplesPerPixel = 3;
    int dpiX = 300;
    int dpiY = 300;
    std::vector<Rgb> colorMap;
    int imageIndex = 0;       // frame of a multi-frame file to decode
    bool isResource = false;  // buffer is a bare resource: no file header, no icon directory
    int fileType = FormatCode::None;
    std::array<IconSize, kIconSlots> icoSizes{IconSize{64, 64}};
    std::array<int, kIconSlots> icoBitCounts{8};
    Rgb backgroundColor{255, 255, 255};
    // 32-bit bitmaps: take the fourth byte as alpha (only when some pixel has it non-zero).
    bool bmpAlphaFromFourthByte = false;
    int jpegQuality = 90;
    bool aborted = false;  // the last load did not decode an image

    int colorDepth() const { return bitsPerSample * samplesPerPixel; }
};

}  // namespace tess
