// PNG through libpng.
//
// libpng reports errors by longjmp. Each function that calls setjmp below keeps only plain
// data in its frame; buffers are owned by the caller's frame, which never calls setjmp, so
// no destructor is skipped by a jump.
#include "imaging/png_codec.h"

#include <png.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "imaging/quantizer.h"
#include "imaging/resolution.h"
#include "platform/error.h"

namespace tess {

namespace {

// Limits against decompression bombs: header dimensions, ancillary chunk memory, and the
// decoded bytes per input byte (deflate cannot exceed ~1032:1).
constexpr png_uint_32 kMaxSide = 1u << 20;
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t{8} << 20;
constexpr std::uint64_t kMaxExpansion = 1040;
constexpr std::uint64_t kExpansionSlack = 1 << 16;

struct ReadSource {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

void readFn(png_structp png, png_bytep out, png_size_t n) {
    auto* s = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (s->pos > s->size || n > s->size - s->pos) png_error(png, "PNG stream truncated");
    std::memcpy(out, s->data + s->pos, n);
    s->pos += n;
}

void errorFn(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void warningFn(png_structp, png_const_charp) {}

struct Header {
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    bool hasTrns = false;
    std::size_t nativeRowBytes = 0;
    png_uint_32 ppmX = 0, ppmY = 0;
    int unit = 0;
    int paletteCount = 0;
    png_color palette[256];
};

// Reads up to the image data and sets the transforms to 8-bit BGRA. Plain data only.
bool readHeader(png_structp png, png_infop info, Header* h) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxSide, kMaxSide);
    png_set_chunk_malloc_max(png, kMaxChunkBytes);
    png_set_chunk_cache_max(png, 1000);
    png_read_info(png, info);
    h->width = png_get_image_width(png, info);
    h->height = png_get_image_height(png, info);
    h->bitDepth = png_get_bit_depth(png, info);
    h->colourType = png_get_color_type(png, info);
    h->hasTrns = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    h->nativeRowBytes = png_get_rowbytes(png, info);
    png_uint_32 rx = 0, ry = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &rx, &ry, &unit)) {
        h->ppmX = rx;
        h->ppmY = ry;
        h->unit = unit;
    }
    png_colorp pal = nullptr;
    int count = 0;
    if (h->colourType == PNG_COLOR_TYPE_PALETTE && png_get_PLTE(png, info, &pal, &count) && pal) {
        h->paletteCount = std::clamp(count, 0, 256);
        std::memcpy(h->palette, pal, sizeof(png_color) * static_cast<std::size_t>(h->paletteCount));
    }
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    return png_get_rowbytes(png, info) == static_cast<std::size_t>(h->width) * 4;
}

bool readRows(png_structp png, png_infop info, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    png_read_end(png, info);
    return true;
}

// Frees the read structs on every path out of decodePng.
struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
};

int dpiFromPhys(png_uint_32 ppm, int unit) {
    if (unit != PNG_RESOLUTION_METER || ppm == 0) return kDefaultDpi;
    return static_cast<int>(static_cast<double>(ppm) * 0.0254 + 0.5);
}

}  // namespace

bool decodePng(Bytes data, Image& image, TIOParamsVals& params) {
    if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return false;
    ReadStructs s;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, errorFn, warningFn);
    if (!s.png) return false;
    s.info = png_create_info_struct(s.png);
    if (!s.info) return false;
    ReadSource src{data.data(), data.size(), 0};
    png_set_read_fn(s.png, &src, readFn);

    Header h;
    if (!readHeader(s.png, s.info, &h)) return false;
    if (h.width == 0 || h.height == 0 || h.width > INT32_MAX || h.height > INT32_MAX) return false;
    const int w = static_cast<int>(h.width), ht = static_cast<int>(h.height);
    if (!Image::sizeAllowed(w, ht)) return false;
    // Decoded bytes (filter byte and interlace passes included) must be reachable from
    // the compressed input.
    const std::uint64_t native = (static_cast<std::uint64_t>(h.nativeRowBytes) + 8) * h.height;
    if (native > static_cast<std::uint64_t>(data.size()) * kMaxExpansion + kExpansionSlack) return false;

    std::vector<std::uint8_t> pixels;
    std::vector<png_bytep> rows;
    try {
        pixels.resize(static_cast<std::size_t>(w) * 4 * static_cast<std::size_t>(ht));
        rows.resize(static_cast<std::size_t>(ht));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int y = 0; y < ht; ++y) rows[y] = pixels.data() + static_cast<std::size_t>(y) * w * 4;
    if (!readRows(s.png, s.info, rows.data())) return false;

    const bool grey = (h.colourType & PNG_COLOR_MASK_COLOR) == 0;
    const bool blackWhite = grey && h.bitDepth == 1 && !h.hasTrns;
    Image out(w, ht, blackWhite ? PixelFormat::BlackWhite1 : PixelFormat::Bgr24);
    bool transparent = false;
    for (int y = 0; y < ht && !transparent; ++y) {
        const std::uint8_t* p = rows[y];
        for (int x = 0; x < w; ++x)
            if (p[4 * x + 3] != 255) {
                transparent = true;
                break;
            }
    }
    if (transparent) out.ensureAlpha();
    for (int y = 0; y < ht; ++y) {
        const std::uint8_t* p = rows[y];
        if (blackWhite) {
            for (int x = 0; x < w; ++x) out.setBit(x, y, p[4 * x] >= 128);
            continue;
        }
        std::uint8_t* d = out.row(y);
        for (int x = 0; x < w; ++x) {
            d[3 * x] = p[4 * x];
            d[3 * x + 1] = p[4 * x + 1];
            d[3 * x + 2] = p[4 * x + 2];
        }
        if (transparent) {
            std::uint8_t* a = out.alphaRow(y);
            for (int x = 0; x < w; ++x) a[x] = p[4 * x + 3];
        }
    }

    image = std::move(out);
    params.width = w;
    params.height = ht;
    params.bitsPerSample = h.bitDepth;
    switch (h.colourType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA: params.samplesPerPixel = 2; break;
        case PNG_COLOR_TYPE_RGB: params.samplesPerPixel = 3; break;
        case PNG_COLOR_TYPE_RGB_ALPHA: params.samplesPerPixel = 4; break;
        default: params.samplesPerPixel = 1; break;
    }
    params.dpiX = dpiFromPhys(h.ppmX, h.unit);
    params.dpiY = dpiFromPhys(h.ppmY, h.unit);
    params.colorMap.clear();
    for (int i = 0; i < h.paletteCount; ++i)
        params.colorMap.push_back(Rgb{h.palette[i].blue, h.palette[i].green, h.palette[i].red});
    return true;
}

