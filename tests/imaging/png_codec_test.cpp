// PNG decoding parameters, encoding modes, and refusal of corrupt or bomb streams.
#include "imaging/png_codec.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "imaging/image_io.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace tess {
namespace {

using test::ByteBuilder;

// A PNG chunk: length, type, data, CRC.
void chunk(ByteBuilder& b, const char* type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    b.u8(data.size() >> 24).u8(data.size() >> 16).u8(data.size() >> 8).u8(data.size());
    b.append(body);
    const auto crc = static_cast<std::uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    b.u8(crc >> 24).u8(crc >> 16).u8(crc >> 8).u8(crc);
}

std::vector<std::uint8_t> be32(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 24), static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

// A PNG with the given header and raw (unfiltered-with-filter-byte) scanlines compressed.
std::vector<std::uint8_t> makePng(std::uint32_t w, std::uint32_t h, int depth, int colourType,
                                  const std::vector<std::uint8_t>& raw, const std::vector<std::uint8_t>& plte = {},
                                  const std::vector<std::uint8_t>& trns = {}) {
    ByteBuilder b;
    b.append({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A});
    std::vector<std::uint8_t> ihdr = be32(w);
    const auto hh = be32(h);
    ihdr.insert(ihdr.end(), hh.begin(), hh.end());
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(depth), static_cast<std::uint8_t>(colourType), 0, 0, 0});
    chunk(b, "IHDR", ihdr);
    if (!plte.empty()) chunk(b, "PLTE", plte);
    if (!trns.empty()) chunk(b, "tRNS", trns);
    uLongf len = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> z(len);
    compress2(z.data(), &len, raw.data(), static_cast<uLong>(raw.size()), 9);
    z.resize(len);
    chunk(b, "IDAT", z);
    chunk(b, "IEND", {});
    return b.bytes;
}

TEST(PngDecode, ParametersPerColourType) {
    struct Case {
        const char* what;
        std::vector<std::uint8_t> png;
        int bitsPerSample, samplesPerPixel;
        bool alpha;
        PixelFormat format;
    };
    const Case cases[] = {
        {"grey 1-bit", makePng(2, 1, 1, 0, {0, 0x80}), 1, 1, false, PixelFormat::BlackWhite1},
        {"grey 8-bit", makePng(1, 1, 8, 0, {0, 77}), 8, 1, false, PixelFormat::Bgr24},
        {"palette 2-bit with tRNS", makePng(1, 1, 2, 3, {0, 0x40}, {1, 2, 3, 4, 5, 6}, {255, 0}), 2, 1, true,
         PixelFormat::Bgr24},
        {"grey+alpha", makePng(1, 1, 8, 4, {0, 9, 128}), 8, 2, true, PixelFormat::Bgr24},
        {"RGB 16-bit", makePng(1, 1, 16, 2, {0, 1, 0, 2, 0, 3, 0}), 16, 3, false, PixelFormat::Bgr24},
        {"RGBA opaque", makePng(1, 1, 8, 6, {0, 1, 2, 3, 255}), 8, 4, false, PixelFormat::Bgr24},
    };
    for (const Case& c : cases) {
        Image img;
        TIOParamsVals p;
        ASSERT_TRUE(decodePng(c.png, img, p)) << c.what;
        EXPECT_EQ(p.bitsPerSample, c.bitsPerSample) << c.what;
        EXPECT_EQ(p.samplesPerPixel, c.samplesPerPixel) << c.what;
        EXPECT_EQ(img.hasAlpha(), c.alpha) << c.what;
        EXPECT_EQ(img.format(), c.format) << c.what;
    }
    Image img;
    TIOParamsVals p;
    ASSERT_TRUE(decodePng(makePng(1, 1, 2, 3, {0, 0x40}, {1, 2, 3, 4, 5, 6}, {255, 0}), img, p));
    EXPECT_EQ(img.pixel(0, 0), (Rgb{6, 5, 4}));  // palette entry 1 is r4 g5 b6
    EXPECT_EQ(img.alpha(0, 0), 0);
    EXPECT_EQ(p.colorMap.size(), 2u);
}

