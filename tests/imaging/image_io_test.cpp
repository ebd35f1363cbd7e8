// Load and save dispatch: format codes, the resource-data flag, extensions and errors.
#include "imaging/image_io.h"

#include <gtest/gtest.h>

#include "imaging/bitmap_codec.h"
#include "imaging/file_io.h"
#include "platform/error.h"
#include "support/temp_dir.h"
#include "test_images.h"

namespace tess {
namespace {

TEST(LoadFromMemory, NullOrEmptyBufferAborts) {
    const std::uint8_t byte = 0;
    for (int code : {FormatCode::Bitmap, FormatCode::Icon, FormatCode::Cursor, FormatCode::Png}) {
        Image img = test::gradientImage(2, 2);
        TIOParamsVals p;
        p.isResource = true;
        EXPECT_FALSE(loadFromMemory(nullptr, 10, code, img, p)) << code;
        EXPECT_TRUE(p.aborted);
        p.aborted = false;
        EXPECT_FALSE(loadFromMemory(&byte, 0, code, img, p)) << code;
        EXPECT_TRUE(p.aborted);
        EXPECT_EQ(img.width(), 2);  // untouched
    }
    TIOParamsVals p;
    Image img;
    EXPECT_FALSE(loadFromMemory(&byte, 1, 42, img, p));
    EXPECT_TRUE(p.aborted);
}

TEST(LoadFromMemory, BitmapResourceFlagSelectsHeaderlessOrFileLayout) {
    const Image src = test::gradientImage(3, 2);
    TIOParamsVals wp;
    const auto file = encodeBitmapFile(src, wp);
    const std::vector<std::uint8_t> resource(file.begin() + 14, file.end());
    Image img;
    TIOParamsVals p;
    p.isResource = true;
    ASSERT_TRUE(loadFromMemory(resource.data(), resource.size(), FormatCode::Bitmap, img, p));
    EXPECT_EQ(p.fileType, FormatCode::Bitmap);
    EXPECT_EQ(img.pixel(2, 1), src.pixel(2, 1));
    EXPECT_FALSE(loadFromMemory(file.data(), file.size(), FormatCode::Bitmap, img, p));
    p.isResource = false;
    ASSERT_TRUE(loadFromMemory(file.data(), file.size(), FormatCode::Bitmap, img, p));
    EXPECT_FALSE(loadFromMemory(resource.data(), resource.size(), FormatCode::Bitmap, img, p));
}

TEST(SaveToFile, UnwritableExtensionNamesItAndWritesNothing) {
    test::TempDir dir;
    const Image img = test::gradientImage(2, 2);
    const TIOParamsVals p;
    for (const char* name : {"x.tga", "x.cur", "noextension"}) {
        try {
            saveToFile(dir.str(name), FormatCode::ByExtension, img, p);
            FAIL() << name;
        } catch (const Error& e) {
            const std::string ext = lowerExtension(name);
            EXPECT_NE(std::string(e.what()).find("\"" + ext + "\""), std::string::npos) << e.what();
        }
        EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << name;
    }
    EXPECT_THROW(saveToFile(dir.str("x.bmp"), 99, img, p), Error);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));
}

TEST(SaveToFile, ExtensionsInAnyCaseRoundTripThroughLoadFromFile) {
    test::TempDir dir;
    Image img = test::gradientImage(12, 9);
    img.ensureAlpha();
    img.alphaRow(4)[4] = 0;
    TIOParamsVals p;
    p.samplesPerPixel = 4;
    p.icoSizes[0] = {12, 9};
    p.icoBitCounts[0] = 32;
    struct Case {
        const char* name;
        int code;
        bool lossless;
    };
    for (const Case c : {Case{"a.ICO", 6, true}, Case{"a.Png", 8, true}, Case{"a.bmp", 5, true}, Case{"a.JPG", 3, false}}) {
        saveToFile(dir.str(c.name), FormatCode::ByExtension, img, p);
        Image back;
        TIOParamsVals q;
        q.bmpAlphaFromFourthByte = true;
        ASSERT_TRUE(loadFromFile(dir.str(c.name), back, q)) << c.name;
        EXPECT_EQ(q.fileType, c.code);
        EXPECT_EQ(back.width(), 12);
        EXPECT_EQ(back.height(), 9);
        if (c.lossless) {
            EXPECT_EQ(back.alpha(4, 4), 0) << c.name;
            EXPECT_EQ(back.pixel(7, 3), img.pixel(7, 3)) << c.name;
        } else {
            const Rgb a = back.pixel(7, 3), b = img.pixel(7, 3);
            EXPECT_NEAR(a.r, b.r, 24);
            EXPECT_NEAR(a.g, b.g, 24);
        }
    }
    // Code 6 writes an icon whatever the name.
    saveToFile(dir.str("icon.bin"), FormatCode::Icon, img, p);
    EXPECT_EQ(test::readFile(dir.file("icon.bin"))[2], 1);
}

TEST(SaveToFile, JpegQualityNinetyAndImageMagickAgrees) {
    const char* identify = TESS_IM_IDENTIFY;
    if (!test::toolPresent(identify)) GTEST_SKIP() << "ImageMagick identify not installed";
    test::TempDir dir;
    const Image img = test::photoImage(40, 30);
    TIOParamsVals p;
    saveToFile(dir.str("q.jpg"), FormatCode::ByExtension, img, p);
    EXPECT_EQ(test::capture(std::string(identify) + " -format '%w %h %Q' " + test::quoted(dir.str("q.jpg"))), "40 30 90");
    p.jpegQuality = 50;
    saveToFile(dir.str("q50.jpeg"), FormatCode::ByExtension, img, p);
    EXPECT_EQ(test::capture(std::string(identify) + " -format '%Q' " + test::quoted(dir.str("q50.jpeg"))), "50");
}

TEST(LoadFromFile, MissingFileAndUnknownExtensionRaise) {
    test::TempDir dir;
    Image img;
    TIOParamsVals p;
    try {
        loadFromFile(dir.str("none.png"), img, p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + dir.str("none.png") + "\". ", 0), 0u);
    }
    std::filesystem::create_directory(dir.file("folder.png"));
    try {
        loadFromFile(dir.str("folder.png"), img, p);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Cannot open file \"" + dir.str("folder.png") + "\". ", 0), 0u);
    }
    test::writeFile(dir.file("x.xyz"), std::string_view("data"));
    EXPECT_THROW(loadFromFile(dir.str("x.xyz"), img, p), Error);
    test::writeFile(dir.file("bad.jpg"), std::string_view("\xFF\xD8garbage"));
    EXPECT_FALSE(loadFromFile(dir.str("bad.jpg"), img, p));
    EXPECT_TRUE(p.aborted);
}

}  // namespace
}  // namespace tess
