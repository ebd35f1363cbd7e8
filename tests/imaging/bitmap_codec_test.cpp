// Bitmap decoding of resources and files, and .bmp encoding.
#include "imaging/bitmap_codec.h"

#include <gtest/gtest.h>

#include "imaging/image_io.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace tess {
namespace {

using test::ByteBuilder;

// A 40-byte information header.
ByteBuilder infoHeader(std::int32_t w, std::int32_t h, int bitCount, std::uint32_t compression = 0,
                       std::uint32_t coloursUsed = 0, std::uint32_t size = 40) {
    ByteBuilder b;
    b.u32(size)                               // header size
        .u32(static_cast<std::uint32_t>(w))   // width
        .u32(static_cast<std::uint32_t>(h))   // height (negative: top-down)
        .u16(1)                               // planes
        .u16(static_cast<std::uint32_t>(bitCount))
        .u32(compression)                     // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
        .u32(0)                               // image size
        .u32(11811).u32(3780)                 // pixels per metre: 300 and 96 DPI
        .u32(coloursUsed)                     // colours used
        .u32(0);                              // important colours
    return b;
}

std::uint32_t stride(int w, int bits) { return static_cast<std::uint32_t>((w * bits + 31) / 32 * 4); }

// A 3x2 bitmap resource at `bits` whose pixel (x, y) has a colour that tells x and y apart.
std::vector<std::uint8_t> sampleResource(int bits, bool topDown) {
    const int w = 3, h = 2;
    ByteBuilder b = infoHeader(w, topDown ? -h : h, bits);
    if (bits <= 8) {
        for (int i = 0; i < (1 << bits); ++i) b.u8(i * 10).u8(i * 20).u8(i * 30).u8(0);  // table entry i
    }
    for (int fy = 0; fy < h; ++fy) {
        const int y = topDown ? fy : h - 1 - fy;
        std::vector<std::uint8_t> row(stride(w, bits), 0);
        for (int x = 0; x < w; ++x) {
            const int v = (y * w + x) % (bits == 1 ? 2 : 6);  // palette index or channel seed
            switch (bits) {
                case 1: row[0] |= static_cast<std::uint8_t>(v << (7 - x)); break;
                case 4: row[x / 2] |= static_cast<std::uint8_t>(v << ((x & 1) ? 0 : 4)); break;
                case 8: row[x] = static_cast<std::uint8_t>(v); break;
                case 16: {
                    const unsigned p = (static_cast<unsigned>(v) << 10) | (2u << 5) | 31u;  // 5-5-5
                    row[2 * x] = static_cast<std::uint8_t>(p);
                    row[2 * x + 1] = static_cast<std::uint8_t>(p >> 8);
                    break;
                }
                default:
                    row[bits / 8 * x] = static_cast<std::uint8_t>(v * 40);
                    row[bits / 8 * x + 1] = 1;
                    row[bits / 8 * x + 2] = 2;
                    if (bits == 32) row[4 * x + 3] = static_cast<std::uint8_t>(v * 50);
            }
        }
        b.append(row);
    }
    return b.bytes;
}

Rgb expectedColour(int bits, int x, int y) {
    const int v = (y * 3 + x) % (bits == 1 ? 2 : 6);
    switch (bits) {
        case 1: return Rgb{static_cast<std::uint8_t>(v * 10), static_cast<std::uint8_t>(v * 20), static_cast<std::uint8_t>(v * 30)};
        case 4:
        case 8: return Rgb{static_cast<std::uint8_t>(v * 10), static_cast<std::uint8_t>(v * 20), static_cast<std::uint8_t>(v * 30)};
        case 16: return Rgb{255, static_cast<std::uint8_t>(2 * 255 / 31), static_cast<std::uint8_t>(v * 255 / 31)};
        default: return Rgb{static_cast<std::uint8_t>(v * 40), 1, 2};
    }
}

struct DepthCase {
    int bits;
    int bitsPerSample;
    int samplesPerPixel;
};

class BitmapResourceDepth : public ::testing::TestWithParam<std::tuple<DepthCase, bool>> {};

TEST_P(BitmapResourceDepth, DecodesPixelsAndReportsParameters) {
    const auto [c, topDown] = GetParam();
    const auto bytes = sampleResource(c.bits, topDown);
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(decodeBitmap(bytes, true, img, p));
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.bitsPerSample, c.bitsPerSample);
    EXPECT_EQ(p.samplesPerPixel, c.samplesPerPixel);
    EXPECT_EQ(p.dpiX, 300);
    EXPECT_EQ(p.dpiY, 96);
    EXPECT_FALSE(img.hasAlpha());  // 32-bit alpha option is off by default
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(img.pixel(x, y), expectedColour(c.bits, x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(AllDepths, BitmapResourceDepth,
                         ::testing::Combine(::testing::Values(DepthCase{1, 1, 1}, DepthCase{4, 4, 1},
                                                              DepthCase{8, 8, 1}, DepthCase{16, 5, 3},
                                                              DepthCase{24, 8, 3}, DepthCase{32, 8, 4}),
                                            ::testing::Bool()));

TEST(BitmapAlpha, FourthByteIsAlphaOnlyWithTheOptionAndSomeNonZeroByte) {
    struct Case {
        bool option;
        bool allZero;
        bool expectAlpha;
    };
    for (const Case c : {Case{false, false, false}, Case{true, false, true}, Case{true, true, false}}) {
        auto bytes = sampleResource(32, false);
        if (c.allZero)
            for (std::size_t i = 40 + 3; i < bytes.size(); i += 4) bytes[i] = 0;
        Image img;
        TIOParamsVals p;
        p.bmpAlphaFromFourthByte = c.option;
        ASSERT_TRUE(decodeBitmap(bytes, true, img, p));
        EXPECT_EQ(img.hasAlpha(), c.expectAlpha) << c.option << c.allZero;
        if (c.expectAlpha) {
            EXPECT_EQ(img.alpha(1, 1), 4 * 50);  // (y*3+x)%6 = 4
        }
    }
}

TEST(BitmapColourTable, UsedCountDecidesTheRowStart) {
    // 8-bit, colours used 2: two table entries, then the rows.
    ByteBuilder b = infoHeader(1, 1, 8, 0, 2);
    b.u8(1).u8(2).u8(3).u8(0).u8(9).u8(8).u8(7).u8(0);  // entries 0 and 1
    b.u8(1).fill(3);                                     // one row: index 1, padding
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(decodeBitmap(b.bytes, true, img, p));
    EXPECT_EQ(img.pixel(0, 0), (Rgb{9, 8, 7}));
    EXPECT_EQ(p.colorMap.size(), 2u);
    // A count above 256 counts as 0, so 256 entries are expected and the bytes run short.
    ByteBuilder big = infoHeader(1, 1, 8, 0, 257);
    big.fill(8 + 4);
    EXPECT_FALSE(decodeBitmap(big.bytes, true, img, p));
}

TEST(BitmapRle, Rle8AndRle4StreamsWithRunsAbsoluteRunsDeltaAndEndMarkers) {
    // 4x2 RLE8: bottom row "run 3 of index 1, absolute 1 pixel index 2 (padded)", EOL;
    // top row: delta (2, 0) then run 2 of index 3; end of bitmap.
    ByteBuilder b8 = infoHeader(4, 2, 8, 1);
    for (int i = 0; i < 256; ++i) b8.u8(i).u8(i).u8(i).u8(0);  // grey table
    b8.u8(3).u8(1).u8(0).u8(3).u8(2).u8(2).u8(2).u8(0).u8(0).u8(0);
    b8.u8(0).u8(2).u8(2).u8(0).u8(2).u8(3).u8(0).u8(1);
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(decodeBitmap(b8.bytes, true, img, p));
    const int bottom[4] = {1, 1, 1, 2}, topRow[4] = {0, 0, 3, 3};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(img.pixel(x, 1).r, bottom[x]) << x;
        EXPECT_EQ(img.pixel(x, 0).r, topRow[x]) << x;
    }
    // 5x1 RLE4: run of 5 alternating 0xA, 0xB, then end of bitmap.
    ByteBuilder b4 = infoHeader(5, 1, 4, 2);
    for (int i = 0; i < 16; ++i) b4.u8(i).u8(i).u8(i).u8(0);
    b4.u8(5).u8(0xAB).u8(0).u8(1);
    ASSERT_TRUE(decodeBitmap(b4.bytes, true, img, p));
    const int want[5] = {10, 11, 10, 11, 10};
    for (int x = 0; x < 5; ++x) EXPECT_EQ(img.pixel(x, 0).r, want[x]) << x;
    // An absolute run cut short is malformed.
    ByteBuilder cut = infoHeader(4, 1, 8, 1);
    cut.fill(1024).u8(0).u8(4).u8(1);
    EXPECT_FALSE(decodeBitmap(cut.bytes, true, img, p));
}

TEST(BitmapMalformed, HeadersAndSizesOutOfRangeAreRefused) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"header size 41", infoHeader(1, 1, 24, 0, 0, 41).fill(8).bytes},
        {"width 0", infoHeader(0, 1, 24).fill(8).bytes},
        {"width negative", infoHeader(-1, 1, 24).fill(8).bytes},
        {"height 0", infoHeader(1, 0, 24).fill(8).bytes},
        {"height INT_MIN", infoHeader(1, INT32_MIN, 24).fill(8).bytes},
        {"bit count 7", infoHeader(1, 1, 7).fill(600).bytes},
        {"over 2^28 pixels", infoHeader(1 << 15, (1 << 13) + 1, 1).fill(64).bytes},
        {"width x height overflows", infoHeader(INT32_MAX, INT32_MAX, 32).fill(64).bytes},
        {"RLE8 top-down", infoHeader(1, -1, 8, 1).fill(1024 + 4).bytes},
        {"RLE8 at 4 bits", infoHeader(1, 1, 4, 1).fill(64 + 4).bytes},
        {"JPEG compression", infoHeader(1, 1, 24, 4).fill(8).bytes},
        {"short header", std::vector<std::uint8_t>(20, 0)},
    };
    for (const Case& c : cases) {
        Image img;
        TIOParamsVals p;
        EXPECT_FALSE(decodeBitmap(c.bytes, true, img, p)) << c.what;
        EXPECT_TRUE(img.isEmpty()) << c.what;
    }
}

