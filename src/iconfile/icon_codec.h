// The icon file codec: writing one- and multi-frame .ico files, decoding one frame of an
// icon file or of a raw icon/cursor resource, and counting frames.
//
// Trust: icon bytes are untrusted and read only through bounds-checked readers. A frame
// that cannot be decoded (cut short, bad header, depth not worked out, corrupt PNG) gives
// an aborted load: ReadIconFrame returns false and sets params.aborted, and the image keeps
// its pixels. A frame index outside the directory returns false without the aborted
// state. File errors raise tess::Error with the messages "Cannot create file \"%s\". %s",
// "Cannot open file \"%s\". %s" and "Cannot write file \"%s\". %s"; empty images and
// invalid output sizes are refused before the file is created.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/image.h"
#include "imaging/io_params.h"

namespace tess {

struct IconFrameSource {
    const Image* image;
    const TIOParamsVals* params;
};

// One frame per image, in order, each at its own size and depth (taken from the image's
// parameters; a pair no icon encoding holds is written as 32-bit with an alpha channel,
// else 24-bit). An empty list writes the 6-byte header with frame count 0.
void WriteIconFile(const std::string& fileName, std::span<const IconFrameSource> images);
// One frame per leading icon output size with width > 0 (at most 16), encoded by the
// matching bit count and resampled when the size differs from the image's. No leading
// entry writes the header with frame count 0.
void WriteIconSizes(const std::string& fileName, const Image& image, const TIOParamsVals& params);

// Decodes one frame. With params.isResource the bytes are a raw icon resource (or, with
// `cursor`, a raw cursor resource starting with its hotspot); otherwise an icon file whose
// frame params.imageIndex is decoded (a file starting with "BM" is decoded as a bitmap).
// Sets width, height, bits per sample, samples per pixel, resolution and colour map.
bool ReadIconFrame(std::span<const std::uint8_t> stream, Image& image, TIOParamsVals& params,
                   bool cursor = false);

// The header's frame count; 0 for a file shorter than the 6-byte header.
std::int32_t CountIconFrames(const std::string& fileName);
// Frames of any image file by extension: icon files their count, single-image formats 1,
// an unknown extension 0.
std::int32_t CountImageFrames(const std::string& fileName);

}  // namespace tess
