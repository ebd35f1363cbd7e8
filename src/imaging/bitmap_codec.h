// Windows bitmap (DIB) decoding and .bmp file encoding.
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image.h"
#include "imaging/io_params.h"
#include "platform/byte_reader.h"

namespace tess {

// Decodes a bitmap. With `resource` the bytes start with the information header (a bitmap
// resource); otherwise with the 14-byte "BM" file header. On success fills `image` and
// the width, height, bits per sample, samples per pixel, resolution and colour map of
// `params`; on malformed bytes returns false and leaves both untouched.
bool decodeBitmap(Bytes data, bool resource, Image& image, TIOParamsVals& params);

// A complete .bmp file: 14-byte file header, 40-byte information header, rows bottom-up,
// bit count chosen from the image and its parameters (1, 4, 8, 24 or 32).
std::vector<std::uint8_t> encodeBitmapFile(const Image& image, const TIOParamsVals& params);

}  // namespace tess