TEST(BitmapMalformed, RowsEndingAtTheBoundaryPassAndOneByteShortFails) {
    // 2x2 at 24 bits: stride 8; the last row needs its 6 pixel bytes, not its padding.
    const auto full = infoHeader(2, 2, 24).fill(8 + 6).bytes;
    Image img;
    TIOParamsVals p;
    EXPECT_TRUE(decodeBitmap(full, true, img, p));
    const std::vector<std::uint8_t> shortBy1(full.begin(), full.end() - 1);
    EXPECT_FALSE(decodeBitmap(shortBy1, true, img, p));
    // A colour table running past the end: 1-bit needs 8 table bytes.
    const auto table = infoHeader(1, 1, 1).fill(7).bytes;
    EXPECT_FALSE(decodeBitmap(table, true, img, p));
}

TEST(BitmapFile, FileHeaderOffsetAndBitFieldsFromAV5Header) {
    // 1x1 32-bit with a 124-byte header carrying masks (red 0xFF0000 ...), placed by the
    // file header's pixel offset after a 4-byte gap.
    ByteBuilder dib = infoHeader(1, 1, 32, 3, 0, 124);
    dib.u32(0x00FF0000).u32(0x0000FF00).u32(0x000000FF).u32(0xFF000000);  // r, g, b, a masks
    dib.fill(124 - 56);
    ByteBuilder file;
    file.u8('B').u8('M').u32(14 + 124 + 4 + 4).u32(0).u32(14 + 124 + 4);  // file header
    file.append(dib.bytes).fill(4, 0xEE);                                  // gap
    file.u8(0x30).u8(0x20).u8(0x10).u8(0x80);                              // b g r a
    Image img;
    TIOParamsVals p;
    p.bmpAlphaFromFourthByte = true;
    ASSERT_TRUE(decodeBitmap(file.bytes, false, img, p));
    EXPECT_EQ(img.pixel(0, 0), (Rgb{0x30, 0x20, 0x10}));
    EXPECT_EQ(img.alpha(0, 0), 0x80);
    // The same bytes without "BM" are not a bitmap file.
    file.bytes[0] = 'X';
    EXPECT_FALSE(decodeBitmap(file.bytes, false, img, p));
}

