// PNG decoding and encoding through libpng.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image.h"
#include "imaging/io_params.h"
#include "platform/byte_reader.h"

namespace tess {

// Decodes a PNG stream. On success fills `image` (1-bit for a 1-bit greyscale PNG without
// transparency, else 24-bit, with alpha when some pixel is not opaque) and the width,
// height, bits per sample (the PNG bit depth), samples per pixel (grey 1, palette 1,
// grey+alpha 2, RGB 3, RGBA 4), resolution and colour map of `params`. Corrupt or
// over-large streams give false and leave both untouched.
bool decodePng(Bytes data, Image& image, TIOParamsVals& params);

// Encodes `image` as PNG: samples per pixel 1 and bits per sample 1 give 1-bit grey; other
// samples per pixel 1 give an 8-bit palette of at most 256 colours (entry 0 transparent
// when some pixel's alpha is below 128); anything else 8-bit RGB, RGBA when some pixel
// is not opaque. Raises tess::Error when libpng fails.
std::vector<std::uint8_t> encodePng(const Image& image, const TIOParamsVals& params);

}  // namespace tess
