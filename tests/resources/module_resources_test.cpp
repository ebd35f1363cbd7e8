// The reader on well-formed modules: lists, orders, identifier texts, type text names,
// group frames, data, bookmarks. Modules come from the PE writer and from windres + ld.
#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>

#include "resources/module_resources.h"
#include "support/module_builder.h"
#include "support/windres_module.h"

namespace tess {
namespace {

using test::ByteVec;
using test::ModuleBuilder;
using test::PeFormat;
using test::PeWriter;
using test::TempDir;

std::vector<std::string> typeIds(const TIEModuleResources& r) {
    std::vector<std::string> out;
    for (std::int32_t t = 0; t < r.TypeCount(); ++t) out.push_back(r.TypeId(t));
    return out;
}

std::vector<std::string> nameIds(const TIEModuleResources& r, std::int32_t t) {
    std::vector<std::string> out;
    for (std::int32_t n = 0; n < r.NameCount(t); ++n) out.push_back(r.NameId(t, n));
    return out;
}

// `size` by reference: it is read after the data call has set it.
ByteVec bytesOf(const std::uint8_t* data, const std::int32_t& size) {
    return data ? ByteVec(data, data + size) : ByteVec();
}

// ---------------------------------------------------------------------------------------
// Files that are not PE images.

struct NotAModuleCase {
    const char* label;
    ByteVec bytes;
};

class NotAModule : public ::testing::TestWithParam<NotAModuleCase> {};

TEST_P(NotAModule, GivesAnInvalidReaderWithNoTypes) {
    TempDir dir;
    test::writeFile(dir.file("m.dll"), GetParam().bytes);
    TIEModuleResources r(dir.str("m.dll"));
    EXPECT_FALSE(r.IsValid());
    EXPECT_EQ(r.TypeCount(), 0);
    EXPECT_EQ(r.FindType("GroupIcon"), -1);
    std::int32_t size = 5;
    EXPECT_EQ(r.FindResourceData("Icon", "INTRESOURCE:1", size), nullptr);
    EXPECT_EQ(size, 5);
    EXPECT_THROW(r.TypeName(0), std::out_of_range);
}

ByteVec textBytes(const char* s) { return ByteVec(s, s + std::strlen(s)); }

ByteVec neExecutable() {
    // A 16-bit executable: "MZ" header whose 0x3C field points at an "NE" header.
    ByteVec b(0x100, 0);
    b[0] = 'M';
    b[1] = 'Z';
    b[0x3C] = 0x80;
    b[0x80] = 'N';
    b[0x81] = 'E';
    return b;
}

ByteVec peWithMagic(std::uint16_t magic) {
    test::PeFile pe = PeWriter().add(test::kRtRcData, 1, {1}).build();
    pe.put16(pe.layout.optionalHeader, magic);
    return pe.bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, NotAModule,
    ::testing::Values(
        NotAModuleCase{"TextFile", textBytes("just some text, not a module\n")},
        NotAModuleCase{"IconFile", test::icoFile({{16, 16, 32, 0, 0, test::dibIconImage(16, 16, 32)}})},
        NotAModuleCase{"NeExecutable", neExecutable()},
        NotAModuleCase{"OnlyMz", textBytes("MZ")},
        NotAModuleCase{"RomImageMagic", peWithMagic(0x107)},
        NotAModuleCase{"ZeroMagic", peWithMagic(0)}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(NotAModuleFile, EmptyMissingAndFolderAreInvalid) {
    TempDir dir;
    test::writeFile(dir.file("empty.dll"), ByteVec{});
    EXPECT_FALSE(TIEModuleResources(dir.str("empty.dll")).IsValid());
    EXPECT_FALSE(TIEModuleResources(dir.str("missing.dll")).IsValid());
    EXPECT_FALSE(TIEModuleResources(dir.path().string()).IsValid());
}

TEST(ModuleWithoutResources, IsValidWithNoTypes) {
    TempDir dir;
    PeWriter().resourceDirectory(false).build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    EXPECT_TRUE(r.IsValid());
    EXPECT_EQ(r.TypeCount(), 0);
}

TEST(ModulePath, BackslashSeparatorsOpenTheSameFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("sub"));
    PeWriter().add(test::kRtRcData, 1, {1}).build().writeTo(dir.file("sub") / "m.dll");
    TIEModuleResources r(dir.path().string() + "\\sub\\m.dll");
    EXPECT_TRUE(r.IsValid());
    EXPECT_EQ(r.TypeCount(), 1);
}

// ---------------------------------------------------------------------------------------
// Lists and identifier texts.

class BothFormats : public ::testing::TestWithParam<PeFormat> {};

TEST_P(BothFormats, ListsTypesAndNamesInDirectoryOrder) {
    TempDir dir;
    PeWriter w(GetParam());
    w.add(13, 5, {1}).add(test::kRtBitmap, 2, {2}).add(test::kRtBitmap, "ZED", {3})
        .add("PNG", "LOGO", {4}).add("Image", 1, {5}).add("IMAGE", 1, {6});
    w.build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    ASSERT_TRUE(r.IsValid());
    // String ids first, by code unit; then integer ids ascending.
    EXPECT_EQ(typeIds(r), (std::vector<std::string>{"IMAGE", "Image", "PNG", "INTRESOURCE:2",
                                                     "INTRESOURCE:13"}));
    EXPECT_EQ(nameIds(r, 3), (std::vector<std::string>{"ZED", "INTRESOURCE:2"}));
    EXPECT_EQ(r.TypeName(3), "Bitmap");
    EXPECT_EQ(r.TypeName(4), "INTRESOURCE:13");
    EXPECT_EQ(r.TypeName(0), "IMAGE");
    EXPECT_EQ(r.TypeName(1), "Image");
}

INSTANTIATE_TEST_SUITE_P(Formats, BothFormats, ::testing::Values(PeFormat::Pe32, PeFormat::Pe32Plus),
                         [](const auto& info) { return info.param == PeFormat::Pe32 ? "Pe32" : "Pe32Plus"; });

TEST(DirectoryOrder, IsKeptEvenWhenTheModuleDoesNotSortIt) {
    TempDir dir;
    PeWriter w;
    w.sortEntries(false).add(test::kRtIcon, 9, {1}).add(test::kRtIcon, 3, {2}).add(test::kRtBitmap, 1, {3});
    w.build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    EXPECT_EQ(typeIds(r), (std::vector<std::string>{"INTRESOURCE:3", "INTRESOURCE:2"}));
    EXPECT_EQ(nameIds(r, 0), (std::vector<std::string>{"INTRESOURCE:9", "INTRESOURCE:3"}));
}

TEST(TypeTextNames, MapTheIntegerTableAndKeepEverythingElse) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"INTRESOURCE:1", "Cursor"},      {"INTRESOURCE:2", "Bitmap"},     {"INTRESOURCE:3", "Icon"},
        {"INTRESOURCE:4", "Menu"},        {"INTRESOURCE:5", "Dialog"},     {"INTRESOURCE:6", "String"},
        {"INTRESOURCE:7", "FontDir"},     {"INTRESOURCE:8", "Font"},       {"INTRESOURCE:9", "Accelerator"},
        {"INTRESOURCE:10", "RCData"},     {"INTRESOURCE:11", "MessageTable"},
        {"INTRESOURCE:12", "GroupCursor"}, {"INTRESOURCE:14", "GroupIcon"}, {"INTRESOURCE:16", "Version"},
        {"INTRESOURCE:17", "DlgInclude"}, {"INTRESOURCE:19", "PlugPlay"},  {"INTRESOURCE:20", "VXD"},
        {"INTRESOURCE:21", "AniCursor"},  {"INTRESOURCE:22", "AniIcon"},   {"INTRESOURCE:23", "HTML"},
        {"INTRESOURCE:24", "Manifest"},
        // Outside the table, or not a number: the identifier text unchanged.
        {"INTRESOURCE:0", "INTRESOURCE:0"},   {"INTRESOURCE:13", "INTRESOURCE:13"},
        {"INTRESOURCE:15", "INTRESOURCE:15"}, {"INTRESOURCE:18", "INTRESOURCE:18"},
        {"INTRESOURCE:25", "INTRESOURCE:25"}, {"INTRESOURCE:x3", "INTRESOURCE:x3"},
        {"INTRESOURCE:", "INTRESOURCE:"},     {"intresource:3", "intresource:3"},
        {"PNG", "PNG"},                       {"png", "png"},
    };
    for (const auto& [id, name] : cases) EXPECT_EQ(TypeTextName(id), name) << id;
}