struct EncodeCase {
    int bitsPerSample;
    int samplesPerPixel;
    bool alpha;
    int expectedBitCount;
};

class BitmapEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(BitmapEncode, BitCountFollowsParametersAndRoundTrips) {
    const EncodeCase c = GetParam();
    // Eight distinct colours in a 4x2 image, so 4- and 8-bit palettes hold them exactly.
    Image img(4, 2, PixelFormat::Bgr24);
    for (int i = 0; i < 8; ++i)
        img.setPixel(i % 4, i / 4, Rgb{static_cast<std::uint8_t>(i * 30), static_cast<std::uint8_t>(255 - i * 20), 77});
    if (c.alpha) {
        img.ensureAlpha();
        img.alphaRow(0)[1] = 10;
    }
    TIOParamsVals p;
    p.bitsPerSample = c.bitsPerSample;
    p.samplesPerPixel = c.samplesPerPixel;
    p.dpiX = p.dpiY = 300;
    const auto file = encodeBitmapFile(img, p);
    ASSERT_GE(file.size(), 54u);
    EXPECT_EQ(file[28] | (file[29] << 8), c.expectedBitCount);
    EXPECT_EQ(readU32(file, 38).value(), 11811u);  // horizontal pixels per metre

    Image back;
    TIOParamsVals q;
    q.bmpAlphaFromFourthByte = true;
    ASSERT_TRUE(decodeBitmap(file, false, back, q));
    ASSERT_EQ(back.width(), 4);
    if (c.expectedBitCount >= 4) {
        for (int i = 0; i < 8; ++i) EXPECT_EQ(back.pixel(i % 4, i / 4), img.pixel(i % 4, i / 4)) << i;
    }
    EXPECT_EQ(back.alpha(1, 0), c.expectedBitCount == 32 ? 10 : 255);

