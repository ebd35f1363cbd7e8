// ReadIconFrame: one frame of an icon file, or a raw icon or cursor resource.
//
// Tolerances of malformed frames, all here: the information header's size may be 40 or
// one of the longer bitmap header sizes (52, 56, 108, 124), the colour table then
// follows it; a frame whose mask rows are missing or cut short is decoded without mask
// (opaque); depths other than 1, 2, 4, 8, 16, 24 and 32 give a cleared image of the
// frame's size when the stream holds its rows. A frame whose colour table or colour rows
// run past the end aborts.
#include <algorithm>
#include <bit>
#include <optional>

#include "iconfile/icon_codec.h"
#include "iconfile/icon_layout.h"
#include "imaging/bitmap_codec.h"
#include "imaging/png_codec.h"
#include "imaging/resolution.h"
#include "platform/byte_reader.h"

namespace tess {

namespace {

constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

// The directory entry fields the decoder consults.
struct Entry {
    int width = 0;
    int height = 0;
    int colourCount = 0;
    int bitCount = 0;
};

bool abortLoad(TIOParamsVals& params) {
    params.aborted = true;
    return false;
}

bool isPng(Bytes frame) {
    return frame.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, frame.begin());
}

// Bits needed for a colour count: 2 gives 1, 16 gives 4, 255 or 256 gives 8; 0 for 0.
int bitsForColourCount(int count) {
    if (count <= 0) return 0;
    if (count == 1) return 1;
    return std::bit_width(static_cast<unsigned>(count - 1));
}

bool maskBit(const std::uint8_t* maskRow, int x) { return (maskRow[x >> 3] >> (7 - (x & 7))) & 1; }

// Decodes the bitmap form of a frame (`frame` starts at its information header).
bool decodeBitmapFrame(Bytes frame, const Entry& entryIn, bool raw, bool cursor, Image& image,
                       TIOParamsVals& params) {
    auto headerSize = readU32(frame, 0);
    auto hw = readI32(frame, 4), hh = readI32(frame, 8);
    auto bitCount = readU16(frame, 14);
    auto ppmX = readI32(frame, 24), ppmY = readI32(frame, 28);
    if (!headerSize || !hw || !hh || !bitCount || !ppmX || !ppmY) return abortLoad(params);
    if (*headerSize != 40 && *headerSize != 52 && *headerSize != 56 && *headerSize != 108 &&
        *headerSize != 124)
        return abortLoad(params);

    Entry entry = entryIn;
    if (raw) {
        entry = Entry{*hw, *hh / 2, 0, 0};
        params.imageIndex = 0;
        params.icoSizes[0] = IconSize{*hw, *hh / 2};
    }

    int depth = *bitCount;
    if (depth == 0) depth = entry.bitCount;
    if (depth == 0) depth = bitsForColourCount(entry.colourCount);
    if (depth == 0) return abortLoad(params);

    int w = entry.width != 0 ? entry.width : *hw;
    int h = entry.height != 0 ? entry.height : *hh / 2;
    if (entry.width != 0 && entry.width != *hw && *hw < 2048 && *hh < 2048) {
        w = *hw;
        h = *hh / 2;
    }
    if (w <= 0 || h <= 0 || !Image::sizeAllowed(w, h)) return abortLoad(params);

    std::size_t pos = *headerSize;
    std::vector<Rgb> colourMap;
    if (depth <= 8) {
        const std::size_t count = std::size_t{1} << depth;
        auto table = subspan(frame, pos, 4 * count);
        if (!table) return abortLoad(params);
        colourMap.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            colourMap[i] = Rgb{(*table)[4 * i], (*table)[4 * i + 1], (*table)[4 * i + 2]};
        pos += 4 * count;
    }

    const bool known = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16 ||
                       depth == 24 || depth == 32;
    const std::uint64_t stride = icon::rowBytes(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(depth));
    const std::uint64_t maskStride = icon::rowBytes(static_cast<std::uint64_t>(w), 1);
    const std::uint64_t colourBytes = stride * static_cast<std::uint64_t>(h);
    const std::uint64_t maskBytes = maskStride * static_cast<std::uint64_t>(h);
    // The colour rows must be present, also for a depth that is not decoded: this keeps
    // the image's allocation proportional to the input.
    if (colourBytes > frame.size()) return abortLoad(params);
    const std::optional<Bytes> colourRows = subspan(frame, pos, static_cast<std::size_t>(colourBytes));
    if (!colourRows) return abortLoad(params);
    const std::optional<Bytes> maskRows =
        subspan(frame, pos + static_cast<std::size_t>(colourBytes), static_cast<std::size_t>(maskBytes));

    Image out(w, h, depth == 1 ? PixelFormat::BlackWhite1 : PixelFormat::Bgr24);
    std::vector<std::uint8_t> alpha;  // 255 opaque, 0 transparent; top-down
    bool anyTransparent = false;
    if (known) alpha.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 255);
    const Rgb background = params.backgroundColor;
    const bool whiteBackground = background == Rgb{255, 255, 255};

