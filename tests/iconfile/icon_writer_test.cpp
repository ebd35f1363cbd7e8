// WriteIconFile and WriteIconSizes: file layout, worked sizes, encodings and masks.
#include <gtest/gtest.h>

#include "iconfile/icon_codec.h"
#include "imaging/image_io.h"
#include "platform/byte_reader.h"
#include "platform/error.h"
#include "support/temp_dir.h"
#include "imaging/test_images.h"

namespace tess {
namespace {

// One directory entry as read back from a written file.
struct DirEntry {
    int width, height, colourCount, reserved, planes, bitCount;
    std::uint32_t bytes, offset;
};

DirEntry entryOf(Bytes f, int k) {
    const std::size_t at = 6 + 16 * static_cast<std::size_t>(k);
    return DirEntry{f[at], f[at + 1], f[at + 2], f[at + 3], *readU16(f, at + 4), *readU16(f, at + 6),
                    *readU32(f, at + 8), *readU32(f, at + 12)};
}

TIOParamsVals paramsFor(int samplesPerPixel, int bitsPerSample) {
    TIOParamsVals p;
    p.samplesPerPixel = samplesPerPixel;
    p.bitsPerSample = bitsPerSample;
    return p;
}

std::vector<std::uint8_t> writeOne(const Image& img, const TIOParamsVals& p, test::TempDir& dir) {
    const IconFrameSource src{&img, &p};
    WriteIconFile(dir.str("one.ico"), std::span(&src, 1));
    return test::readFile(dir.file("one.ico"));
}

TEST(IconFileLayout, ThreeFramesDirectoryThenFramesWithoutGaps) {
    test::TempDir dir;
    const Image a = test::gradientImage(16, 16), b = test::gradientImage(32, 32), c = test::gradientImage(48, 48);
    const TIOParamsVals p24 = paramsFor(3, 8), p32 = paramsFor(4, 8), p8 = paramsFor(1, 8);
    const IconFrameSource frames[] = {{&a, &p24}, {&b, &p32}, {&c, &p8}};
    WriteIconFile(dir.str("three.ico"), frames);
    const auto f = test::readFile(dir.file("three.ico"));
    EXPECT_EQ(*readU16(f, 0), 0);  // reserved
    EXPECT_EQ(*readU16(f, 2), 1);  // type
    EXPECT_EQ(*readU16(f, 4), 3);  // frames
    std::uint32_t expectedOffset = 54;  // 6 + 3 x 16: directory occupies 6..53
    for (int k = 0; k < 3; ++k) {
        const DirEntry e = entryOf(f, k);
        EXPECT_EQ(e.offset, expectedOffset) << k;
        EXPECT_EQ(*readU32(f, e.offset), 40u) << k;  // information header
        expectedOffset += e.bytes;
    }
    EXPECT_EQ(expectedOffset, f.size());
}

struct WorkedCase {
    int size;
    int samplesPerPixel, bitsPerSample;
    std::uint32_t bytesInResource;
    std::uint32_t imageSize;
    DirEntry entry;  // width, height, colour count, reserved, planes, bit count (bytes/offset unused)
};

class IconWorkedFigures : public ::testing::TestWithParam<WorkedCase> {};

TEST_P(IconWorkedFigures, BytesInResourceImageSizeAndEntryFields) {
    const WorkedCase c = GetParam();
    test::TempDir dir;
    const auto f = writeOne(test::gradientImage(c.size, c.size), paramsFor(c.samplesPerPixel, c.bitsPerSample), dir);
    const DirEntry e = entryOf(f, 0);
    EXPECT_EQ(e.bytes, c.bytesInResource);
    EXPECT_EQ(e.width, c.entry.width);
    EXPECT_EQ(e.height, c.entry.height);
    EXPECT_EQ(e.colourCount, c.entry.colourCount);
    EXPECT_EQ(e.reserved, 0);
    EXPECT_EQ(e.planes, c.entry.planes);
    EXPECT_EQ(e.bitCount, c.entry.bitCount);
    EXPECT_EQ(*readI32(f, 22 + 4), c.size);       // header width
    EXPECT_EQ(*readI32(f, 22 + 8), 2 * c.size);   // header height: colour plus mask rows
    EXPECT_EQ(*readU32(f, 22 + 20), c.imageSize);  // image size field
    EXPECT_EQ(f.size(), 22 + c.bytesInResource);
}

INSTANTIATE_TEST_SUITE_P(
    Worked, IconWorkedFigures,
    ::testing::Values(WorkedCase{16, 1, 4, 40 + 64 + 128 + 64, 160, {16, 16, 16, 0, 0, 0, 0, 0}},
                      WorkedCase{48, 1, 8, 40 + 1024 + 2304 + 384, 2592, {48, 48, 255, 0, 0, 0, 0, 0}},
                      WorkedCase{32, 4, 8, 40 + 4096 + 128, 0, {32, 32, 0, 0, 1, 32, 0, 0}},
                      WorkedCase{256, 4, 8, 40 + 262144 + 8192, 0, {0, 0, 0, 0, 1, 32, 0, 0}},
                      WorkedCase{16, 1, 1, 40 + 8 + 64 + 64, 64 + 32, {16, 16, 2, 0, 0, 0, 0, 0}},
                      WorkedCase{16, 3, 8, 40 + 768 + 64, 768, {16, 16, 0, 0, 1, 24, 0, 0}}));

TEST(IconWriters, TwentyFourBitImageSizeDiffersBetweenTheWriters) {
    test::TempDir dir;
    const Image img = test::gradientImage(10, 4);
    TIOParamsVals p = paramsFor(3, 8);
    const auto viaFile = writeOne(img, p, dir);
    EXPECT_EQ(*readU32(viaFile, 22 + 20), 4u * 32u);  // H x row(24) = 4 x 32
    p.icoSizes[0] = {10, 4};
    p.icoBitCounts[0] = 24;
    WriteIconSizes(dir.str("sizes.ico"), img, p);
    const auto viaSizes = test::readFile(dir.file("sizes.ico"));
    EXPECT_EQ(*readU32(viaSizes, 22 + 20), 0u);
}

TEST(IconWriters, ResolutionWrittenAsPixelsPerMetre) {
    test::TempDir dir;
    TIOParamsVals p = paramsFor(3, 8);
    for (auto [dpi, ppm] : {std::pair{300, 11811u}, {96, 3780u}, {72, 2835u}}) {
        p.dpiX = p.dpiY = dpi;
        const auto f = writeOne(test::gradientImage(2, 2), p, dir);
        EXPECT_EQ(*readU32(f, 22 + 24), ppm) << dpi;
        EXPECT_EQ(*readU32(f, 22 + 28), ppm) << dpi;
    }
}

TEST(IconMask, AlphaBelow255IsTransparentAndNoAlphaGivesZeros) {
    test::TempDir dir;
    Image img = test::gradientImage(9, 1);
    // Row of 9: 9 bits of mask in a 4-byte mask row.
    auto maskRow = [&](const Image& im) {
        const auto f = writeOne(im, paramsFor(3, 8), dir);
        const std::size_t colourBytes = 28;  // row(24) for 9 pixels
        return std::vector<std::uint8_t>(f.begin() + 22 + 40 + colourBytes, f.end());
    };
    EXPECT_EQ(maskRow(img), (std::vector<std::uint8_t>{0, 0, 0, 0}));
    img.ensureAlpha();
    img.alphaRow(0)[0] = 254;  // transparent
    img.alphaRow(0)[1] = 255;  // opaque
    img.alphaRow(0)[8] = 0;    // transparent, in the second byte's top bit
    EXPECT_EQ(maskRow(img), (std::vector<std::uint8_t>{0x80, 0x80, 0, 0}));
}

TEST(IconEncoding, GreyImageAsFourBitGetsTheSixteenStepRampAndRedDiv16) {
    test::TempDir dir;
    Image img(32, 1, PixelFormat::Bgr24);  // 32 grey levels, more than 16
    for (int x = 0; x < 32; ++x) {
        const auto v = static_cast<std::uint8_t>(x * 8 + 3);
        img.setPixel(x, 0, Rgb{v, v, v});
    }
    const auto f = writeOne(img, paramsFor(1, 4), dir);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(f[22 + 40 + 4 * k], 16 * k) << k;  // blue of table entry k
        EXPECT_EQ(f[22 + 40 + 4 * k + 2], 16 * k) << k;
    }
    const std::size_t rows = 22 + 40 + 64;
    for (int x = 0; x < 32; ++x) {
        const int ix = (x & 1) ? (f[rows + x / 2] & 0x0F) : (f[rows + x / 2] >> 4);
        EXPECT_EQ(ix, (x * 8 + 3) / 16) << x;
    }
}

TEST(IconEncoding, GreyImageWithFewLevelsKeepsWhiteAsFourBitFrame) {
    // Black, grey 128 and white: three levels fit 16 entries exactly, so white stays 255
    // rather than becoming the ramp's 240.
    test::TempDir dir;
    Image img(3, 1, PixelFormat::Bgr24);
    img.setPixel(0, 0, Rgb{255, 255, 255});
    img.setPixel(1, 0, Rgb{128, 128, 128});
    const auto f = writeOne(img, paramsFor(1, 4), dir);
    EXPECT_EQ(std::vector<std::uint8_t>(f.begin() + 62, f.begin() + 74),
              (std::vector<std::uint8_t>{255, 255, 255, 0, 128, 128, 128, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f[62 + 64], 0x01);  // indices 0 1, then 2 in the high nibble of the next byte
    EXPECT_EQ(f[62 + 65], 0x20);
}

TEST(IconEncoding, TenColoursAsEightBitBySizesWriterWithIndexZeroForTransparent) {
    test::TempDir dir;
    Image img(10, 2, PixelFormat::Bgr24);
    for (int x = 0; x < 10; ++x) {
        img.setPixel(x, 0, Rgb{static_cast<std::uint8_t>(20 * x), 100, static_cast<std::uint8_t>(200 - x)});
        img.setPixel(x, 1, img.pixel(x, 0));
    }
    img.ensureAlpha();
    img.alphaRow(1)[3] = 128;  // bottom-left area: one transparent pixel
    TIOParamsVals p = paramsFor(3, 8);
    p.icoSizes[0] = {10, 2};
    p.icoBitCounts[0] = 8;
    WriteIconSizes(dir.str("ten.ico"), img, p);
    const auto f = test::readFile(dir.file("ten.ico"));
    const std::size_t table = 22 + 40;
    EXPECT_EQ(f[table + 0], 0);  // entry 0 black
    EXPECT_EQ(f[table + 1], 0);
    EXPECT_EQ(f[table + 2], 0);
    for (int k = 1; k <= 10; ++k) {
        const Rgb c = img.pixel(k - 1, 0);
        EXPECT_EQ(f[table + 4 * k], c.b) << k;
        EXPECT_EQ(f[table + 4 * k + 1], c.g) << k;
        EXPECT_EQ(f[table + 4 * k + 2], c.r) << k;
    }
    const std::size_t rows = table + 1024;  // row(8) of 10 pixels = 12; bottom row first
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(f[rows + x], x == 3 ? 0 : x + 1) << "bottom " << x;
        EXPECT_EQ(f[rows + 12 + x], x + 1) << "top " << x;
    }
}

TEST(IconEncoding, PairsNoEncodingHoldsKeepColourAndTransparency) {
    // Grey+alpha PNG frames (2 x 8) and 16-bit PNGs (x 16) are written at 32 bits with
    // alpha, or 24 bits without; other odd pairs likewise.
    struct Case {
        int spp, bps;
        bool alpha;
        int bitCount;
    };
    const Case cases[] = {{2, 8, true, 32}, {4, 16, true, 32}, {3, 16, false, 24}, {1, 16, false, 24},
                          {1, 2, false, 24}, {3, 5, false, 24}, {1, 32, true, 32}};
    test::TempDir dir;
    for (const Case& c : cases) {
        Image img = test::gradientImage(4, 4);
        if (c.alpha) {
            img.ensureAlpha();
            img.alphaRow(0)[0] = 100;
        }
        const auto f = writeOne(img, paramsFor(c.spp, c.bps), dir);
        EXPECT_EQ(*readU16(f, 22 + 14), c.bitCount) << c.spp << "x" << c.bps;
        if (c.bitCount == 32) {
            // Bottom-up: image row 0 is the last colour row; its first pixel keeps alpha 100.
            EXPECT_EQ(f[22 + 40 + 3 * 16 + 3], 100);
        }
    }
}

TEST(IconEncoding, OneBitImageIsAlwaysAOneBitFrameWithBlackThenWhite) {
    test::TempDir dir;
    Image img(3, 1, PixelFormat::BlackWhite1);
    img.setBit(0, 0, true);
    img.setBit(2, 0, true);
    const auto f = writeOne(img, paramsFor(3, 8), dir);  // parameters say 24-bit
    EXPECT_EQ(*readU16(f, 22 + 14), 1);
    EXPECT_EQ(std::vector<std::uint8_t>(f.begin() + 62, f.begin() + 70), (std::vector<std::uint8_t>{0, 0, 0, 0, 255, 255, 255, 0}));
    EXPECT_EQ(f[70], 0xA0);  // bits 1 0 1
}

TEST(IconSizes, BitCountsPickEncodingsAndSizesResample) {
    struct Case {
        int requested;
        int written;
    };
    const Case cases[] = {{1, 1}, {4, 4}, {8, 8}, {32, 32}, {24, 24}, {2, 24}, {3, 24}, {16, 24}, {-5, 24}, {0, 32}};
    test::TempDir dir;
    Image img = test::gradientImage(20, 20);
    for (const Case& c : cases) {
        TIOParamsVals p = paramsFor(4, 8);  // the pair for bit count 0: 32-bit
        p.icoSizes[0] = {20, 20};
        p.icoBitCounts[0] = c.requested;
        p.icoSizes[1] = {8, 6};  // resampled second frame
        p.icoBitCounts[1] = 24;
        WriteIconSizes(dir.str("s.ico"), img, p);
        const auto f = test::readFile(dir.file("s.ico"));
        ASSERT_EQ(*readU16(f, 4), 2);
        EXPECT_EQ(*readU16(f, entryOf(f, 0).offset + 14), c.written) << c.requested;
        const DirEntry second = entryOf(f, 1);
        EXPECT_EQ(second.width, 8);
        EXPECT_EQ(second.height, 6);
    }
    // With an alpha channel, a count no encoding holds keeps it at 32 bits; 24 stays 24.
    img.ensureAlpha();
    img.alphaRow(0)[0] = 100;
    for (auto [requested, written] : {std::pair{16, 32}, {15, 32}, {2, 32}, {24, 24}}) {
        TIOParamsVals p = paramsFor(2, 8);
        p.icoSizes[0] = {20, 20};
        p.icoBitCounts[0] = requested;
        WriteIconSizes(dir.str("a.ico"), img, p);
        const auto f = test::readFile(dir.file("a.ico"));
        EXPECT_EQ(*readU16(f, 22 + 14), written) << requested;
    }
}

TEST(IconSizes, LeadingEntriesOnlyAndAnEmptyListWritesAHeader) {
    test::TempDir dir;
    const Image img = test::gradientImage(4, 4);
    TIOParamsVals p = paramsFor(3, 8);
    p.icoSizes[0] = {4, 4};
    p.icoSizes[1] = {0, 0};
    p.icoSizes[2] = {16, 16};  // after a zero width: not written
    WriteIconSizes(dir.str("a.ico"), img, p);
    EXPECT_EQ(*readU16(test::readFile(dir.file("a.ico")), 4), 1);
    p.icoSizes[0] = {0, 0};
    WriteIconSizes(dir.str("b.ico"), img, p);
    EXPECT_EQ(test::readFile(dir.file("b.ico")), (std::vector<std::uint8_t>{0, 0, 1, 0, 0, 0}));
    WriteIconFile(dir.str("c.ico"), {});
    EXPECT_EQ(test::readFile(dir.file("c.ico")), (std::vector<std::uint8_t>{0, 0, 1, 0, 0, 0}));
}

TEST(IconWriters, FailuresRaiseBeforeWritingAndNameTheFile) {
    test::TempDir dir;
    const Image img = test::gradientImage(4, 4);
    const TIOParamsVals p = paramsFor(3, 8);
    const IconFrameSource src{&img, &p};
    const std::string missing = dir.str("no/such/folder/x.ico");
    try {
        WriteIconFile(missing, std::span(&src, 1));
        FAIL() << "expected an error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + missing + "\". ", 0), 0u) << e.what();
    }
    const Image empty;
    const IconFrameSource none{&empty, &p};
    EXPECT_THROW(WriteIconFile(dir.str("e.ico"), std::span(&none, 1)), Error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("e.ico")));
}