    const char* identify = TESS_IM_IDENTIFY;
    if (!test::toolPresent(identify)) GTEST_SKIP() << "ImageMagick identify not installed";
    test::TempDir dir;
    test::writeFile(dir.file("out.bmp"), file);
    const std::string info = test::capture(std::string(identify) + " -format '%w %h' " + test::quoted(dir.str("out.bmp")));
    EXPECT_EQ(info, "4 2");
}

INSTANTIATE_TEST_SUITE_P(Depths, BitmapEncode,
                         ::testing::Values(EncodeCase{1, 1, false, 1}, EncodeCase{4, 1, false, 4},
                                           EncodeCase{8, 1, false, 8}, EncodeCase{8, 3, false, 24},
                                           EncodeCase{8, 4, true, 32}, EncodeCase{8, 3, true, 32},
                                           EncodeCase{5, 3, false, 24}));

TEST(BitmapFile, ImageMagickBitmapsDecode) {
    const char* convert = TESS_IM_CONVERT;
    if (!test::toolPresent(convert)) GTEST_SKIP() << "ImageMagick convert not installed";
    test::TempDir dir;
    struct Case {
        const char* options;
        const char* prefix;  // ImageMagick output coder
        const char* name;
    };
    // An RGB gradient in the formats ImageMagick writes: default (v5 header), 3.x, 8-bit
    // palette, RLE8 and 16-bit.
    const Case cases[] = {{"", "", "v5.bmp"},
                          {"-type truecolor", "bmp3:", "t.bmp"},
                          {"-type palette", "bmp3:", "pal.bmp"},
                          {"-type palette -compress rle", "bmp3:", "rle.bmp"},
                          {"-define bmp:subtype=RGB565", "", "rgb565.bmp"}};
    for (const Case& c : cases) {
        const std::string file = dir.str(c.name);
        ASSERT_EQ(test::run(std::string(convert) + " -size 13x7 gradient:red-blue " + c.options + " " +
                            test::quoted(std::string(c.prefix) + file)),
                  0)
            << c.name;
        Image img;
        TIOParamsVals p;
        ASSERT_TRUE(loadFromFile(file, img, p)) << c.name;
        EXPECT_EQ(img.width(), 13) << c.name;
        EXPECT_EQ(img.height(), 7) << c.name;
        const auto ref = test::imageMagickRgba(convert, file, dir.str("ref.rgba"));
        const auto ours = test::rgbaOf(img);
        ASSERT_EQ(ref.size(), ours.size()) << c.name;
        int worst = 0;
        for (std::size_t i = 0; i < ref.size(); ++i) worst = std::max(worst, std::abs(ref[i] - ours[i]));
        EXPECT_LE(worst, 8) << c.name;  // 5-bit channels round differently
    }
}

}  // namespace
}  // namespace tess
