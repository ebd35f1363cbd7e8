// Load and save images by format code or by file extension.
//
// Loading from memory takes a format code (5 bitmap, 6 icon, 7 cursor, 8 PNG, 3 JPEG);
// with params.isResource set the buffer is a bare resource as stored in a module. All
// bytes are untrusted. A null buffer, size 0, or undecodable bytes give an aborted load:
// the function returns false, params.aborted is set, and the image keeps its pixels. An
// icon frame index outside the file returns false without the aborted state. On success
// params.fileType is the code.
// Loading from a file picks the decoder from the extension (the resource flag does not
// apply); a file that cannot be read raises tess::Error("Cannot open file \"%s\". %s"),
// an extension the layer does not read raises tess::Error naming it.
// Saving raises tess::Error when the file cannot be created or written, or when the
// extension or code is not writable (nothing is written then).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "imaging/format_codes.h"
#include "imaging/image.h"
#include "imaging/io_params.h"

namespace tess {

bool loadFromMemory(const std::uint8_t* data, std::size_t size, int formatCode, Image& image,
                    TIOParamsVals& params);
bool loadFromFile(const std::string& fileName, Image& image, TIOParamsVals& params);

// formatCode -1 chooses the writer from the file name's extension (case-insensitive).
void saveToFile(const std::string& fileName, int formatCode, const Image& image,
                const TIOParamsVals& params);

}  // namespace tess
