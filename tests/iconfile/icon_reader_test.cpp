// ReadIconFrame in icon-file and raw-resource mode, and the frame counters.
#include <gtest/gtest.h>

#include "iconfile/icon_codec.h"
#include "imaging/image_io.h"
#include "imaging/png_codec.h"
#include "platform/byte_reader.h"
#include "platform/error.h"
#include "support/temp_dir.h"
#include "imaging/test_images.h"

namespace tess {
namespace {

using test::ByteBuilder;

TIOParamsVals paramsFor(int samplesPerPixel, int bitsPerSample) {
    TIOParamsVals p;
    p.samplesPerPixel = samplesPerPixel;
    p.bitsPerSample = bitsPerSample;
    return p;
}

// An image with few colours and one transparent pixel, exact at every palette depth.
Image sampleImage(int w, int h, bool blackWhite = false) {
    Image img(w, h, blackWhite ? PixelFormat::BlackWhite1 : PixelFormat::Bgr24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (blackWhite) img.setBit(x, y, (x + y) % 3 == 0);
            else img.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x % 3 * 100), static_cast<std::uint8_t>(y % 4 * 60), 40});
        }
    img.ensureAlpha();
    img.alphaRow(h / 2)[w / 2] = 0;
    return img;
}

std::vector<std::uint8_t> iconBytes(const std::vector<std::pair<const Image*, TIOParamsVals>>& frames) {
    test::TempDir dir;
    std::vector<IconFrameSource> src;
    for (const auto& f : frames) src.push_back({f.first, &f.second});
    WriteIconFile(dir.str("f.ico"), src);
    return test::readFile(dir.file("f.ico"));
}

// The image data of frame k of an icon file: a raw icon resource.
std::vector<std::uint8_t> frameBytes(const std::vector<std::uint8_t>& file, int k) {
    const std::uint32_t len = *readU32(file, 6 + 16 * k + 8), off = *readU32(file, 6 + 16 * k + 12);
    return std::vector<std::uint8_t>(file.begin() + off, file.begin() + off + len);
}

struct DepthCase {
    int spp, bps;          // written with this pair
    bool blackWhite;       // source image is 1-bit
    int readSpp, readBps;  // pair reported by the reader
};

class IconRoundTrip : public ::testing::TestWithParam<DepthCase> {};

