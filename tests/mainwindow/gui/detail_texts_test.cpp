// Texts of the detail panel and the root-folder hint.
#include "mainwindow/detail_texts.h"

#include <clocale>

#include <gtest/gtest.h>

namespace tess {
namespace {

TEST(DetailTexts, PreviewFormatCodeIsCaseSensitiveAndSkipsImage) {
    const std::pair<const char*, int> cases[] = {
        {"GroupIcon", 6}, {"Icon", 6},  {"GroupCursor", 7}, {"Cursor", 7}, {"Bitmap", 5},
        {"PNG", 8},       {"png", 0},   {"Image", 0},       {"IMAGE", 0},  {"Menu", 0},
    };
    for (const auto& [type, code] : cases) EXPECT_EQ(previewFormatCode(type), code) << type;
    EXPECT_EQ(previewKindText(6), "Icon");
    EXPECT_EQ(previewKindText(7), "Cursor");
    EXPECT_EQ(previewKindText(5), "Bitmap");
    EXPECT_EQ(previewKindText(8), "PNG");
    EXPECT_EQ(previewKindText(0), "");
}

TEST(DetailTexts, DimensionsAndColours) {
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(dimensionText(256, 256), "256 pixels x 256 pixels");
    EXPECT_EQ(shortDimensionText(48, 32), "48 x 32");
    EXPECT_EQ(colorText(32), "RGBA 32 bit");
    EXPECT_EQ(colorText(24), "RGB 24 bit");
    EXPECT_EQ(colorText(15), "RGB 15 bit");
}

TEST(DetailTexts, RootFolderHintNamesTheFourCategoryFolders) {
    const std::string expected =
        "The root destination folder is the parent folder for all extracted images.\n\r\n\r"
        "Images will be saved to the following folders: \n\r"
        "Group Icons: /data/out/GROUPICONS\n\r"
        "Icons: /data/out/ICONS\n\r"
        "Bitmaps: /data/out/BMP\n\r"
        "PNG Images: /data/out/PNG";
    EXPECT_EQ(rootFolderHint("/data/out"), expected);
    EXPECT_EQ(rootFolderHint("/data/out/"), expected);
    EXPECT_NE(rootFolderHint("").find("Icons: /ICONS\n\r"), std::string::npos);
}

}  // namespace
}  // namespace tess
