// Counts and tests of a module's resources by kind.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "resources/module_resources.h"
#include "resources/resource_statistics.h"
#include "support/module_builder.h"
#include "support/windres_module.h"

namespace tess {
namespace {

using test::ModuleBuilder;
using test::TempDir;

struct Counts {
    std::int32_t resources, images, bitmaps, png, groupIcons, icons, groupCursorFrames, cursors,
        extractable;
    bool groupIconType, groupCursorType;
};

void expectCounts(const std::string& path, const Counts& c) {
    EXPECT_EQ(CountResources(path), c.resources);
    EXPECT_EQ(CountImages(path), c.images);
    EXPECT_EQ(CountBitmaps(path), c.bitmaps);
    EXPECT_EQ(CountPngImages(path), c.png);
    EXPECT_EQ(CountGroupIcons(path), c.groupIcons);
    EXPECT_EQ(CountIcons(path), c.icons);
    EXPECT_EQ(CountGroupCursorFrames(path), c.groupCursorFrames);
    EXPECT_EQ(CountCursors(path), c.cursors);
    EXPECT_EQ(CountExtractable(path), c.extractable);
    EXPECT_EQ(HasBitmaps(path), c.bitmaps > 0);
    EXPECT_EQ(HasPngImages(path), c.png > 0);
    EXPECT_EQ(HasIcons(path), c.icons > 0);
    EXPECT_EQ(HasGroupIcons(path), c.groupIcons > 0);
    EXPECT_EQ(HasImages(path), c.images > 0);
    EXPECT_EQ(HasGroupIconType(path), c.groupIconType);
    EXPECT_EQ(HasGroupCursorType(path), c.groupCursorType);
}

struct StatisticsCase {
    const char* label;
    std::function<void(ModuleBuilder&)> fill;
    Counts expected;
};

class Statistics : public ::testing::TestWithParam<StatisticsCase> {};

TEST_P(Statistics, CountEachKindByItsTextName) {
    TempDir dir;
    ModuleBuilder b;
    GetParam().fill(b);
    expectCounts(b.writeTo(dir, "m.dll").string(), GetParam().expected);
}

const test::FrameSpec k16{16, 16, 8};
const test::FrameSpec k32{32, 32, 32};

INSTANTIATE_TEST_SUITE_P(
    Modules, Statistics,
    ::testing::Values(
        // Each icon image counts as a group frame and again as an "Icon" resource.
        StatisticsCase{"GroupIconOfFourFrames",
                       [](ModuleBuilder& b) { b.addGroupIcon("APP", {k16, k32, {48, 48, 32}, {256, 256, 32}}); },
                       {8, 8, 0, 0, 1, 4, 0, 0, 5, true, false}},
        StatisticsCase{"TwoGroupCursorsOfThreeAndTwo",
                       [](ModuleBuilder& b) {
                           b.addGroupCursor(1, {k16, k32, {48, 48, 1}}).addGroupCursor(2, {k16, k32});
                       },
                       {10, 10, 0, 0, 0, 0, 5, 5, 0, false, true}},
        StatisticsCase{"TwoBitmapsThreePng",
                       [](ModuleBuilder& b) {
                           b.addBitmap(1, 4, 4, 24).addBitmap(2, 8, 8, 8);
                           for (const char* n : {"A", "B", "C"}) b.addPng(n, 2, 2);
                       },
                       {5, 5, 2, 3, 0, 0, 0, 0, 5, false, false}},
        StatisticsCase{"LowerCasePngIsNotPng",
                       [](ModuleBuilder& b) { b.addPng("A", 2, 2, 0xFF000000, "png"); },
                       {1, 0, 0, 0, 0, 0, 0, 0, 0, false, false}},
        StatisticsCase{"ImageCountsButIMAGEDoesNot",
                       [](ModuleBuilder& b) {
                           b.addPng("A", 2, 2, 0xFF000000, "Image").addPng("B", 2, 2, 0xFF000000, "IMAGE");
                       },
                       {2, 1, 0, 0, 0, 0, 0, 0, 0, false, false}},
        StatisticsCase{"OtherTypesCountAsResourcesOnly",
                       [](ModuleBuilder& b) {
                           b.add(test::kRtRcData, 1, {1}).add(test::kRtVersion, 1, {2}).add(13, 1, {3});
                       },
                       {3, 0, 0, 0, 0, 0, 0, 0, 0, false, false}},
        StatisticsCase{"EmptyResourceDirectory", [](ModuleBuilder&) {}, {0, 0, 0, 0, 0, 0, 0, 0, 0, false, false}},
        StatisticsCase{"NoResources", [](ModuleBuilder& b) { b.writer().resourceDirectory(false); }, {0, 0, 0, 0, 0, 0, 0, 0, 0, false, false}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(StatisticsOfANonModule, AreZeroWithPngAndExtractableMinusOne) {
    TempDir dir;
    test::writeFile(dir.file("notes.dll"), std::string_view("plain text\n"));
    for (const std::string& path : {dir.str("notes.dll"), dir.str("missing.dll")}) {
        expectCounts(path, {0, 0, 0, -1, 0, 0, 0, 0, -1, false, false});
        EXPECT_FALSE(IsIconLikeType(path, 0));
        EXPECT_FALSE(IsIconLikeType(path, -1));
    }
}

TEST(IsIconLikeType, HoldsForGroupsIconsAndCursorsAndRaisesForBadIndices) {
    TempDir dir;
    ModuleBuilder b;
    b.addGroupIcon(1, {k16}).addGroupCursor(1, {k16}).addBitmap(1, 2, 2, 24).addPng("P", 1, 1);
    const std::string path = b.writeTo(dir, "m.dll").string();
    const TIEModuleResources r(path);
    ASSERT_EQ(r.TypeCount(), 6);
    for (std::int32_t t = 0; t < r.TypeCount(); ++t) {
        const std::string name = r.TypeName(t);
        const bool expected = name == "GroupIcon" || name == "GroupCursor" || name == "Icon" || name == "Cursor";
        EXPECT_EQ(IsIconLikeType(path, t), expected) << name;
    }
    EXPECT_THROW(IsIconLikeType(path, 6), std::out_of_range);
    EXPECT_THROW(IsIconLikeType(path, -1), std::out_of_range);
}

TEST(Statistics, CappedGroupCountsOnlyTheFramesPresent) {
    TempDir dir;
    ModuleBuilder b;
    // Count word 40, two entries present.
    b.add(test::kRtGroupIcon, 1, test::groupIconDirectory({{}, {}}, 40));
    const std::string path = b.writeTo(dir, "m.dll").string();
    EXPECT_EQ(CountResources(path), 2);
    EXPECT_EQ(CountImages(path), 2);
    EXPECT_EQ(CountGroupIcons(path), 1);
}

TEST(Statistics, OfAWindresModuleWithAFourFrameIcon) {
    if (!test::windresAvailable()) GTEST_SKIP() << "windres not installed";
    TempDir dir;
    std::vector<test::IconFileFrame> frames;
    for (std::uint16_t size : {16, 24, 32, 48})
        frames.push_back({size, size, 32, 0, 0, test::dibIconImage(size, size, 32)});
    test::writeFile(dir.file("app.ico"), test::icoFile(frames));
    std::string error;
    const auto module = test::buildWindresModule(dir, "APP ICON \"app.ico\"\n", &error);
    ASSERT_TRUE(module) << error;
    expectCounts(module->string(), {8, 8, 0, 0, 1, 4, 0, 0, 5, true, false});
}

}  // namespace
}  // namespace tess
