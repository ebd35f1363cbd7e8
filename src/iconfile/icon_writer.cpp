// WriteIconFile and WriteIconSizes: one or more frames into an .ico file.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "iconfile/icon_codec.h"
#include "iconfile/icon_layout.h"
#include "imaging/dib_header.h"
#include "imaging/file_io.h"
#include "imaging/quantizer.h"
#include "imaging/resample.h"
#include "imaging/resolution.h"
#include "platform/error.h"

namespace tess {

namespace {

enum class Writer { File, Sizes };

// One frame to encode: its image (owned or borrowed), bit count and resolution.
struct FramePlan {
    std::optional<Image> owned;
    const Image* image = nullptr;
    int bitCount = 0;
    int dpiX = 0, dpiY = 0;
};

void putColour(std::vector<std::uint8_t>& v, Rgb c) {
    v.push_back(c.b);
    v.push_back(c.g);
    v.push_back(c.r);
    v.push_back(0);
}

// The encoding a parameter pair names. A pair no encoding holds (grey with alpha, 16 bits
// per sample, 5-5-5 ...) keeps its colours and transparency as 32-bit with an alpha
// channel, else as 24-bit, rather than losing them to 8 bits.
int bitCountForPair(int samplesPerPixel, int bitsPerSample, const Image& image) {
    if (samplesPerPixel == 3 && bitsPerSample == 8) return 24;
    if (samplesPerPixel == 4 && bitsPerSample == 8) return 32;
    if (samplesPerPixel == 1 && bitsPerSample == 1) return 1;
    if (samplesPerPixel == 1 && bitsPerSample == 4) return 4;
    if (samplesPerPixel == 1 && bitsPerSample == 8) return 8;
    return image.hasAlpha() ? 32 : 24;
}

// The image data of one frame: information header, colour table, colour rows, mask rows.
std::vector<std::uint8_t> encodeFrame(const FramePlan& plan, Writer writer) {
    const Image& src = *plan.image;
    const int w = src.width(), h = src.height();
    const int bc = plan.bitCount;
    const std::uint64_t colourRow = icon::rowBytes(static_cast<std::uint64_t>(w), static_cast<std::uint64_t>(bc));
    const std::uint64_t maskRow = icon::rowBytes(static_cast<std::uint64_t>(w), 1);
    const std::uint64_t pixels = static_cast<std::uint64_t>(w) * static_cast<std::uint64_t>(h);

    std::uint64_t imageSize = 0;
    switch (bc) {
        case 1: imageSize = h * maskRow + pixels / 8; break;
        case 4:
        case 8: imageSize = pixels / 8 + h * colourRow; break;
        case 24: imageSize = writer == Writer::File ? h * colourRow : 0; break;
        default: imageSize = 0; break;
    }
    const std::uint64_t tableCount = bc <= 8 ? (std::uint64_t{1} << bc) : 0;
    const std::uint64_t total = icon::kInfoHeaderBytes + 4 * tableCount + h * (colourRow + maskRow);
    if (total > UINT32_MAX || imageSize > UINT32_MAX || 2 * static_cast<std::int64_t>(h) > INT32_MAX)
        throw Error("Image too large for an icon frame");

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    appendInfoHeader(out, {static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(2 * h),
                           static_cast<std::uint32_t>(bc), static_cast<std::uint32_t>(imageSize),
                           plan.dpiX, plan.dpiY});

    // Colour source for the colour depths: a 24-bit view of the image.
    std::optional<Image> colour;
    const Image* c24 = &src;
    if (bc != 1 && src.format() != PixelFormat::Bgr24) {
        colour = src;
        colour->convertToBgr24();
        c24 = &*colour;
    }

    std::vector<std::uint8_t> indices;
    if (bc == 1) {
        putColour(out, Rgb{0, 0, 0});
        putColour(out, Rgb{255, 255, 255});
    } else if (bc == 4 || bc == 8) {
        const int tableSize = 1 << bc;
        const bool reserveZero = writer == Writer::Sizes;
        const TIEQuantizer q(*c24, reserveZero ? tableSize - 1 : tableSize);
        if (reserveZero) putColour(out, Rgb{0, 0, 0});
        for (const Rgb& c : q.palette()) putColour(out, c);
        indices.resize(static_cast<std::size_t>(pixels));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int ix = q.index(c24->pixel(x, y));
                if (reserveZero) ix = src.alpha(x, y) < 255 ? 0 : ix + 1;
                indices[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(ix);
            }
    }

    std::vector<std::uint8_t> row(static_cast<std::size_t>(colourRow));
    for (int fy = 0; fy < h; ++fy) {
        const int y = h - 1 - fy;
        std::fill(row.begin(), row.end(), 0);
        switch (bc) {
            case 1:
                for (int x = 0; x < w; ++x) {
                    const bool white = src.format() == PixelFormat::BlackWhite1 ? src.bit(x, y)
                                                                                : Image::isLight(src.pixel(x, y));
                    if (white) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
                }
                break;
            case 4:
            case 8:
                packIndexRow(indices.data() + static_cast<std::size_t>(y) * w, w, bc, row.data());
                break;
            default: packColourRow(c24->row(y), src, y, w, bc, row.data());
        }
        out.insert(out.end(), row.begin(), row.end());
    }

    row.assign(static_cast<std::size_t>(maskRow), 0);
    for (int fy = 0; fy < h; ++fy) {
        const int y = h - 1 - fy;
        std::fill(row.begin(), row.end(), 0);
        if (src.hasAlpha()) {
            const std::uint8_t* a = src.alphaRow(y);
            for (int x = 0; x < w; ++x)
                if (a[x] < 255) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

void checkFrameSize(const Image& image) {
    if (image.isEmpty()) throw Error("Cannot write an empty image as an icon frame");
}

// Header, directory and frames in order; the directory is written last.
void writeFrames(const std::string& fileName, const std::vector<FramePlan>& plans, Writer writer) {
    OutputFile file(fileName);
    std::vector<std::uint8_t> header;
    putU16(header, 0);
    putU16(header, 1);
    putU16(header, static_cast<std::uint32_t>(plans.size()));
    file.write(header);
    file.write(std::vector<std::uint8_t>(icon::kEntryBytes * plans.size(), 0));

    std::vector<std::uint32_t> offsets, lengths;
    for (const FramePlan& plan : plans) {
        const std::uint64_t start = file.position();
        file.write(encodeFrame(plan, writer));
        const std::uint64_t length = file.position() - start;
        if (start > UINT32_MAX || length > UINT32_MAX) throw Error("Icon file too large");
        offsets.push_back(static_cast<std::uint32_t>(start));
        lengths.push_back(static_cast<std::uint32_t>(length));
    }
    const std::uint64_t end = file.position();
    std::vector<std::uint8_t> dir;
    for (std::size_t k = 0; k < plans.size(); ++k) {
        const Image& img = *plans[k].image;
        const int bc = plans[k].bitCount;
        dir.push_back(static_cast<std::uint8_t>(img.width() % 256));
        dir.push_back(static_cast<std::uint8_t>(img.height() % 256));
        dir.push_back(bc <= 8 ? static_cast<std::uint8_t>(std::min(1 << bc, 255)) : 0);
        dir.push_back(0);
        putU16(dir, bc <= 8 ? 0 : 1);
        putU16(dir, bc <= 8 ? 0 : static_cast<std::uint32_t>(bc));
        putU32(dir, lengths[k]);
        putU32(dir, offsets[k]);
    }
    file.seek(icon::kHeaderBytes);
    file.write(dir);
    file.seek(end);
    file.close();
}

}  // namespace

void WriteIconFile(const std::string& fileName, std::span<const IconFrameSource> images) {
    if (images.size() > 0xFFFF) throw Error("Too many frames for an icon file");
    std::vector<FramePlan> plans(images.size());
    for (std::size_t k = 0; k < images.size(); ++k) {
        const Image& image = *images[k].image;
        const TIOParamsVals& p = *images[k].params;
        checkFrameSize(image);
        FramePlan& plan = plans[k];
        plan.image = &image;
        plan.dpiX = p.dpiX;
        plan.dpiY = p.dpiY;
        // Images are 1-bit or 24-bit colour; a 1-bit image always becomes a 1-bit frame.
        plan.bitCount = image.format() == PixelFormat::BlackWhite1
                            ? 1
                            : bitCountForPair(p.samplesPerPixel, p.bitsPerSample, image);
    }
    writeFrames(fileName, plans, Writer::File);
}

void WriteIconSizes(const std::string& fileName, const Image& image, const TIOParamsVals& params) {
    checkFrameSize(image);
    const bool blackWhite = image.format() == PixelFormat::BlackWhite1;
    const int spp = blackWhite ? 1 : params.samplesPerPixel;
    const int bps = blackWhite ? 1 : params.bitsPerSample;

    std::vector<FramePlan> plans;
    for (int i = 0; i < TIOParamsVals::kIconSlots && params.icoSizes[i].width > 0; ++i) {
        const IconSize size = params.icoSizes[i];
        if (size.height <= 0 || !Image::sizeAllowed(size.width, size.height))
            throw Error("Icon output size " + std::to_string(size.width) + " x " +
                        std::to_string(size.height) + " is not valid");
        FramePlan plan;
        switch (params.icoBitCounts[i]) {
            case 1: plan.bitCount = 1; break;
            case 4: plan.bitCount = 4; break;
            case 8: plan.bitCount = 8; break;
            case 32: plan.bitCount = 32; break;
            case 0: plan.bitCount = bitCountForPair(spp, bps, image); break;
            case 24: plan.bitCount = 24; break;
            // A count no encoding holds (a colour depth of 16 from grey+alpha, 15 from
            // 5-5-5, 2 ...) keeps transparency at 32 bits instead of dropping it at 24.
            default: plan.bitCount = image.hasAlpha() ? 32 : 24; break;
        }
        plan.dpiX = params.dpiX;
        plan.dpiY = params.dpiY;
        if (size.width != image.width() || size.height != image.height())
            plan.owned = resample(image, size.width, size.height);
        plans.push_back(std::move(plan));
    }
    // Pointers are taken once the vector no longer moves its elements.
    for (FramePlan& plan : plans) plan.image = plan.owned ? &*plan.owned : &image;
    writeFrames(fileName, plans, Writer::Sizes);
}

}  // namespace tess
