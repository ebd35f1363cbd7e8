// JPEG through libjpeg.
//
// libjpeg reports fatal errors through error_exit, which longjmps back to the setjmp of
// the function that called it. Those functions hold only plain data; buffers live in the
// callers' frames, which never call setjmp.
#include "imaging/jpeg_codec.h"

// clang-format off
#include <cstdio>
#include <jpeglib.h>
// clang-format on

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <cstdlib>
#include <new>

#include "imaging/resolution.h"
#include "platform/error.h"

namespace tess {

namespace {

// Decoded pixels per input byte above which a stream is refused (bomb guard; real photos
// stay far below), plus a free allowance for small images.
constexpr std::uint64_t kMaxPixelsPerByte = 4096;
constexpr std::uint64_t kFreePixels = 1 << 20;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void errorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}
void outputMessage(j_common_ptr) {}

bool startDecompress(jpeg_decompress_struct* cinfo, ErrorManager* err, const std::uint8_t* data,
                     unsigned long size) {
    if (setjmp(err->jump)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, size);
    if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
    cinfo->out_color_space = JCS_EXT_BGR;
    jpeg_calc_output_dimensions(cinfo);
    return true;
}

bool begin(jpeg_decompress_struct* cinfo, ErrorManager* err) {
    if (setjmp(err->jump)) return false;
    return jpeg_start_decompress(cinfo) != 0;
}

bool readLines(jpeg_decompress_struct* cinfo, ErrorManager* err, JSAMPROW* rows) {
    if (setjmp(err->jump)) return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        if (jpeg_read_scanlines(cinfo, rows + cinfo->output_scanline, cinfo->output_height - cinfo->output_scanline) == 0)
            return false;
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

struct Decompressor {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
};

}  // namespace

bool decodeJpeg(Bytes data, Image& image, TIOParamsVals& params) {
    if (data.size() < 4 || data[0] != 0xFF || data[1] != 0xD8) return false;
    auto d = std::make_unique<Decompressor>();
    d->cinfo.err = jpeg_std_error(&d->err.base);
    d->err.base.error_exit = errorExit;
    d->err.base.output_message = outputMessage;
    if (!startDecompress(&d->cinfo, &d->err, data.data(), static_cast<unsigned long>(data.size())))
        return false;
    const auto w = d->cinfo.output_width, h = d->cinfo.output_height;
    if (w == 0 || h == 0 || w > INT32_MAX || h > INT32_MAX) return false;
    if (!Image::sizeAllowed(static_cast<int>(w), static_cast<int>(h))) return false;
    if (static_cast<std::uint64_t>(w) * h > kFreePixels + data.size() * kMaxPixelsPerByte) return false;
    const int components = d->cinfo.num_components;
    if (!begin(&d->cinfo, &d->err) || d->cinfo.output_components != 3) return false;

    Image out(static_cast<int>(w), static_cast<int>(h), PixelFormat::Bgr24);
    std::vector<JSAMPROW> rows(h);
    for (JDIMENSION y = 0; y < h; ++y) rows[y] = out.row(static_cast<int>(y));
    if (!readLines(&d->cinfo, &d->err, rows.data())) return false;

    image = std::move(out);
    params.width = static_cast<int>(w);
    params.height = static_cast<int>(h);
    params.bitsPerSample = 8;
    params.samplesPerPixel = components == 1 ? 1 : 3;
    params.colorMap.clear();
    params.dpiX = params.dpiY = kDefaultDpi;
    if (d->cinfo.saw_JFIF_marker && d->cinfo.X_density > 0 && d->cinfo.Y_density > 0) {
        if (d->cinfo.density_unit == 1) {
            params.dpiX = d->cinfo.X_density;
            params.dpiY = d->cinfo.Y_density;
        } else if (d->cinfo.density_unit == 2) {
            params.dpiX = static_cast<int>(d->cinfo.X_density * 2.54 + 0.5);
            params.dpiY = static_cast<int>(d->cinfo.Y_density * 2.54 + 0.5);
        }
    }
    return true;
}

namespace {

struct Compressor {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ~Compressor() {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
    }
};

bool compress(Compressor* c, int width, int height, int quality, int dpiX, int dpiY, JSAMPROW* rows) {
    if (setjmp(c->err.jump)) return false;
    jpeg_create_compress(&c->cinfo);
    jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
    c->cinfo.image_width = static_cast<JDIMENSION>(width);
    c->cinfo.image_height = static_cast<JDIMENSION>(height);
    c->cinfo.input_components = 3;
    c->cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c->cinfo);
    jpeg_set_quality(&c->cinfo, quality, TRUE);
    if (dpiX > 0 && dpiY > 0 && dpiX <= 65535 && dpiY <= 65535) {
        c->cinfo.density_unit = 1;
        c->cinfo.X_density = static_cast<UINT16>(dpiX);
        c->cinfo.Y_density = static_cast<UINT16>(dpiY);
    }
    jpeg_start_compress(&c->cinfo, TRUE);
    while (c->cinfo.next_scanline < c->cinfo.image_height)
        jpeg_write_scanlines(&c->cinfo, rows + c->cinfo.next_scanline, c->cinfo.image_height - c->cinfo.next_scanline);
    jpeg_finish_compress(&c->cinfo);
    return true;
}

}  // namespace

std::vector<std::uint8_t> encodeJpeg(const Image& image, const TIOParamsVals& params, int quality) {
    if (image.isEmpty()) throw Error("Cannot write an empty image as JPEG");
    if (image.width() > 65500 || image.height() > 65500) throw Error("Image too large for JPEG");
    Image colour = image;
    colour.convertToBgr24();
    std::vector<JSAMPROW> rows(static_cast<std::size_t>(colour.height()));
    for (int y = 0; y < colour.height(); ++y) rows[y] = colour.row(y);
    auto c = std::make_unique<Compressor>();
    c->cinfo.err = jpeg_std_error(&c->err.base);
    c->err.base.error_exit = errorExit;
    c->err.base.output_message = outputMessage;
    if (!compress(c.get(), colour.width(), colour.height(), std::clamp(quality, 1, 100), params.dpiX,
                  params.dpiY, rows.data()))
        throw Error("Cannot encode JPEG");
    return std::vector<std::uint8_t>(c->buffer, c->buffer + c->size);
}

}  // namespace tess