TEST(StringTypeSpelledLikeAnIntegerId, KeepsItsNameAndItsOwnData) {
    TempDir dir;
    PeWriter().add("INTRESOURCE:14", 1, {1}).add(test::kRtGroupIcon, 1, {2}).build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    ASSERT_EQ(r.TypeCount(), 2);
    EXPECT_EQ(r.TypeName(0), "INTRESOURCE:14");
    EXPECT_FALSE(r.IsGroupType(0));
    EXPECT_EQ(r.TypeName(1), "GroupIcon");
    // Each listed entry hands out its own bytes, though both have the same identifier text.
    std::int32_t size = 0;
    EXPECT_EQ(bytesOf(r.ResourceData(0, 0, size), size), ByteVec{1});
    EXPECT_EQ(bytesOf(r.ResourceData(1, 0, size), size), ByteVec{2});
}

TEST(FindType, MatchesIdentifierTextIgnoringCaseThenTextNameExactly) {
    TempDir dir;
    PeWriter().add(test::kRtBitmap, 1, {1}).add(test::kRtGroupIcon, 1, {2}).add("PNG", 1, {3})
        .build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    ASSERT_EQ(typeIds(r), (std::vector<std::string>{"PNG", "INTRESOURCE:2", "INTRESOURCE:14"}));
    EXPECT_EQ(r.FindType("GroupIcon"), 2);
    EXPECT_EQ(r.FindType("Bitmap"), 1);
    EXPECT_EQ(r.FindType("bitmap"), -1);
    EXPECT_EQ(r.FindType("png"), 0);
    EXPECT_EQ(r.FindType("intresource:14"), 2);
    EXPECT_EQ(r.FindType("Icon"), -1);
}