namespace {

void writeFn(png_structp png, png_bytep data, png_size_t n) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    bool failed = false;
    try {
        out->insert(out->end(), data, data + n);
    } catch (...) {
        failed = true;
    }
    // Jump only after the handler has finished with its exception.
    if (failed) png_error(png, "out of memory");
}
void flushFn(png_structp) {}

struct WriteJob {
    png_uint_32 width, height;
    int bitDepth, colourType;
    png_color* palette;
    int paletteCount;
    png_byte* trns;
    int trnsCount;
    png_uint_32 ppmX, ppmY;
    png_bytepp rows;
};

bool writeImage(png_structp png, png_infop info, const WriteJob* j) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, j->width, j->height, j->bitDepth, j->colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (j->paletteCount > 0) png_set_PLTE(png, info, j->palette, j->paletteCount);
    if (j->trnsCount > 0) png_set_tRNS(png, info, j->trns, j->trnsCount, nullptr);
    if (j->ppmX > 0 && j->ppmY > 0) png_set_pHYs(png, info, j->ppmX, j->ppmY, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    png_write_image(png, j->rows);
    png_write_end(png, info);
    return true;
}

struct WriteStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~WriteStructs() { png_destroy_write_struct(&png, &info); }
};

png_uint_32 ppm(int dpi) {
    return dpi > 0 ? static_cast<png_uint_32>(static_cast<double>(dpi) / 0.0254 + 0.5) : 0;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image& image, const TIOParamsVals& params) {
    const int w = image.width(), h = image.height();
    if (w <= 0 || h <= 0) throw Error("Cannot write an empty image as PNG");
    std::vector<std::uint8_t> pixels;
    std::vector<png_color> palette;
    std::vector<png_byte> trns;
    int bitDepth = 8, colourType;
    std::size_t rowBytes;

    if (params.samplesPerPixel == 1 && params.bitsPerSample == 1) {
        colourType = PNG_COLOR_TYPE_GRAY;
        bitDepth = 1;
        rowBytes = (static_cast<std::size_t>(w) + 7) / 8;
        pixels.assign(rowBytes * h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const bool white = image.format() == PixelFormat::BlackWhite1 ? image.bit(x, y)
                                                                              : Image::isLight(image.pixel(x, y));
                if (white) pixels[rowBytes * y + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
    } else if (params.samplesPerPixel == 1) {
        colourType = PNG_COLOR_TYPE_PALETTE;
        rowBytes = static_cast<std::size_t>(w);
        pixels.resize(rowBytes * h);
        // A pixel with alpha below half counts as transparent; it takes the reserved entry 0.
        bool transparent = false;
        for (int y = 0; y < h && !transparent; ++y)
            for (int x = 0; x < w; ++x)
                if (image.alpha(x, y) < 128) {
                    transparent = true;
                    break;
                }
        Image colour = image;
        colour.convertToBgr24();
        const int shift = transparent ? 1 : 0;
        const TIEQuantizer q(colour, 256 - shift);
        if (transparent) {
            palette.push_back(png_color{0, 0, 0});
            trns.push_back(0);
        }
        for (int k = 0; k < std::max(q.usedCount(), 1); ++k)
            palette.push_back(png_color{q.palette()[k].r, q.palette()[k].g, q.palette()[k].b});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                pixels[rowBytes * y + x] = (transparent && image.alpha(x, y) < 128)
                                               ? 0
                                               : static_cast<std::uint8_t>(q.index(colour.pixel(x, y)) + shift);
    } else {
        const bool alpha = image.hasTransparency();
        colourType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        const int n = alpha ? 4 : 3;
        rowBytes = static_cast<std::size_t>(w) * n;
        pixels.resize(rowBytes * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Rgb c = image.pixel(x, y);
                std::uint8_t* d = pixels.data() + rowBytes * y + static_cast<std::size_t>(x) * n;
                d[0] = c.r;
                d[1] = c.g;
                d[2] = c.b;
                if (alpha) d[3] = image.alpha(x, y);
            }
    }

    std::vector<png_bytep> rows(static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y) rows[y] = pixels.data() + rowBytes * y;
    std::vector<std::uint8_t> out;
    WriteStructs s;
    s.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, errorFn, warningFn);
    if (!s.png) throw Error("Cannot encode PNG");
    s.info = png_create_info_struct(s.png);
    if (!s.info) throw Error("Cannot encode PNG");
    png_set_write_fn(s.png, &out, writeFn, flushFn);
    const WriteJob job{static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), bitDepth, colourType,
                       palette.data(), static_cast<int>(palette.size()), trns.data(),
                       static_cast<int>(trns.size()), ppm(params.dpiX), ppm(params.dpiY), rows.data()};
    if (!writeImage(s.png, s.info, &job)) throw Error("Cannot encode PNG");
    return out;
}

}  // namespace tess
