// JPEG decoding and encoding through libjpeg.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image.h"
#include "imaging/io_params.h"
#include "platform/byte_reader.h"

namespace tess {

// Decodes a JPEG stream into a 24-bit image; params get width, height, 8 bits per sample
// and the component count as samples per pixel (1 grey, 3 colour). Corrupt or over-large
// streams give false and leave both untouched.
bool decodeJpeg(Bytes data, Image& image, TIOParamsVals& params);

// Baseline JPEG of the image's colour (alpha dropped) at `quality` (1..100).
std::vector<std::uint8_t> encodeJpeg(const Image& image, const TIOParamsVals& params, int quality);

}  // namespace tess