TEST(PngDecode, CorruptTruncatedAndBombStreamsAreRefused) {
    const auto good = makePng(4, 4, 8, 2, std::vector<std::uint8_t>(4 * 13, 50));
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
    };
    auto flip = [&](std::size_t at) {
        auto b = good;
        b[at] ^= 0xFF;
        return b;
    };
    // 60000 x 60000 grey: 3.6e9 pixels beyond the pixel bound, with a tiny stream.
    const auto huge = makePng(60000, 60000, 8, 0, std::vector<std::uint8_t>(100, 0));
    // 16000 x 16000 1-bit grey: allowed pixels, but the stream cannot hold 32 MB of rows.
    const auto bomb = makePng(16000, 16000, 1, 0, std::vector<std::uint8_t>(2001 * 10, 0));
    const Case cases[] = {
        {"truncated", std::vector<std::uint8_t>(good.begin(), good.end() - 20)},
        {"bad CRC in IHDR", flip(29)},
        {"bad signature", flip(1)},
        {"zero width", makePng(0, 1, 8, 0, {0, 0})},
        {"bad bit depth", makePng(1, 1, 7, 0, {0, 0})},
        {"huge dimensions", huge},
        {"decompression bomb", bomb},
        {"empty", {}},
    };
    for (const Case& c : cases) {
        Image img;
        TIOParamsVals p;
        EXPECT_FALSE(decodePng(c.bytes, img, p)) << c.what;
        EXPECT_TRUE(img.isEmpty()) << c.what;
    }
}

struct EncodeCase {
    int samplesPerPixel, bitsPerSample;
    bool alpha;
    const char* identifyType;  // ImageMagick's %[type]-independent colour type check
    int pngColourType;
};

class PngEncode : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(PngEncode, ColourTypeFollowsParametersAndRoundTrips) {
    const EncodeCase c = GetParam();
    Image img(5, 4, PixelFormat::Bgr24);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            img.setPixel(x, y, (x + y) % 2 ? Rgb{255, 255, 255} : Rgb{static_cast<std::uint8_t>(x * 60), 0, static_cast<std::uint8_t>(y * 80)});
    if (c.alpha) {
        img.ensureAlpha();
        img.alphaRow(1)[2] = 0;
    }
    TIOParamsVals p;
    p.samplesPerPixel = c.samplesPerPixel;
    p.bitsPerSample = c.bitsPerSample;
    const auto png = encodePng(img, p);
    ASSERT_GT(png.size(), 33u);
    EXPECT_EQ(png[25], c.pngColourType);  // IHDR colour type
    Image back;
    TIOParamsVals q;
    ASSERT_TRUE(decodePng(png, back, q));
    EXPECT_EQ(back.alpha(2, 1), c.alpha ? 0 : 255);
    if (c.bitsPerSample != 1) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                if (c.alpha && x == 2 && y == 1) continue;
                EXPECT_EQ(back.pixel(x, y), img.pixel(x, y)) << x << "," << y;
            }
    }
    const char* convert = TESS_IM_CONVERT;
    if (!test::toolPresent(convert)) GTEST_SKIP() << "ImageMagick convert not installed";
    test::TempDir dir;
    test::writeFile(dir.file("o.png"), png);
    const auto ref = test::imageMagickRgba(convert, dir.str("o.png"), dir.str("o.rgba"));
    EXPECT_EQ(ref, test::rgbaOf(back));
}

INSTANTIATE_TEST_SUITE_P(Modes, PngEncode,
                         ::testing::Values(EncodeCase{1, 1, false, "", 0}, EncodeCase{1, 8, false, "", 3},
                                           EncodeCase{1, 4, true, "", 3}, EncodeCase{3, 8, false, "", 2},
                                           EncodeCase{4, 8, true, "", 6}, EncodeCase{4, 8, false, "", 2},
                                           EncodeCase{2, 8, true, "", 6}));

}  // namespace
}  // namespace tess
