#include "support/resource_bytes.h"

#include <stdexcept>

#include <zlib.h>

namespace tess::test {

void putU16(ByteVec& out, std::uint16_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void putU32(ByteVec& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void setU16(ByteVec& out, std::size_t offset, std::uint16_t value) {
    out.at(offset) = static_cast<std::uint8_t>(value);
    out.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void setU32(ByteVec& out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t getU16(const ByteVec& in, std::size_t offset) {
    return static_cast<std::uint16_t>(in.at(offset) | (in.at(offset + 1) << 8));
}

std::uint32_t getU32(const ByteVec& in, std::size_t offset) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(in.at(offset + i)) << (8 * i);
    return v;
}

namespace {

ByteVec groupDirectory(std::uint16_t kind, const std::vector<GroupEntry>& entries,
                       std::optional<std::uint16_t> countOverride) {
    ByteVec out;
    putU16(out, 0);     // reserved
    putU16(out, kind);  // 1 icon, 2 cursor
    putU16(out, countOverride ? *countOverride : static_cast<std::uint16_t>(entries.size()));
    for (const GroupEntry& e : entries) {
        if (kind == 1) {
            out.push_back(static_cast<std::uint8_t>(e.width >= 256 ? 0 : e.width));
            out.push_back(static_cast<std::uint8_t>(e.height >= 256 ? 0 : e.height));
            out.push_back(e.colorCount);
            out.push_back(0);  // reserved
        } else {
            putU16(out, e.width);
            putU16(out, static_cast<std::uint16_t>(e.height * 2));
        }
        putU16(out, e.planes);
        putU16(out, e.bitCount);
        putU32(out, e.bytesInRes);
        putU16(out, e.imageId);
    }
    return out;
}

void checkDib(int width, int height, std::uint16_t bitCount) {
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
        throw std::invalid_argument("fixture DIB size out of range");
    switch (bitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: return;
    default: throw std::invalid_argument("fixture DIB bit count must be 1, 4, 8, 16, 24 or 32");
    }
}

std::size_t rowBytes(int width, int bitCount) {
    return ((static_cast<std::size_t>(width) * bitCount + 31) / 32) * 4;
}

// Header, colour table and colour rows; `headerHeight` is the stored height.
ByteVec dibColourPart(int width, int height, int headerHeight, std::uint16_t bitCount,
                      std::uint32_t fill, std::size_t extraImageBytes) {
    checkDib(width, height, bitCount);
    const std::uint8_t a = static_cast<std::uint8_t>(fill >> 24);
    const std::uint8_t r = static_cast<std::uint8_t>(fill >> 16);
    const std::uint8_t g = static_cast<std::uint8_t>(fill >> 8);
    const std::uint8_t b = static_cast<std::uint8_t>(fill);
    const std::size_t row = rowBytes(width, bitCount);
    ByteVec out;
    putU32(out, 40);                                    // header size
    putU32(out, static_cast<std::uint32_t>(width));     // width
    putU32(out, static_cast<std::uint32_t>(headerHeight));  // height (bottom-up)
    putU16(out, 1);                                     // planes
    putU16(out, bitCount);                              // bits per pixel
    putU32(out, 0);                                     // BI_RGB
    putU32(out, static_cast<std::uint32_t>(row * height + extraImageBytes));  // image size
    putU32(out, 2835);                                  // 72 dpi horizontally
    putU32(out, 2835);                                  // 72 dpi vertically
    putU32(out, 0);                                     // colours used: 2^bitCount
    putU32(out, 0);                                     // important colours
    if (bitCount <= 8) {
        const std::size_t colours = std::size_t{1} << bitCount;
        for (std::size_t i = 0; i < colours; ++i) {
            // Entry 0 is the fill colour; the rest a grey ramp.
            const auto grey = static_cast<std::uint8_t>(i * 255 / (colours - 1));
            out.push_back(i == 0 ? b : grey);
            out.push_back(i == 0 ? g : grey);
            out.push_back(i == 0 ? r : grey);
            out.push_back(0);
        }
    }
    for (int y = 0; y < height; ++y) {
        ByteVec line(row, 0);
        for (int x = 0; x < width; ++x) {
            switch (bitCount) {
            case 16: {
                const auto v = static_cast<std::uint16_t>(((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3));
                line[2 * x] = static_cast<std::uint8_t>(v);
                line[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
                break;
            }
            case 24:
                line[3 * x] = b; line[3 * x + 1] = g; line[3 * x + 2] = r;
                break;
            case 32:
                line[4 * x] = b; line[4 * x + 1] = g; line[4 * x + 2] = r; line[4 * x + 3] = a;
                break;
            default: break;  // palette index 0
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

void appendPngChunk(ByteVec& out, const char* type, const ByteVec& data) {
    const std::size_t start = out.size();
    putU32(out, 0);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(type[i]));
    out.insert(out.end(), data.begin(), data.end());
    const auto length = static_cast<std::uint32_t>(data.size());
    for (int i = 0; i < 4; ++i) out[start + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
    const uLong crc = crc32(0L, out.data() + start + 4, static_cast<uInt>(data.size() + 4));
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
}

void putBe32(ByteVec& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (24 - 8 * i)));
}

ByteVec iconFile(std::uint16_t kind, const std::vector<IconFileFrame>& frames) {
    ByteVec out;
    putU16(out, 0);
    putU16(out, kind);
    putU16(out, static_cast<std::uint16_t>(frames.size()));
    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * frames.size());
    for (const IconFileFrame& f : frames) {
        out.push_back(static_cast<std::uint8_t>(f.width >= 256 ? 0 : f.width));
        out.push_back(static_cast<std::uint8_t>(f.height >= 256 ? 0 : f.height));
        out.push_back(0);  // colour count
        out.push_back(0);  // reserved
        putU16(out, kind == 1 ? std::uint16_t{1} : f.hotspotX);    // planes / hotspot x
        putU16(out, kind == 1 ? f.bitCount : f.hotspotY);           // bit count / hotspot y
        putU32(out, static_cast<std::uint32_t>(f.image.size()));    // bytes in image
        putU32(out, offset);                                        // image offset
        offset += static_cast<std::uint32_t>(f.image.size());
    }
    for (const IconFileFrame& f : frames) out.insert(out.end(), f.image.begin(), f.image.end());
    return out;
}

}  // namespace

ByteVec groupIconDirectory(const std::vector<GroupEntry>& entries,
                           std::optional<std::uint16_t> countOverride) {
    return groupDirectory(1, entries, countOverride);
}

ByteVec groupCursorDirectory(const std::vector<GroupEntry>& entries,
                             std::optional<std::uint16_t> countOverride) {
    return groupDirectory(2, entries, countOverride);
}

ByteVec dibIconImage(int width, int height, std::uint16_t bitCount, std::uint32_t fill) {
    checkDib(width, height, bitCount);
    const std::size_t maskRow = rowBytes(width, 1);
    ByteVec out = dibColourPart(width, height, height * 2, bitCount, fill, maskRow * height);
    const std::uint8_t maskByte = (fill >> 24) == 0 ? 0xFF : 0x00;
    out.insert(out.end(), maskRow * height, maskByte);
    return out;
}

ByteVec dibBitmap(int width, int height, std::uint16_t bitCount, std::uint32_t fill) {
    return dibColourPart(width, height, height, bitCount, fill, 0);
}

ByteVec cursorImage(std::uint16_t hotspotX, std::uint16_t hotspotY, const ByteVec& dib) {
    ByteVec out;
    putU16(out, hotspotX);
    putU16(out, hotspotY);
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

ByteVec pngImage(int width, int height, std::uint32_t fill) {
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
        throw std::invalid_argument("fixture PNG size out of range");
    ByteVec out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    ByteVec ihdr;
    putBe32(ihdr, static_cast<std::uint32_t>(width));
    putBe32(ihdr, static_cast<std::uint32_t>(height));
    ihdr.push_back(8);  // bit depth
    ihdr.push_back(6);  // RGBA
    ihdr.push_back(0);  // deflate
    ihdr.push_back(0);  // adaptive filtering
    ihdr.push_back(0);  // no interlace
    appendPngChunk(out, "IHDR", ihdr);
    ByteVec raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < width; ++x) {
            raw.push_back(static_cast<std::uint8_t>(fill >> 16));
            raw.push_back(static_cast<std::uint8_t>(fill >> 8));
            raw.push_back(static_cast<std::uint8_t>(fill));
            raw.push_back(static_cast<std::uint8_t>(fill >> 24));
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    ByteVec packed(packedSize);
    if (compress(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size())) != Z_OK)
        throw std::runtime_error("zlib compress failed");
    packed.resize(packedSize);
    appendPngChunk(out, "IDAT", packed);
    appendPngChunk(out, "IEND", {});
    return out;
}

ByteVec icoFile(const std::vector<IconFileFrame>& frames) { return iconFile(1, frames); }
ByteVec curFile(const std::vector<IconFileFrame>& frames) { return iconFile(2, frames); }

}  // namespace tess::test
