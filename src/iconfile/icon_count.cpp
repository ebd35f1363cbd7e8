// CountIconFrames and CountImageFrames.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "iconfile/icon_codec.h"
#include "imaging/file_io.h"
#include "imaging/format_codes.h"
#include "imaging/io_params.h"
#include "platform/error.h"

namespace tess {

std::int32_t CountIconFrames(const std::string& fileName) {
    std::FILE* f = std::fopen(fileName.c_str(), "rb");
    if (!f) throw Error("Cannot open file \"" + fileName + "\". " + std::strerror(errno));
    std::uint8_t header[6];
    const std::size_t got = std::fread(header, 1, sizeof header, f);
    std::fclose(f);
    // A file too short to hold the header holds no frames.
    if (got < sizeof header) return 0;
    return header[4] | (header[5] << 8);
}

std::int32_t CountImageFrames(const std::string& fileName) {
    switch (formatCodeForExtension(lowerExtension(fileName))) {
        case FormatCode::Icon:
        case FormatCode::Cursor:
            return CountIconFrames(fileName);
        case FormatCode::Bitmap:
        case FormatCode::Png:
        case FormatCode::Jpeg:
            return 1;
        default:
            return 0;
    }
}

}  // namespace tess
