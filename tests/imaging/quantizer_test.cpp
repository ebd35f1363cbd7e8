// TIEQuantizer: rule order, exact palettes, grey ramps, and the two quantizers proper.
#include "imaging/quantizer.h"

#include <gtest/gtest.h>

#include <set>

#include "imaging/box_split.h"
#include "imaging/neuquant.h"
#include "test_images.h"

namespace tess {
namespace {

Image greyRamp(int levels) {
    Image img(levels, 1, PixelFormat::Bgr24);
    for (int x = 0; x < levels; ++x) {
        const auto v = static_cast<std::uint8_t>(levels == 1 ? 0 : x * 255 / (levels - 1));
        img.setPixel(x, 0, Rgb{v, v, v});
    }
    return img;
}

double meanSquaredError(const Image& img, const TIEQuantizer& q) {
    double sum = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Rgb a = img.pixel(x, y);
            const Rgb b = q.palette()[q.index(a)];
            sum += (a.r - b.r) * (a.r - b.r) + (a.g - b.g) * (a.g - b.g) + (a.b - b.b) * (a.b - b.b);
        }
    return sum / (3.0 * img.width() * img.height());
}

TEST(QuantizerGreyRamp, SixteenAndFifteenEntriesFollowTruncatedSteps) {
    struct Case {
        int colours;
        std::vector<int> entries;
    };
    const Case cases[] = {
        {16, {0, 16, 32, 48, 64, 80, 96, 112, 128, 144, 160, 176, 192, 208, 224, 240}},
        {15, {0, 17, 34, 51, 68, 85, 102, 119, 136, 153, 170, 187, 204, 221, 238}},
    };
    const Image img = greyRamp(256);  // 256 levels: more than either count
    for (const Case& c : cases) {
        const TIEQuantizer q(img, c.colours);
        ASSERT_EQ(q.rule(), TIEQuantizer::Rule::GreyRamp) << c.colours;
        ASSERT_EQ(q.palette().size(), c.entries.size());
        for (std::size_t k = 0; k < c.entries.size(); ++k) {
            EXPECT_EQ(q.palette()[k], (Rgb{static_cast<std::uint8_t>(c.entries[k]), static_cast<std::uint8_t>(c.entries[k]),
                                            static_cast<std::uint8_t>(c.entries[k])}))
                << c.colours << " entry " << k;
        }
        // index = trunc(red * N / 256)
        EXPECT_EQ(q.RGBIndex(0x000000), 0);
        EXPECT_EQ(q.RGBIndex(0xFFFFFF), c.colours - 1);
        EXPECT_EQ(q.index(Rgb{100, 100, 100}), 100 * c.colours / 256);
    }
}

TEST(QuantizerRuleOrder, GreyImageWithFewLevelsKeepsThemExactly) {
    // Black, white and mid grey: three levels, 16 colours allowed. White must stay 255,
    // not become the ramp's 240.
    Image img(3, 1, PixelFormat::Bgr24);
    img.setPixel(0, 0, Rgb{255, 255, 255});
    img.setPixel(1, 0, Rgb{0, 0, 0});
    img.setPixel(2, 0, Rgb{128, 128, 128});
    const TIEQuantizer q(img, 16);
    EXPECT_EQ(q.rule(), TIEQuantizer::Rule::Exact);
    EXPECT_EQ(q.palette()[q.index(Rgb{255, 255, 255})], (Rgb{255, 255, 255}));
    EXPECT_EQ(q.palette()[q.index(Rgb{128, 128, 128})], (Rgb{128, 128, 128}));
}

TEST(QuantizerExact, PaletteInOrderOfFirstAppearanceTopRowFirst) {
    Image img(3, 2, PixelFormat::Bgr24);
    const Rgb red{0, 0, 255}, green{0, 255, 0}, blue{255, 0, 0};
    img.setPixel(0, 0, green);  // first
    img.setPixel(1, 0, red);    // second
    img.setPixel(2, 0, green);
    img.setPixel(0, 1, blue);   // third
    img.setPixel(1, 1, red);
    img.setPixel(2, 1, blue);
    const TIEQuantizer q(img, 4);
    ASSERT_EQ(q.rule(), TIEQuantizer::Rule::Exact);
    EXPECT_EQ(q.usedCount(), 3);
    EXPECT_EQ(q.palette()[0], green);
    EXPECT_EQ(q.palette()[1], red);
    EXPECT_EQ(q.palette()[2], blue);
    EXPECT_EQ(q.RGBIndex(0xFF0000), 1);  // red as red*65536
    EXPECT_EQ(q.index(blue), 2);
}

TEST(QuantizerExact, BoundaryBetweenExactAndReduction) {
    // N distinct colours fit exactly; N + 1 do not.
    for (int n : {2, 15, 16, 255}) {
        for (int distinct : {n, n + 1}) {
            Image img(distinct, 1, PixelFormat::Bgr24);
            for (int x = 0; x < distinct; ++x) img.setPixel(x, 0, Rgb{static_cast<std::uint8_t>(x), 7, 0});
            const TIEQuantizer q(img, n);
            const auto expected = distinct <= n ? TIEQuantizer::Rule::Exact
                                  : n < 128     ? TIEQuantizer::Rule::BoxSplit
                                                : TIEQuantizer::Rule::NeuQuant;
            EXPECT_EQ(q.rule(), expected) << n << " colours, " << distinct << " distinct";
        }
    }
}

TEST(QuantizerProper, ReducesManyColoursWithBoundedError) {
    const Image img = test::photoImage(64, 64);
    for (int n : {2, 16, 127, 128, 256}) {
        const TIEQuantizer q(img, n);
        ASSERT_EQ(static_cast<int>(q.palette().size()), n);
        EXPECT_EQ(q.rule(), n < 128 ? TIEQuantizer::Rule::BoxSplit : TIEQuantizer::Rule::NeuQuant);
        std::set<int> used;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const int ix = q.index(img.pixel(x, y));
                ASSERT_GE(ix, 0);
                ASSERT_LT(ix, n);
                used.insert(ix);
            }
        EXPECT_GT(used.size(), static_cast<std::size_t>(n / 2)) << n;
        // A 16-colour palette of this image must do far better than a single mean colour
        // (whose error is about the image's variance, > 1500 here).
        if (n >= 16) {
            EXPECT_LT(meanSquaredError(img, q), n >= 128 ? 100.0 : 400.0) << n;
        }
    }
}

