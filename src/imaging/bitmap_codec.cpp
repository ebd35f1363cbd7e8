// Windows bitmap decoding and .bmp encoding.
//
// Wire format read here (little-endian):
//   file header, 14 bytes (file mode only): "BM", u32 file size, u32 reserved, u32 offset of
//     the pixel rows from the start of the file;
//   information header: u32 size (12 core; 40 info; 52/56 info with masks; 108 v4; 124 v5),
//     then for 12: u16 width, u16 height, u16 planes, u16 bit count; for the others: i32
//     width, i32 height (negative = rows top-down), u16 planes, u16 bit count, u32
//     compression, u32 image size, i32 x and i32 y pixels per metre, u32 colours used,
//     u32 important colours; headers of 52 bytes and more carry the red, green, blue (and
//     from 56 alpha) masks at offset 40;
//   for a 40-byte header with bit-field compression, 12 bytes of masks (16 with alpha
//     bit fields) after the header;
//   the colour table: 4-byte entries blue, green, red, 0 (3-byte entries after a core
//     header);
//   the rows, each padded to a multiple of 4 bytes, bottom-up unless the height is negative.
//
// Tolerances of malformed files, all here: a colours-used count above 256 counts as 0; a
// colour index beyond the table gives black; in file mode a pixel offset that points
// inside the headers or past the end is ignored and the rows are taken after the table;
// an RLE stream may end without its end-of-bitmap marker (the rest stays colour 0).
#include "imaging/bitmap_codec.h"

#include <algorithm>
#include <bit>
#include <optional>

#include "imaging/dib_header.h"
#include "imaging/quantizer.h"
#include "imaging/resolution.h"
#include "platform/error.h"

namespace tess {

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
// An RLE stream can only cover so many pixels per byte; this bounds the allocation a
// tiny stream with a huge header can cause (real streams stay far below).
constexpr std::int64_t kRlePixelsPerByte = 1024;
constexpr std::int64_t kRleFreePixels = std::int64_t{1} << 20;

struct DibHeader {
    std::uint32_t headerSize = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = kRgb;
    std::int32_t ppmX = 0, ppmY = 0;
    std::uint32_t coloursUsed = 0;
    std::uint32_t masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    bool hasMasks = false;
    bool core = false;
};

std::optional<DibHeader> readHeader(Bytes dib) {
    DibHeader h;
    auto size = readU32(dib, 0);
    if (!size) return std::nullopt;
    h.headerSize = *size;
    if (h.headerSize == 12) {
        auto w = readU16(dib, 4), ht = readU16(dib, 6), bc = readU16(dib, 10);
        if (!w || !ht || !bc) return std::nullopt;
        h.core = true;
        h.width = *w;
        h.height = *ht;
        h.bitCount = *bc;
        return h;
    }
    if (h.headerSize != 40 && h.headerSize != 52 && h.headerSize != 56 &&
        h.headerSize != 108 && h.headerSize != 124) {
        return std::nullopt;
    }
    auto w = readI32(dib, 4), ht = readI32(dib, 8);
    auto bc = readU16(dib, 14);
    auto comp = readU32(dib, 16);
    auto px = readI32(dib, 24), py = readI32(dib, 28);
    auto used = readU32(dib, 32);
    if (!w || !ht || !bc || !comp || !px || !py || !used || !rangeFits(dib.size(), 0, h.headerSize))
        return std::nullopt;
    h.width = *w;
    h.height = *ht;
    h.bitCount = *bc;
    h.compression = *comp;
    h.ppmX = *px;
    h.ppmY = *py;
    h.coloursUsed = *used;
    if (h.headerSize >= 52) {
        for (int i = 0; i < (h.headerSize >= 56 ? 4 : 3); ++i) h.masks[i] = *readU32(dib, 40 + 4 * i);
        h.hasMasks = true;
    }
    return h;
}

// Extracts one channel given by a mask and scales it to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t max = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        max = m >> shift;
    }
    std::uint8_t get(std::uint32_t v) const {
        if (max == 0) return 0;
        const std::uint64_t c = (v & mask) >> shift;
        return static_cast<std::uint8_t>(c * 255 / max);
    }
};