TEST(Indices, OutOfRangeRaisesNamingTheIndexAndNegativeNameCountIsZero) {
    TempDir dir;
    PeWriter().add(test::kRtBitmap, 1, {1}).build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    EXPECT_EQ(r.NameCount(-1), 0);
    EXPECT_EQ(r.NameCount(0), 1);
    try {
        r.TypeId(1);
        FAIL() << "no exception";
    } catch (const std::out_of_range& e) {
        EXPECT_NE(std::string(e.what()).find("index 1"), std::string::npos) << e.what();
    }
    EXPECT_THROW(r.NameCount(1), std::out_of_range);
    EXPECT_THROW(r.NameId(0, 1), std::out_of_range);
    EXPECT_THROW(r.NameId(0, -1), std::out_of_range);
    std::int32_t size = 0;
    EXPECT_THROW(r.ResourceData(-1, 0, size), std::out_of_range);
    EXPECT_THROW(r.FrameCount(0, 1), std::out_of_range);
}

TEST(StringIds, AreConvertedToUtf8CappedAndRepaired) {
    TempDir dir;
    std::u16string longName(1500, u'A');
    PeWriter()
        .add("PNG", "Grüße€", {1})
        .add("PNG", test::ResId::utf16(std::u16string{u'a', 0xD800, u'b'}), {2})  // lone surrogate
        .add("PNG", test::ResId::utf16(std::u16string{0xD83D, 0xDE00}), {3})       // U+1F600
        .add("PNG", test::ResId::utf16(longName), {4})
        .build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    const auto names = nameIds(r, 0);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], std::string(1024, 'A'));
    EXPECT_EQ(names[1], "Grüße€");
    EXPECT_EQ(names[2], "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(names[3], "\xF0\x9F\x98\x80");
}

// ---------------------------------------------------------------------------------------
// Data and languages.

TEST(ResourceData, PointsAtTheStoredBytesAndReportsTheirSize) {
    TempDir dir;
    const ByteVec payload = {10, 20, 30, 40, 50};
    PeWriter().add(test::kRtRcData, 1, payload).add(test::kRtRcData, 2, {}).build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    std::int32_t size = 77;
    EXPECT_EQ(bytesOf(r.ResourceData(0, 0, size), size), payload);
    EXPECT_EQ(size, 5);
    // Zero-sized: no first byte to point at.
    size = 77;
    EXPECT_EQ(r.ResourceData(0, 1, size), nullptr);
    EXPECT_EQ(size, 0);
    size = 77;
    EXPECT_EQ(bytesOf(r.FindResourceData("RCData", "intresource:1", size), size), payload);
    size = 77;
    EXPECT_EQ(r.FindResourceData("RCData", "INTRESOURCE:3", size), nullptr);
    EXPECT_EQ(size, 77);
    EXPECT_EQ(r.FindResourceData("Icon", "INTRESOURCE:1", size), nullptr);
    EXPECT_EQ(size, 77);
}