TEST(IconWriters, ImageMagickReadsEveryDepth) {
    const char* convert = TESS_IM_CONVERT;
    if (!test::toolPresent(convert)) GTEST_SKIP() << "ImageMagick convert not installed";
    test::TempDir dir;
    // Few colours so that 4- and 8-bit frames are exact; one transparent pixel.
    Image img(6, 5, PixelFormat::Bgr24);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) img.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 50), 90});
    img.ensureAlpha();
    img.alphaRow(2)[3] = 0;
    for (auto [spp, bps] : {std::pair{1, 4}, {1, 8}, {3, 8}, {4, 8}}) {
        TIOParamsVals p = paramsFor(spp, bps);
        const IconFrameSource src{&img, &p};
        WriteIconFile(dir.str("im.ico"), std::span(&src, 1));
        const auto ref = test::imageMagickRgba(convert, dir.str("im.ico"), dir.str("im.rgba"));
        ASSERT_EQ(ref.size(), 6u * 5u * 4u) << spp << "x" << bps;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 6; ++x) {
                const std::uint8_t* px = ref.data() + 4 * (y * 6 + x);
                if (x == 3 && y == 2) {
                    EXPECT_EQ(px[3], 0) << spp << "x" << bps;
                    continue;
                }
                const Rgb c = img.pixel(x, y);
                EXPECT_EQ(px[3], 255);
                if (bps == 4 && spp == 1) continue;  // 30 colours in 16 entries: approximate
                EXPECT_EQ((Rgb{px[2], px[1], px[0]}), c) << spp << "x" << bps << " at " << x << "," << y;
            }
    }
}

}  // namespace
}  // namespace tess