    // 32-bit frames whose alpha bytes are all 0 take their transparency from the mask.
    bool useMask = maskRows.has_value();
    if (known && depth == 32) {
        bool allZero = true;
        for (int fy = 0; fy < h && allZero; ++fy) {
            const std::uint8_t* src = colourRows->data() + stride * fy;
            for (int x = 0; x < w; ++x)
                if (src[4 * x + 3] != 0) {
                    allZero = false;
                    break;
                }
        }
        useMask = allZero && maskRows.has_value();
    }

    for (int fy = 0; known && fy < h; ++fy) {
        const int y = h - 1 - fy;
        const std::uint8_t* src = colourRows->data() + stride * fy;
        const std::uint8_t* mask = useMask ? maskRows->data() + maskStride * fy : nullptr;
        std::uint8_t* dst = out.row(y);
        std::uint8_t* a = alpha.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            const bool masked = mask && maskBit(mask, x);
            switch (depth) {
                case 1: {
                    bool white = (src[x >> 3] >> (7 - (x & 7))) & 1;
                    if (masked && whiteBackground) white = !white;
                    out.setBit(x, y, white);
                    break;
                }
                case 2:
                case 4:
                case 8: {
                    unsigned ix;
                    if (depth == 8) ix = src[x];
                    else if (depth == 4) ix = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
                    else ix = (src[x >> 2] >> (6 - 2 * (x & 3))) & 3;
                    const Rgb c = masked ? background : colourMap[ix];
                    dst[3 * x] = c.b;
                    dst[3 * x + 1] = c.g;
                    dst[3 * x + 2] = c.r;
                    break;
                }
                case 16: {
                    const unsigned v = src[2 * x] | (src[2 * x + 1] << 8);
                    dst[3 * x] = static_cast<std::uint8_t>((v & 0x1F) * 255 / 31);
                    dst[3 * x + 1] = static_cast<std::uint8_t>(((v >> 5) & 0x1F) * 255 / 31);
                    dst[3 * x + 2] = static_cast<std::uint8_t>(((v >> 10) & 0x1F) * 255 / 31);
                    break;
                }
                case 24:
                    std::copy_n(src + 3 * x, 3, dst + 3 * x);
                    break;
                case 32:
                    std::copy_n(src + 4 * x, 3, dst + 3 * x);
                    if (!mask) a[x] = src[4 * x + 3];
                    break;
            }
            if (masked) a[x] = 0;
            if (a[x] != 255) anyTransparent = true;
        }
    }

    if (anyTransparent) {
        out.ensureAlpha();
        for (int y = 0; y < h; ++y) std::copy_n(alpha.data() + static_cast<std::size_t>(y) * w, w, out.alphaRow(y));
    }
    image = std::move(out);
    params.width = w;
    params.height = h;
    if (cursor && raw) {
        params.bitsPerSample = depth;
        params.samplesPerPixel = 1;
    } else if (depth <= 8) {
        params.bitsPerSample = depth;
        params.samplesPerPixel = 1;
    } else if (depth == 32) {
        params.bitsPerSample = 8;
        params.samplesPerPixel = 4;
    } else {
        params.bitsPerSample = 8;
        params.samplesPerPixel = 3;
    }
    params.dpiX = dpiFromPixelsPerMetre(*ppmX, kDefaultDpi);
    params.dpiY = dpiFromPixelsPerMetre(*ppmY, kDefaultDpi);
    params.colorMap = std::move(colourMap);
    return true;
}

}  // namespace

bool ReadIconFrame(std::span<const std::uint8_t> stream, Image& image, TIOParamsVals& params,
                   bool cursor) {
    image.removeAlpha();
    params.aborted = false;
    Bytes frame;
    Entry entry;
    const bool raw = params.isResource;
    if (raw) {
        // A cursor resource starts with its hotspot: x and y, 16 bits each.
        const std::size_t skip = cursor ? 4 : 0;
        if (stream.size() < skip) return abortLoad(params);
        frame = stream.subspan(skip);
    } else {
        if (stream.size() >= 2 && stream[0] == 'B' && stream[1] == 'M') {
            if (!decodeBitmap(stream, false, image, params)) return abortLoad(params);
            return true;
        }
        auto count = readU16(stream, 4);
        if (!count) return abortLoad(params);
        const int i = params.imageIndex;
        if (i < 0 || i >= *count) return false;  // nothing decoded; the image keeps its pixels
        const std::size_t at = icon::kHeaderBytes + icon::kEntryBytes * static_cast<std::size_t>(i);
        auto e = subspan(stream, at, icon::kEntryBytes);
        if (!e) return abortLoad(params);
        entry.width = (*e)[0];
        entry.height = (*e)[1];
        entry.colourCount = (*e)[2];
        entry.bitCount = *readU16(*e, 6);
        const std::uint32_t offset = *readU32(*e, 12);
        if (offset >= stream.size()) return abortLoad(params);
        frame = stream.subspan(offset);
    }
    if (isPng(frame)) {
        if (!decodePng(frame, image, params)) return abortLoad(params);
        return true;
    }
    if (frame.size() < icon::kInfoHeaderBytes) return abortLoad(params);
    return decodeBitmapFrame(frame, entry, raw, cursor, image, params);
}

}  // namespace tess