struct LanguageCase {
    const char* label;
    std::vector<std::uint16_t> languages;  // in directory order; data byte = index
    bool sorted;
    std::uint8_t expected;  // index of the language whose data is returned
};

class LanguageChoice : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, PrefersNeutralThenUsEnglishThenTheFirst) {
    TempDir dir;
    PeWriter w;
    w.sortEntries(GetParam().sorted);
    for (std::size_t i = 0; i < GetParam().languages.size(); ++i)
        w.add(test::kRtRcData, 1, {static_cast<std::uint8_t>(i)}, GetParam().languages[i]);
    w.add(test::kRtRcData, 2, {9});
    w.build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    ASSERT_EQ(r.NameCount(0), 2);  // one name however many languages
    std::int32_t size = 0;
    const std::uint8_t* data = r.ResourceData(0, 0, size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Languages, LanguageChoice,
    ::testing::Values(LanguageCase{"NeutralAfterOthers", {0x0407, 0x0409, 0x0000}, false, 2},
                      LanguageCase{"UsEnglishAfterGerman", {0x0407, 0x0409}, false, 1},
                      LanguageCase{"FirstInDirectoryOrder", {0x040C, 0x0407}, false, 0},
                      LanguageCase{"Single", {0x0411}, true, 0}),
    [](const auto& info) { return std::string(info.param.label); });

// ---------------------------------------------------------------------------------------
// Groups and frames.

// The 34-byte group icon of two frames: 32 x 32 and 256 x 256, both 32-bit.
ByteVec twoFrameGroupIcon() {
    return {
        0, 0,        // reserved
        1, 0,        // kind: icon
        2, 0,        // two entries
        32, 32,      // entry 0: width 32, height 32
        0, 0,        //   colour count, reserved
        1, 0,        //   planes
        32, 0,       //   bit count 32
        0, 0, 0, 0,  //   bytes in resource (not read)
        1, 0,        //   image name 1
        0, 0,        // entry 1: width 0 and height 0 mean 256
        0, 0,        //   colour count, reserved
        1, 0,        //   planes
        32, 0,       //   bit count 32
        0, 0, 0, 0,  //   bytes in resource
        2, 0,        //   image name 2
    };
}

struct GroupModule {
    TempDir dir;
    std::string path;
    ByteVec icon1 = test::dibIconImage(32, 32, 32);
    ByteVec icon2 = test::pngImage(256, 256);
    GroupModule() {
        PeWriter w;
        w.add(test::kRtGroupIcon, "APP", twoFrameGroupIcon())
            .add(test::kRtIcon, 1, icon1)
            .add(test::kRtIcon, 2, icon2)
            .add(test::kRtBitmap, 1, test::dibBitmap(4, 4, 24))
            // A group whose frame names image 7, which the module lacks.
            .add(test::kRtGroupIcon, 7, test::groupIconDirectory({{16, 16, 8, 7}}))
            .add(test::kRtGroupCursor, 1, test::groupCursorDirectory({{32, 32, 1, 1}}))
            .add(test::kRtCursor, 1, test::cursorImage(3, 4, test::dibIconImage(32, 32, 1)));
        path = dir.str("m.dll");
        w.build().writeTo(path);
    }
};

TEST(GroupIcon, TwoFrameDirectoryGivesBothFramesAndTheirImages) {
    GroupModule m;
    TIEModuleResources r(m.path);
    const std::int32_t g = r.FindType("GroupIcon");
    ASSERT_GE(g, 0);
    ASSERT_EQ(r.NameId(g, 0), "APP");
    EXPECT_TRUE(r.IsGroupType(g));
    EXPECT_EQ(r.FrameCount(g, 0), 2);
    EXPECT_EQ(r.FrameWidth(g, 0, 0), 32);
    EXPECT_EQ(r.FrameHeight(g, 0, 0), 32);
    EXPECT_EQ(r.FrameBitCount(g, 0, 0), 32);
    EXPECT_EQ(r.FrameWidth(g, 0, 1), 256);
    EXPECT_EQ(r.FrameHeight(g, 0, 1), 256);
    EXPECT_EQ(r.FrameBitCount(g, 0, 1), 32);
    EXPECT_EQ(r.FrameNameId(g, 0, 1), "INTRESOURCE:2");
    std::int32_t size = 0;
    EXPECT_EQ(bytesOf(r.FrameData(g, 0, 0, size), size), m.icon1);
    EXPECT_EQ(bytesOf(r.FrameData(g, 0, 1, size), size), m.icon2);
    // Past the last entry: nothing.
    EXPECT_EQ(r.FrameWidth(g, 0, 2), 0);
    EXPECT_EQ(r.FrameNameId(g, 0, 2), "");
    EXPECT_EQ(r.FrameWidth(g, 0, -1), 0);
}

TEST(GroupIcon, FrameNamingAMissingImageHasANameButNoData) {
    GroupModule m;
    TIEModuleResources r(m.path);
    const std::int32_t g = r.FindType("GroupIcon");
    ASSERT_EQ(r.NameId(g, 1), "INTRESOURCE:7");
    EXPECT_EQ(r.FrameNameId(g, 1, 0), "INTRESOURCE:7");
    std::int32_t size = 55;
    EXPECT_EQ(r.FrameData(g, 1, 0, size), nullptr);
    EXPECT_EQ(size, 55);
}

TEST(GroupIcon, BitCountIsTheStoredWordEvenWhenZero) {
    TempDir dir;
    test::GroupEntry entry;
    entry.bitCount = 0;
    entry.colorCount = 16;  // no fallback to the colour count
    PeWriter().add(test::kRtGroupIcon, 1, test::groupIconDirectory({entry})).build().writeTo(dir.file("m.dll"));
    TIEModuleResources r(dir.str("m.dll"));
    EXPECT_EQ(r.FrameCount(0, 0), 1);
    EXPECT_EQ(r.FrameBitCount(0, 0, 0), 0);
}

TEST(GroupCursor, EntryHeightIsHalvedAndImageIsTheCursorResource) {
    GroupModule m;
    TIEModuleResources r(m.path);
    const std::int32_t g = r.FindType("GroupCursor");
    ASSERT_GE(g, 0);
    EXPECT_EQ(r.FrameCount(g, 0), 1);
    EXPECT_EQ(r.FrameWidth(g, 0, 0), 32);
    EXPECT_EQ(r.FrameHeight(g, 0, 0), 32);  // stored 64
    EXPECT_EQ(r.FrameBitCount(g, 0, 0), 1);
    std::int32_t size = 0;
    const std::uint8_t* data = r.FrameData(g, 0, 0, size);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data[0], 3);  // hotspot x
    // An entry past the group's bytes reads as nothing, like an icon entry.
    EXPECT_EQ(r.FrameWidth(g, 0, 1), 0);
    EXPECT_EQ(r.FrameHeight(g, 0, 1), 0);
    EXPECT_EQ(r.FrameNameId(g, 0, 1), "");
    EXPECT_EQ(r.FrameData(g, 0, 1, size), nullptr);
}