// Decodes an RLE8 or RLE4 stream into one colour index per pixel, rows bottom-up.
bool decodeRle(Bytes rows, int width, int height, bool rle4, std::vector<std::uint8_t>& idx) {
    const auto w = static_cast<std::size_t>(width);
    idx.assign(w * static_cast<std::size_t>(height), 0);
    std::size_t x = 0, y = 0;  // y counts rows from the bottom
    ByteReader r(rows);
    auto put = [&](std::uint8_t v) {
        if (x < w && y < static_cast<std::size_t>(height)) idx[y * w + x] = v;
        ++x;
    };
    while (r.remaining() >= 2 && y < static_cast<std::size_t>(height)) {
        const std::uint8_t n = *r.u8();
        const std::uint8_t c = *r.u8();
        if (n > 0) {
            for (int i = 0; i < n; ++i) {
                put(rle4 ? static_cast<std::uint8_t>((i & 1) ? (c & 0x0F) : (c >> 4)) : c);
            }
        } else if (c == 0) {
            x = 0;
            ++y;
        } else if (c == 1) {
            break;
        } else if (c == 2) {
            auto dx = r.u8(), dy = r.u8();
            if (!dx || !dy) return false;
            x += *dx;
            y += *dy;
        } else {
            const std::size_t bytes = rle4 ? (static_cast<std::size_t>(c) + 1) / 2 : c;
            auto run = r.take(bytes);
            if (!run) return false;
            for (int i = 0; i < c; ++i) {
                const std::uint8_t b = (*run)[rle4 ? i / 2 : i];
                put(rle4 ? static_cast<std::uint8_t>((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
            }
            if (bytes & 1) r.skip(1);  // runs are padded to a 16-bit boundary
        }
    }
    return true;
}

void paramsForBitCount(int bitCount, TIOParamsVals& p) {
    switch (bitCount) {
        case 16: p.bitsPerSample = 5; p.samplesPerPixel = 3; break;
        case 24: p.bitsPerSample = 8; p.samplesPerPixel = 3; break;
        case 32: p.bitsPerSample = 8; p.samplesPerPixel = 4; break;
        default: p.bitsPerSample = bitCount; p.samplesPerPixel = 1; break;
    }
}

}  // namespace

bool decodeBitmap(Bytes data, bool resource, Image& image, TIOParamsVals& params) {
    std::size_t dibStart = 0;
    std::optional<std::uint32_t> pixelOffset;
    if (!resource) {
        if (data.size() < 14 || data[0] != 'B' || data[1] != 'M') return false;
        pixelOffset = readU32(data, 10);
        dibStart = 14;
    }
    const Bytes dib = data.subspan(dibStart);
    const auto header = readHeader(dib);
    if (!header) return false;
    const DibHeader& h = *header;

    if (h.width <= 0 || h.height == 0 || h.height == INT32_MIN) return false;
    const bool topDown = h.height < 0;
    const int width = h.width;
    const int height = topDown ? -h.height : h.height;
    if (!Image::sizeAllowed(width, height)) return false;

    const int bc = h.bitCount;
    if (bc != 1 && bc != 2 && bc != 4 && bc != 8 && bc != 16 && bc != 24 && bc != 32) return false;
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    if (h.compression == kRle8 && bc != 8) return false;
    if (h.compression == kRle4 && bc != 4) return false;
    const bool bitFields = h.compression == kBitFields || h.compression == kAlphaBitFields;
    if (bitFields && bc != 16 && bc != 32) return false;
    if (!rle && !bitFields && h.compression != kRgb) return false;
    if (rle && topDown) return false;

    // Masks after a 40-byte header.
    std::size_t pos = h.headerSize;
    std::uint32_t masks[4] = {h.masks[0], h.masks[1], h.masks[2], h.masks[3]};
    if (bitFields && !h.hasMasks) {
        const int count = h.compression == kAlphaBitFields ? 4 : 3;
        for (int i = 0; i < count; ++i) {
            auto m = readU32(dib, pos);
            if (!m) return false;
            masks[i] = *m;
            pos += 4;
        }
    }

    // Colour table.
    std::uint32_t tableCount = h.coloursUsed > 256 ? 0 : h.coloursUsed;
    if (tableCount == 0 && bc <= 8) tableCount = 1u << bc;
    const std::size_t entry = h.core ? 3 : 4;
    auto table = subspan(dib, pos, tableCount * entry);
    if (!table) return false;
    std::vector<Rgb> palette(tableCount);
    for (std::uint32_t i = 0; i < tableCount; ++i) {
        const std::uint8_t* e = table->data() + i * entry;
        palette[i] = Rgb{e[0], e[1], e[2]};
    }
    pos += tableCount * entry;

    std::size_t rowsStart = dibStart + pos;
    if (pixelOffset && *pixelOffset >= rowsStart && *pixelOffset < data.size()) {
        rowsStart = *pixelOffset;
    }
    const Bytes rows = data.subspan(std::min(rowsStart, data.size()));

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bc + 31) / 32 * 4;
    std::vector<std::uint8_t> rleIndex;
    if (rle) {
        if (static_cast<std::int64_t>(width) * height >
            kRleFreePixels + static_cast<std::int64_t>(rows.size()) * kRlePixelsPerByte)
            return false;
        if (!decodeRle(rows, width, height, h.compression == kRle4, rleIndex)) return false;
    } else {
        // The last row needs its pixels only, not its padding.
        const std::uint64_t lastRow = (static_cast<std::uint64_t>(width) * bc + 7) / 8;
        if (stride * static_cast<std::uint64_t>(height - 1) + lastRow > rows.size()) return false;
    }

    auto colour = [&](std::uint32_t index) {
        return index < palette.size() ? palette[index] : Rgb{0, 0, 0};
    };
    const bool blackWhite = bc == 1 && palette.size() >= 2 &&
                            ((palette[0] == Rgb{0, 0, 0} && palette[1] == Rgb{255, 255, 255}) ||
                             (palette[0] == Rgb{255, 255, 255} && palette[1] == Rgb{0, 0, 0}));
    const bool invert = blackWhite && palette[0] == Rgb{255, 255, 255};

    Image out(width, height, blackWhite ? PixelFormat::BlackWhite1 : PixelFormat::Bgr24);
    if (!rle && h.compression == kRgb && bc == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alphaCh(masks[3]);
    const bool maskedAlpha = bitFields && masks[3] != 0;
    std::vector<std::uint8_t> fourth;  // candidate alpha of 32-bit pixels
    if (bc == 32) fourth.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));

    for (int fy = 0; fy < height; ++fy) {
        const int y = topDown ? fy : height - 1 - fy;
        if (rle) {
            const std::uint8_t* src = rleIndex.data() + static_cast<std::size_t>(fy) * width;
            for (int x = 0; x < width; ++x) out.setPixel(x, y, colour(src[x]));
            continue;
        }
        const std::uint8_t* src = rows.data() + stride * static_cast<std::uint64_t>(fy);
        std::uint8_t* dst = out.row(y);
        switch (bc) {
            case 1:
                if (blackWhite) {
                    const int n = out.rowBytes();
                    for (int i = 0; i < n; ++i) dst[i] = invert ? static_cast<std::uint8_t>(~src[i]) : src[i];
                    if (width % 8) dst[n - 1] &= static_cast<std::uint8_t>(0xFF << (8 - width % 8));
                } else {
                    for (int x = 0; x < width; ++x) out.setPixel(x, y, colour((src[x >> 3] >> (7 - (x & 7))) & 1));
                }
                break;
            case 2:
                for (int x = 0; x < width; ++x) out.setPixel(x, y, colour((src[x >> 2] >> (6 - 2 * (x & 3))) & 3));
                break;
            case 4:
                for (int x = 0; x < width; ++x) out.setPixel(x, y, colour((x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)));
                break;
            case 8:
                for (int x = 0; x < width; ++x) out.setPixel(x, y, colour(src[x]));
                break;
            case 16:
                for (int x = 0; x < width; ++x) {
                    const std::uint32_t v = src[2 * x] | (src[2 * x + 1] << 8);
                    dst[3 * x] = blue.get(v);
                    dst[3 * x + 1] = green.get(v);
                    dst[3 * x + 2] = red.get(v);
                }
                break;
            case 24:
                std::copy(src, src + 3 * static_cast<std::size_t>(width), dst);
                break;
            case 32: {
                std::uint8_t* a = fourth.data() + static_cast<std::size_t>(y) * width;
                for (int x = 0; x < width; ++x) {
                    const std::uint8_t* p = src + 4 * x;
                    if (bitFields) {
                        const std::uint32_t v = static_cast<std::uint32_t>(p[0]) | (p[1] << 8) |
                                                (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
                        dst[3 * x] = blue.get(v);
                        dst[3 * x + 1] = green.get(v);
                        dst[3 * x + 2] = red.get(v);
                        a[x] = maskedAlpha ? alphaCh.get(v) : 0;
                    } else {
                        dst[3 * x] = p[0];
                        dst[3 * x + 1] = p[1];
                        dst[3 * x + 2] = p[2];
                        a[x] = p[3];
                    }
                }
                break;
            }
        }
    }

    // The fourth byte is alpha only when asked for and when some pixel has it non-zero.
    if (bc == 32 && params.bmpAlphaFromFourthByte &&
        std::any_of(fourth.begin(), fourth.end(), [](std::uint8_t v) { return v != 0; })) {
        out.ensureAlpha();
        for (int y = 0; y < height; ++y)
            std::copy_n(fourth.data() + static_cast<std::size_t>(y) * width, width, out.alphaRow(y));
        if (!out.hasTransparency()) out.removeAlpha();
    }

    image = std::move(out);
    params.width = width;
    params.height = height;
    paramsForBitCount(bc, params);
    params.dpiX = dpiFromPixelsPerMetre(h.ppmX, kDefaultDpi);
    params.dpiY = dpiFromPixelsPerMetre(h.ppmY, kDefaultDpi);
    if (bc <= 8) {
        params.colorMap = palette;
    } else {
        params.colorMap.clear();
    }
    return true;
}

std::vector<std::uint8_t> encodeBitmapFile(const Image& image, const TIOParamsVals& params) {
    int bc;
    if (params.bitsPerSample == 1) bc = 1;
    else if (params.bitsPerSample == 4) bc = 4;
    else if (params.samplesPerPixel == 1) bc = 8;
    else if (image.hasAlpha()) bc = 32;
    else bc = 24;

    const int w = image.width(), h = image.height();
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * bc + 31) / 32 * 4;
    const std::uint64_t pixelBytes = stride * static_cast<std::uint64_t>(h);
    const std::uint32_t tableCount = bc <= 8 ? (1u << bc) : 0;
    const std::uint64_t offBits = 14 + 40 + 4 * static_cast<std::uint64_t>(tableCount);
    if (offBits + pixelBytes > UINT32_MAX) throw Error("Image too large for a bitmap file");

    std::vector<std::uint8_t> f;
    f.reserve(static_cast<std::size_t>(offBits + pixelBytes));
    f.push_back('B');
    f.push_back('M');
    putU32(f, static_cast<std::uint32_t>(offBits + pixelBytes));
    putU32(f, 0);
    putU32(f, static_cast<std::uint32_t>(offBits));
    appendInfoHeader(f, {static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h),
                         static_cast<std::uint32_t>(bc), static_cast<std::uint32_t>(pixelBytes),
                         params.dpiX, params.dpiY});

    // Colour table and an index per pixel for the palette depths.
    std::vector<std::uint8_t> indices;
    if (bc <= 8) {
        std::vector<Rgb> pal(tableCount, Rgb{0, 0, 0});
        indices.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        if (bc == 1 && image.format() == PixelFormat::BlackWhite1) {
            pal[1] = Rgb{255, 255, 255};
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) indices[static_cast<std::size_t>(y) * w + x] = image.bit(x, y);
        } else {
            Image colour = image;
            colour.convertToBgr24();
            const TIEQuantizer q(colour, static_cast<int>(tableCount));
            std::copy(q.palette().begin(), q.palette().end(), pal.begin());
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    indices[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(q.index(colour.pixel(x, y)));
        }
        for (const Rgb& c : pal) {
            f.push_back(c.b);
            f.push_back(c.g);
            f.push_back(c.r);
            f.push_back(0);
        }
    }

    Image colour24;
    const Image* src = &image;
    if (bc >= 24 && image.format() != PixelFormat::Bgr24) {
        colour24 = image;
        colour24.convertToBgr24();
        src = &colour24;
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(stride));
    for (int fy = 0; fy < h; ++fy) {
        const int y = h - 1 - fy;
        std::fill(row.begin(), row.end(), 0);
        if (bc <= 8)
            packIndexRow(indices.data() + static_cast<std::size_t>(y) * w, w, bc, row.data());
        else
            packColourRow(src->row(y), *src, y, w, bc, row.data());
        f.insert(f.end(), row.begin(), row.end());
    }
    return f;
}

}  // namespace tess