TEST_P(IconRoundTrip, FileAndRawModesGiveBackPixelsTransparencyAndParameters) {
    const DepthCase c = GetParam();
    const Image img = sampleImage(7, 5, c.blackWhite);
    const auto file = iconBytes({{&img, paramsFor(c.spp, c.bps)}});
    for (bool raw : {false, true}) {
        Image out;
        TIOParamsVals p;
        p.isResource = raw;
        p.icoBitCounts[0] = 4;  // untouched by the reader
        const auto bytes = raw ? frameBytes(file, 0) : file;
        ASSERT_TRUE(ReadIconFrame(bytes, out, p)) << raw;
        EXPECT_EQ(out.width(), 7);
        EXPECT_EQ(out.height(), 5);
        EXPECT_EQ(p.width, 7);
        EXPECT_EQ(p.height, 5);
        EXPECT_EQ(p.samplesPerPixel, c.readSpp);
        EXPECT_EQ(p.bitsPerSample, c.readBps);
        EXPECT_EQ(out.format(), c.blackWhite ? PixelFormat::BlackWhite1 : PixelFormat::Bgr24);
        EXPECT_EQ(p.dpiX, 300);
        EXPECT_EQ(p.icoBitCounts[0], 4);
        if (raw) {
            EXPECT_EQ(p.icoSizes[0], (IconSize{7, 5}));
        }
        ASSERT_TRUE(out.hasAlpha());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool hole = x == 3 && y == 2;
                EXPECT_EQ(out.alpha(x, y), hole ? 0 : 255) << x << "," << y;
                if (hole) continue;
                EXPECT_EQ(out.pixel(x, y), img.pixel(x, y)) << x << "," << y;
            }
        // Transparent palette pixels take the background colour (white by default).
        if (c.readBps <= 8 && c.readSpp == 1 && !c.blackWhite) {
            EXPECT_EQ(out.pixel(3, 2), (Rgb{255, 255, 255}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllDepths, IconRoundTrip,
                         ::testing::Values(DepthCase{1, 1, true, 1, 1}, DepthCase{1, 4, false, 1, 4},
                                           DepthCase{1, 8, false, 1, 8}, DepthCase{3, 8, false, 3, 8},
                                           DepthCase{4, 8, false, 4, 8}));

// A hand-made one-frame 32-bit icon: 2x1, alpha bytes given, mask byte given.
std::vector<std::uint8_t> tinyIcon32(std::uint8_t alpha0, std::uint8_t alpha1, std::uint8_t mask,
                                     std::int32_t ppm, bool withMask = true) {
    ByteBuilder b;
    b.u16(0).u16(1).u16(1);                              // header: reserved, type, 1 frame
    b.u8(2).u8(1).u8(0).u8(0).u16(1).u16(32)             // entry: 2x1, 32-bit
        .u32(withMask ? 40 + 8 + 4 : 40 + 8).u32(22);    // bytes, offset
    b.u32(40).u32(2).u32(2).u16(1).u16(32)               // info header: 2 x (2*1), 32-bit
        .u32(0).u32(0).u32(static_cast<std::uint32_t>(ppm)).u32(static_cast<std::uint32_t>(ppm)).u32(0).u32(0);
    b.u8(10).u8(20).u8(30).u8(alpha0).u8(40).u8(50).u8(60).u8(alpha1);  // one BGRA row
    if (withMask) b.u8(mask).fill(3);                                   // one mask row
    return b.bytes;
}

TEST(IconReadAlpha, AllZeroAlphaTakesTheMaskOtherwiseTheAlphaBytes) {
    struct Case {
        std::uint8_t a0, a1, mask;
        bool withMask;
        int expect0, expect1;
        bool hasAlpha;
    };
    const Case cases[] = {
        {0, 0, 0x80, true, 0, 255, true},     // all zero: mask bit 1 -> 0, else 255
        {0, 0, 0x00, true, 255, 255, false},  // all zero, empty mask: opaque, no alpha channel
        {0, 0, 0x80, false, 0, 0, true},      // all zero, mask cut off: alpha bytes stand
        {0, 7, 0xC0, true, 0, 7, true},       // some alpha: mask ignored
        {255, 255, 0xC0, true, 255, 255, false},
    };
    for (const Case& c : cases) {
        Image img;
        TIOParamsVals p;
        ASSERT_TRUE(ReadIconFrame(tinyIcon32(c.a0, c.a1, c.mask, 11811, c.withMask), img, p));
        EXPECT_EQ(img.alpha(0, 0), c.expect0) << int(c.a0) << " " << int(c.a1) << " " << int(c.mask);
        EXPECT_EQ(img.alpha(1, 0), c.expect1);
        EXPECT_EQ(img.hasAlpha(), c.hasAlpha);
        EXPECT_EQ(img.pixel(1, 0), (Rgb{40, 50, 60}));
    }
}

TEST(IconReadResolution, PixelsPerMetreToDpiAndZeroWritesBack11811) {
    for (auto [ppm, dpi] : {std::pair{11811, 300}, {3780, 96}, {2835, 72}, {0, 300}, {-5, 300}}) {
        Image img;
        TIOParamsVals p;
        ASSERT_TRUE(ReadIconFrame(tinyIcon32(255, 255, 0, ppm), img, p));
        EXPECT_EQ(p.dpiX, dpi) << ppm;
        EXPECT_EQ(p.dpiY, dpi) << ppm;
        if (ppm == 0) {
            const auto back = iconBytes({{&img, p}});
            EXPECT_EQ(*readU32(back, 22 + 24), 11811u);
            EXPECT_EQ(*readU32(back, 22 + 28), 11811u);
        }
    }
}

TEST(IconReadFrameIndex, OutsideTheDirectoryKeepsThePixelsAndDropsAlpha) {
    const Image two = sampleImage(3, 3);
    const auto file = iconBytes({{&two, paramsFor(3, 8)}, {&two, paramsFor(4, 8)}});
    for (int index : {-1, 2, 1000}) {
        Image img = sampleImage(5, 4);
        TIOParamsVals p;
        p.imageIndex = index;
        EXPECT_FALSE(ReadIconFrame(file, img, p)) << index;
        EXPECT_FALSE(p.aborted);
        EXPECT_EQ(img.width(), 5);
        EXPECT_FALSE(img.hasAlpha());
    }
    Image img;
    TIOParamsVals p;
    p.imageIndex = 1;
    ASSERT_TRUE(ReadIconFrame(file, img, p));
    EXPECT_EQ(p.samplesPerPixel, 4);
}

TEST(IconReadSize, TwoFiftySixFromTheHeaderAndEntryHeaderMismatch) {
    const Image big = test::gradientImage(256, 256);
    const auto file = iconBytes({{&big, paramsFor(4, 8)}});
    ASSERT_EQ(file[6], 0);
    ASSERT_EQ(file[7], 0);
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(ReadIconFrame(file, img, p));
    EXPECT_EQ(img.width(), 256);
    EXPECT_EQ(img.height(), 256);
    // Entry says 3x3 but the header 2x(2*1): the header wins below 2048.
    auto small = tinyIcon32(255, 255, 0, 0);
    small[6] = 3;
    small[7] = 3;
    ASSERT_TRUE(ReadIconFrame(small, img, p));
    EXPECT_EQ(img.width(), 2);
    EXPECT_EQ(img.height(), 1);
}

TEST(IconReadDepth, HeaderThenEntryBitCountThenColourCountElseAborted) {
    // Header bit count 0 with the entry giving 32: decodes as 32-bit.
    auto f = tinyIcon32(255, 255, 0, 0);
    f[22 + 14] = 0;
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(ReadIconFrame(f, img, p));
    EXPECT_EQ(p.samplesPerPixel, 4);
    // Entry bit count 0 too, colour count 0: aborted.
    f[6 + 6] = 0;
    EXPECT_FALSE(ReadIconFrame(f, img, p));
    EXPECT_TRUE(p.aborted);
    // Raw resource with header bit count 0: aborted.
    TIOParamsVals raw;
    raw.isResource = true;
    EXPECT_FALSE(ReadIconFrame(std::vector<std::uint8_t>(f.begin() + 22, f.end()), img, raw));
    EXPECT_TRUE(raw.aborted);
    // Colour count 16 gives 4 bits: 16 table entries and 4-bit rows are then expected.
    const Image four = sampleImage(4, 2);
    auto file4 = iconBytes({{&four, paramsFor(1, 4)}});
    file4[22 + 14] = 0;  // header bit count
    ASSERT_EQ(file4[6 + 2], 16);
    ASSERT_TRUE(ReadIconFrame(file4, img, p));
    EXPECT_EQ(p.bitsPerSample, 4);
}

TEST(IconReadOneBit, MaskedPixelsInvertOnWhiteBackground) {
    // 1-bit 2x1: colour bits 0 1, mask bits 1 1 (both transparent).
    ByteBuilder b;
    b.u32(40).u32(2).u32(2).u16(1).u16(1).u32(0).u32(0).u32(0).u32(0).u32(0).u32(0);  // header
    b.u32(0).u32(0x00FFFFFF);                                                        // black, white
    b.u8(0x40).fill(3);                                                              // colour row
    b.u8(0xC0).fill(3);                                                              // mask row
    for (bool white : {true, false}) {
        Image img;
        TIOParamsVals p;
        p.isResource = true;
        if (!white) p.backgroundColor = Rgb{0, 0, 0};
        ASSERT_TRUE(ReadIconFrame(b.bytes, img, p));
        EXPECT_EQ(img.bit(0, 0), white);   // 0 inverted to 1 on white
        EXPECT_EQ(img.bit(1, 0), !white);  // 1 inverted to 0 on white
        EXPECT_EQ(img.alpha(0, 0), 0);
        EXPECT_EQ(img.alpha(1, 0), 0);
    }
}

TEST(IconReadRaw, CursorSkipsHotspotAndReportsBitCountTimesOne) {
    const Image img32 = sampleImage(4, 4);
    const auto frame = frameBytes(iconBytes({{&img32, paramsFor(4, 8)}}), 0);
    ByteBuilder cursor;
    cursor.u16(1).u16(2).append(frame);  // hotspot x, y
    Image img;
    TIOParamsVals p;
    p.isResource = true;
    ASSERT_TRUE(loadFromMemory(cursor.bytes.data(), cursor.bytes.size(), FormatCode::Cursor, img, p));
    EXPECT_EQ(p.bitsPerSample, 32);
    EXPECT_EQ(p.samplesPerPixel, 1);
    EXPECT_EQ(p.fileType, FormatCode::Cursor);
    EXPECT_EQ(img.width(), 4);
    ASSERT_TRUE(loadFromMemory(frame.data(), frame.size(), FormatCode::Icon, img, p));
    EXPECT_EQ(p.colorDepth(), 32);
    EXPECT_EQ(p.samplesPerPixel, 4);
}

TEST(IconReadPng, PngFramesInFilesAndRawResources) {
    Image src = sampleImage(5, 3);
    const auto png = encodePng(src, paramsFor(4, 8));
    ByteBuilder file;
    file.u16(0).u16(1).u16(1).u8(5).u8(3).u8(0).u8(0).u16(1).u16(32)
        .u32(static_cast<std::uint32_t>(png.size())).u32(22).append(png);
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(ReadIconFrame(file.bytes, img, p));
    EXPECT_EQ(img.width(), 5);
    EXPECT_EQ(img.alpha(2, 1), 0);
    EXPECT_EQ(p.samplesPerPixel, 4);
    EXPECT_EQ(p.bitsPerSample, 8);
    TIOParamsVals raw;
    raw.isResource = true;
    raw.imageIndex = 3;
    ASSERT_TRUE(ReadIconFrame(png, img, raw));
    EXPECT_EQ(img.height(), 3);
    EXPECT_EQ(raw.imageIndex, 3);  // PNG frames leave the frame index alone
    EXPECT_EQ(raw.icoSizes[0], (IconSize{64, 64}));
}

TEST(IconReadBitmapFile, IcoNamedFileStartingWithBMDecodesAsBitmap) {
    test::TempDir dir;
    const Image img = test::gradientImage(6, 3);
    saveToFile(dir.str("x.bmp"), FormatCode::ByExtension, img, paramsFor(3, 8));
    std::filesystem::rename(dir.file("x.bmp"), dir.file("x.ico"));
    Image out;
    TIOParamsVals p;
    ASSERT_TRUE(loadFromFile(dir.str("x.ico"), out, p));
    EXPECT_EQ(out.width(), 6);
    EXPECT_EQ(out.pixel(5, 2), img.pixel(5, 2));
}

TEST(IconReadMalformed, TruncationOffsetsAndCountsGiveAbortedLoads) {
    const Image img8 = sampleImage(8, 8);
    const auto good = iconBytes({{&img8, paramsFor(1, 8)}});
    const std::size_t frameStart = 22, table = frameStart + 40, rows = table + 1024;
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    auto cut = [&](std::size_t n) { return std::vector<std::uint8_t>(good.begin(), good.begin() + n); };
    auto patched = [&](std::size_t at, std::uint32_t v) {
        auto b = good;
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
        b[at + 2] = static_cast<std::uint8_t>(v >> 16);
        b[at + 3] = static_cast<std::uint8_t>(v >> 24);
        return b;
    };
    const Case cases[] = {
        {"shorter than the header", cut(5)},
        {"entry cut short", cut(20)},
        {"offset at the end", patched(6 + 12, static_cast<std::uint32_t>(good.size()))},
        {"offset far outside", patched(6 + 12, 0xFFFFFFF0u)},
        {"frame count beyond the file", [&] { auto b = good; b[4] = 2; return b; }()},
        {"info header cut short", cut(frameStart + 39)},
        {"colour table past the end", cut(table + 1023)},
        {"colour rows one byte short", cut(rows + 8 * 8 - 1)},
        {"header size 41", patched(frameStart, 41)},
        {"height negative, entry height 0",
         [&] { auto b = patched(frameStart + 8, static_cast<std::uint32_t>(-16)); b[7] = 0; return b; }()},
        {"huge header with zero entry size",
         [&] { auto b = patched(frameStart + 4, 1u << 20); b[6] = 0; b[7] = 0; b[frameStart + 8] = 0; b[frameStart + 9] = 0; b[frameStart + 10] = 0x20; return b; }()},
    };
    for (const Case& c : cases) {
        Image img;
        TIOParamsVals p;
        p.imageIndex = c.what == std::string("frame count beyond the file") ? 1 : 0;
        EXPECT_FALSE(ReadIconFrame(c.bytes, img, p)) << c.what;
        EXPECT_TRUE(p.aborted) << c.what;
        EXPECT_TRUE(img.isEmpty()) << c.what;
    }
    // An undecoded depth (260) with a huge width still needs its rows in the stream.
    ByteBuilder wide;
    wide.u32(40).u32(1u << 24).u32(12).u16(1).u16(260).fill(24);  // header, no rows
    TIOParamsVals raw;
    raw.isResource = true;
    Image none;
    EXPECT_FALSE(ReadIconFrame(wide.bytes, none, raw));
    EXPECT_TRUE(raw.aborted);
    // The same depth with its rows present gives a cleared image of the frame's size.
    ByteBuilder odd;
    odd.u32(40).u32(1).u32(2).u16(1).u16(260).fill(24).fill(36);  // 1 row of row(260) = 36
    ASSERT_TRUE(ReadIconFrame(odd.bytes, none, raw));
    EXPECT_EQ(none.width(), 1);
    EXPECT_EQ(none.pixel(0, 0), (Rgb{0, 0, 0}));
    // The mask is optional: colour rows complete, mask missing decodes opaque.
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(ReadIconFrame(cut(rows + 64), img, p));
    EXPECT_FALSE(img.hasAlpha());
}

TEST(IconCount, HeaderCountShortFilesAndExtensions) {
    test::TempDir dir;
    ByteBuilder b;
    b.u16(0x7777).u16(0x9999).u8(0x10).u8(0x00);  // reserved and type ignored
    test::writeFile(dir.file("a.ico"), b.bytes);
    EXPECT_EQ(CountIconFrames(dir.str("a.ico")), 16);
    test::writeFile(dir.file("short.ico"), std::vector<std::uint8_t>{0, 0, 1, 0, 3});
    EXPECT_EQ(CountIconFrames(dir.str("short.ico")), 0);
    const std::string missing = dir.str("missing.ico");
    try {
        CountIconFrames(missing);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + missing + "\". ", 0), 0u);
    }
    EXPECT_EQ(CountImageFrames(dir.str("a.ico")), 16);
    test::writeFile(dir.file("A.CUR"), b.bytes);
    EXPECT_EQ(CountImageFrames(dir.str("A.CUR")), 16);
    for (const char* name : {"x.bmp", "x.PNG", "x.jpg", "x.jpeg"}) EXPECT_EQ(CountImageFrames(dir.str(name)), 1) << name;
    for (const char* name : {"x.tga", "x", "x.ico.txt"}) EXPECT_EQ(CountImageFrames(dir.str(name)), 0) << name;
}

TEST(IconReadImageMagick, MultiSizeIconFilesDecodeLikeImageMagick) {
    const char* convert = TESS_IM_CONVERT;
    if (!test::toolPresent(convert)) GTEST_SKIP() << "ImageMagick convert not installed";
    test::TempDir dir;
    const std::string ico = dir.str("im.ico");
    ASSERT_EQ(test::run(std::string(convert) + " -size 64x64 gradient:'rgba(255,0,0,0.5)'-blue -define icon:auto-resize=256,48,32,16 " +
                        test::quoted(ico)),
              0);
    const int frames = CountImageFrames(ico);
    ASSERT_EQ(frames, 4);
    for (int k = 0; k < frames; ++k) {
        Image img;
        TIOParamsVals p;
        p.imageIndex = k;
        ASSERT_TRUE(loadFromFile(ico, img, p)) << k;
        const auto ref = test::imageMagickRgba(convert, ico, dir.str("f.rgba"), k);
        const auto ours = test::rgbaOf(img);
        ASSERT_EQ(ref.size(), ours.size()) << k;
        int worst = 0;
        for (std::size_t i = 0; i < ref.size(); ++i) worst = std::max(worst, std::abs(ref[i] - ours[i]));
        EXPECT_LE(worst, 1) << "frame " << k << " " << img.width();
    }
}

}  // namespace
}  // namespace tess
