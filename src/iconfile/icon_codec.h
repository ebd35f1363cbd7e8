// The icon file codec: writing one- and multi-frame .ico files, decoding one frame of an
// icon file or of a raw icon/cursor resource, and counting frames.
//
// Trust: icon bytes are untrusted; a frame that cannot be decoded gives an aborted load
// (false, params.aborted set). File errors raise tess::Error with the messages
// "Cannot create file \"%s\". %s" and "Cannot open file \"%s\". %s".
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

// One frame per image, in order, each at its own size and depth.
void WriteIconFile(const std::string& fileName, std::span<const IconFrameSource> images);
// One frame per leading icon output size with width > 0, encoded by the matching bit count.
void WriteIconSizes(const std::string& fileName, const Image& image, const TIOParamsVals& params);

// Decodes one frame. With params.isResource the bytes are a raw icon resource (or, with
// `cursor`, a raw cursor resource starting with its hotspot); otherwise an icon file whose
// frame params.imageIndex is decoded.
bool ReadIconFrame(std::span<const std::uint8_t> stream, Image& image, TIOParamsVals& params,
                   bool cursor = false);

std::int32_t CountIconFrames(const std::string& fileName);
// Frames of any image file by extension: icon files their count, single-image formats 1,
// an unknown extension 0.
std::int32_t CountImageFrames(const std::string& fileName);

}  // namespace tess
