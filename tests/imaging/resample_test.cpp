// Resampling: exact copies, linear enlarging, box-average reducing, nearest for 1-bit.
#include "imaging/resample.h"

#include <gtest/gtest.h>

#include "platform/error.h"
#include "test_images.h"

namespace tess {
namespace {

Image row(std::initializer_list<int> values) {
    Image img(static_cast<int>(values.size()), 1, PixelFormat::Bgr24);
    int x = 0;
    for (int v : values) img.setPixel(x++, 0, Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v)});
    return img;
}

std::vector<int> blues(const Image& img) {
    std::vector<int> out;
    for (int x = 0; x < img.width(); ++x) out.push_back(img.pixel(x, 0).b);
    return out;
}

TEST(Resample, EqualSizeIsAnExactCopyWithAlpha) {
    Image img = test::photoImage(7, 5);
    img.ensureAlpha();
    img.alphaRow(1)[2] = 9;
    const Image out = resample(img, 7, 5);
    EXPECT_EQ(test::rgbaOf(out), test::rgbaOf(img));
}

TEST(Resample, EnlargingInterpolatesAndReducingAverages) {
    // 0 and 200 doubled: sample centres at -0.25, 0.25, 0.75, 1.25 of the source.
    EXPECT_EQ(blues(resample(row({0, 200}), 4, 1)), (std::vector<int>{0, 50, 150, 200}));
    // Pairs averaged when halving; thirds weighted when reducing 3 to 2.
    EXPECT_EQ(blues(resample(row({0, 100, 200, 50}), 2, 1)), (std::vector<int>{50, 125}));
    EXPECT_EQ(blues(resample(row({0, 90, 180}), 2, 1)), (std::vector<int>{30, 150}));
}

TEST(Resample, AlphaFollowsTheFilter) {
    Image img = row({10, 10});
    img.ensureAlpha();
    img.alphaRow(0)[0] = 0;
    const Image out = resample(img, 1, 1);
    ASSERT_TRUE(out.hasAlpha());
    EXPECT_NEAR(out.alpha(0, 0), 128, 1);
}

TEST(Resample, OneBitImagesUseTheNearestPixel) {
    Image bw(2, 2, PixelFormat::BlackWhite1);
    bw.setBit(1, 0, true);
    const Image out = resample(bw, 4, 4);
    ASSERT_EQ(out.format(), PixelFormat::BlackWhite1);
    EXPECT_FALSE(out.bit(1, 0));
    EXPECT_TRUE(out.bit(2, 0));
    EXPECT_TRUE(out.bit(3, 1));
    EXPECT_FALSE(out.bit(3, 2));
}

TEST(Resample, InvalidTargetSizesRaise) {
    const Image img = test::gradientImage(2, 2);
    EXPECT_THROW(resample(img, 0, 4), Error);
    EXPECT_THROW(resample(img, 4, -1), Error);
    EXPECT_THROW(resample(img, 1 << 15, (1 << 13) + 1), Error);
    EXPECT_THROW(resample(Image(), 4, 4), Error);
}

}  // namespace
}  // namespace tess