TEST(NonGroupType, HasNoFrames) {
    GroupModule m;
    TIEModuleResources r(m.path);
    const std::int32_t b = r.FindType("Bitmap");
    ASSERT_GE(b, 0);
    EXPECT_FALSE(r.IsGroupType(b));
    EXPECT_FALSE(r.IsIconOrCursorType(b));
    EXPECT_EQ(r.FrameCount(b, 0), 0);
    EXPECT_EQ(r.FrameWidth(b, 0, 0), 0);
    EXPECT_EQ(r.FrameNameId(b, 0, 0), "");
    std::int32_t size = 0;
    EXPECT_EQ(r.FrameData(b, 0, 0, size), nullptr);
    EXPECT_TRUE(r.IsIconOrCursorType(r.FindType("Icon")));
    EXPECT_TRUE(r.IsIconOrCursorType(r.FindType("Cursor")));
}

TEST(Bookmarks, WholeResourceOrOneFrame) {
    TempDir dir;
    ModuleBuilder b;
    b.addGroupIcon("G", {{16, 16, 8}, {24, 24, 24}, {48, 48, 32, 0x80FF0000}});
    const std::string path = b.writeTo(dir, "m.dll").string();
    TIEModuleResources r(path);
    const std::int32_t g = r.FindType("GroupIcon");
    TIEResourceBookmark* whole = r.AddBookmark(g, 0, -1);
    TIEResourceBookmark* third = r.AddBookmark(g, 0, 2);
    EXPECT_EQ(whole->TypeIndex, g);
    EXPECT_EQ(third->FrameIndex, 2);
    std::int32_t size = 0;
    std::int32_t expectedSize = 0;
    EXPECT_EQ(r.BookmarkData(*whole, size), r.ResourceData(g, 0, expectedSize));
    EXPECT_EQ(size, 6 + 3 * 14);
    EXPECT_EQ(bytesOf(r.BookmarkData(*third, size), size), test::dibIconImage(48, 48, 32, 0x80FF0000));
}

