// Fuzzes loading from memory for every format code. The first byte chooses the code
// (bitmap, icon, cursor, PNG, JPEG), bit 3 the resource-data flag and bit 4 the 32-bit
// bitmap alpha option.
#include <cstddef>
#include <cstdint>

#include "imaging/image_io.h"

// Keeps the pixel reads from being optimised away.
volatile unsigned g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    constexpr int kCodes[] = {tess::FormatCode::Bitmap, tess::FormatCode::Icon, tess::FormatCode::Cursor,
                              tess::FormatCode::Png, tess::FormatCode::Jpeg};
    const int code = kCodes[(data[0] & 7) % 5];
    tess::Image image;
    tess::TIOParamsVals params;
    params.isResource = (data[0] & 8) != 0;
    params.bmpAlphaFromFourthByte = (data[0] & 16) != 0;
    if (tess::loadFromMemory(data + 1, size - 1, code, image, params)) {
        unsigned sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) sum += image.pixel(x, y).g + image.alpha(x, y);
        g_sink = sum;
    }
    return 0;
}
