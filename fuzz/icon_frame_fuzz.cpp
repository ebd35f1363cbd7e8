// Fuzzes ReadIconFrame in both modes. The first byte chooses the mode (bit 0 raw resource,
// bit 1 cursor, bit 2 black background) and the second the frame index of file mode.
#include <cstddef>
#include <cstdint>
#include <span>

#include "iconfile/icon_codec.h"

// Keeps the pixel reads from being optimised away.
volatile unsigned g_sink;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    tess::Image image;
    tess::TIOParamsVals params;
    params.isResource = (data[0] & 1) != 0;
    if (data[0] & 4) params.backgroundColor = tess::Rgb{0, 0, 0};
    params.imageIndex = static_cast<std::int8_t>(data[1]);
    const bool cursor = (data[0] & 2) != 0;
    if (tess::ReadIconFrame(std::span(data + 2, size - 2), image, params, cursor)) {
        // Touch every pixel so that a size mismatch shows up under the sanitizers.
        unsigned sum = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) sum += image.pixel(x, y).r + image.alpha(x, y);
        if (image.width() != params.width || image.height() != params.height) __builtin_trap();
        g_sink = sum;
    }
    return 0;
}