// ---------------------------------------------------------------------------------------
// Modules built by windres + ld from .ico, .cur, .bmp and PNG files.

ByteVec bmpFile(const ByteVec& dib, std::uint32_t paletteBytes) {
    ByteVec out = {'B', 'M'};
    test::putU32(out, static_cast<std::uint32_t>(14 + dib.size()));  // file size
    test::putU32(out, 0);                                            // reserved
    test::putU32(out, 14 + 40 + paletteBytes);                       // pixel offset
    out.insert(out.end(), dib.begin(), dib.end());
    return out;
}

TEST_P(BothFormats, WindresModuleListsItsImagesAndFrames) {
    if (!test::windresAvailable(GetParam())) GTEST_SKIP() << "windres or the MinGW linker is not installed";
    TempDir dir;
    const ByteVec small = test::dibIconImage(16, 16, 4);
    const ByteVec large = test::pngImage(256, 256, 0xFF00FF00);
    test::writeFile(dir.file("app.ico"), test::icoFile({{16, 16, 4, 0, 0, small}, {256, 256, 32, 0, 0, large}}));
    const ByteVec cursorDib = test::dibIconImage(32, 32, 1);
    test::writeFile(dir.file("arrow.cur"), test::curFile({{32, 32, 1, 5, 6, cursorDib}}));
    const ByteVec bitmapDib = test::dibBitmap(8, 4, 8);
    test::writeFile(dir.file("pic.bmp"), bmpFile(bitmapDib, 256 * 4));
    const ByteVec png = test::pngImage(3, 2);
    test::writeFile(dir.file("logo.png"), png);
    std::string error;
    test::WindresOptions options;
    options.format = GetParam();
    const auto module = test::buildWindresModule(dir,
                                                 "APPICON ICON \"app.ico\"\n"
                                                 "ARROW CURSOR \"arrow.cur\"\n"
                                                 "5 BITMAP \"pic.bmp\"\n"
                                                 "LOGO PNG \"logo.png\"\n"
                                                 "1 13 { \"x\" }\n",
                                                 &error, options);
    ASSERT_TRUE(module) << error;
    TIEModuleResources r(module->string());
    ASSERT_TRUE(r.IsValid());
    std::vector<std::string> names;
    for (std::int32_t t = 0; t < r.TypeCount(); ++t) names.push_back(r.TypeName(t));
    EXPECT_EQ(names, (std::vector<std::string>{"PNG", "Cursor", "Bitmap", "Icon", "GroupCursor",
                                                "INTRESOURCE:13", "GroupIcon"}));
    const std::int32_t g = r.FindType("GroupIcon");
    ASSERT_EQ(r.FrameCount(g, 0), 2);
    EXPECT_EQ(r.FrameWidth(g, 0, 0), 16);
    EXPECT_EQ(r.FrameBitCount(g, 0, 0), 4);
    EXPECT_EQ(r.FrameWidth(g, 0, 1), 256);
    std::int32_t size = 0;
    EXPECT_EQ(bytesOf(r.FrameData(g, 0, 0, size), size), small);
    EXPECT_EQ(bytesOf(r.FrameData(g, 0, 1, size), size), large);
    const std::int32_t gc = r.FindType("GroupCursor");
    ASSERT_EQ(r.FrameCount(gc, 0), 1);
    EXPECT_EQ(r.FrameWidth(gc, 0, 0), 32);
    EXPECT_EQ(r.FrameHeight(gc, 0, 0), 32);
    const ByteVec cursor = bytesOf(r.FrameData(gc, 0, 0, size), size);
    EXPECT_EQ(cursor, test::cursorImage(5, 6, cursorDib));
    EXPECT_EQ(bytesOf(r.FindResourceData("Bitmap", "INTRESOURCE:5", size), size), bitmapDib);
    EXPECT_EQ(bytesOf(r.FindResourceData("PNG", "logo", size), size), png);
}

}  // namespace
}  // namespace tess
