// Load and save by format code or extension.
#include "imaging/image_io.h"

#include "iconfile/icon_codec.h"
#include "imaging/bitmap_codec.h"
#include "imaging/file_io.h"
#include "imaging/jpeg_codec.h"
#include "imaging/png_codec.h"
#include "platform/error.h"

namespace tess {

bool loadFromMemory(const std::uint8_t* data, std::size_t size, int formatCode, Image& image,
                    TIOParamsVals& params) {
    params.aborted = false;
    if (!data || size == 0) {
        params.aborted = true;
        return false;
    }
    const Bytes bytes(data, size);
    bool ok = false;
    switch (formatCode) {
        case FormatCode::Bitmap: ok = decodeBitmap(bytes, params.isResource, image, params); break;
        case FormatCode::Icon: ok = ReadIconFrame(bytes, image, params, false); break;
        case FormatCode::Cursor: ok = ReadIconFrame(bytes, image, params, true); break;
        case FormatCode::Png: ok = decodePng(bytes, image, params); break;
        case FormatCode::Jpeg: ok = decodeJpeg(bytes, image, params); break;
        default: break;
    }
    // An icon frame index outside the file decodes nothing without aborting.
    const bool frameMissing = !ok && !params.aborted &&
                              (formatCode == FormatCode::Icon || formatCode == FormatCode::Cursor);
    if (!ok && !frameMissing) params.aborted = true;
    if (ok) params.fileType = formatCode;
    return ok;
}

bool loadFromFile(const std::string& fileName, Image& image, TIOParamsVals& params) {
    const std::string ext = lowerExtension(fileName);
    const int code = formatCodeForExtension(ext);
    if (code == FormatCode::None)
        throw Error("Cannot read \"" + fileName + "\": the extension \"" + ext +
                    "\" is not an image format this program reads");
    const std::vector<std::uint8_t> bytes = readFileBytes(fileName);
    // A file always carries its header and directory.
    const bool resource = params.isResource;
    params.isResource = false;
    const bool ok = loadFromMemory(bytes.data(), bytes.size(), code, image, params);
    params.isResource = resource;
    if (bytes.empty()) params.aborted = true;
    return ok;
}

void saveToFile(const std::string& fileName, int formatCode, const Image& image,
                const TIOParamsVals& params) {
    const std::string ext = lowerExtension(fileName);
    const int code = formatCode == FormatCode::ByExtension ? formatCodeForExtension(ext) : formatCode;
    if (image.isEmpty()) throw Error("Cannot save \"" + fileName + "\": the image is empty");
    switch (code) {
        case FormatCode::Icon:
            WriteIconSizes(fileName, image, params);
            return;
        case FormatCode::Bitmap:
            writeFileBytes(fileName, encodeBitmapFile(image, params));
            return;
        case FormatCode::Png:
            writeFileBytes(fileName, encodePng(image, params));
            return;
        case FormatCode::Jpeg:
            writeFileBytes(fileName, encodeJpeg(image, params, params.jpegQuality));
            return;
        default:
            break;
    }
    if (formatCode == FormatCode::ByExtension)
        throw Error("Cannot save \"" + fileName + "\": the extension \"" + ext +
                    "\" is not an image format this program writes");
    throw Error("Cannot save \"" + fileName + "\": image format code " + std::to_string(formatCode) +
                " is not writable");
}

}  // namespace tess