TEST(QuantizerProper, BoxSplitSeparatesTwoClusters) {
    // Half dark red, half light blue, with a little noise: two boxes give the two means.
    Image img(32, 32, PixelFormat::Bgr24);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            img.setPixel(x, y, x < 16 ? Rgb{10, 10, static_cast<std::uint8_t>(150 + (y % 4))}
                                      : Rgb{static_cast<std::uint8_t>(240 - (y % 4)), 200, 30});
    const BoxSplitQuantizer q(img, 2);
    ASSERT_EQ(q.palette().size(), 2u);
    EXPECT_NE(q.index(img.pixel(0, 0)), q.index(img.pixel(31, 0)));
    const Rgb left = q.palette()[q.index(img.pixel(0, 0))];
    EXPECT_NEAR(left.r, 151, 1);
    EXPECT_EQ(left.b, 10);
}

TEST(QuantizerProper, NeuQuantOnTinyImageStaysInRange) {
    // Fewer pixels than the sampling primes: every pixel is a sample.
    const Image img = test::gradientImage(7, 5);
    const NeuQuant q(img, 256);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const int ix = q.index(img.pixel(x, y));
            ASSERT_GE(ix, 0);
            ASSERT_LT(ix, 256);
        }
}

}  // namespace
}  // namespace tess
