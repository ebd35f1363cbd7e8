#include "mainwindow/name_routines.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "support/temp_dir.h"

namespace tess {
namespace {

struct TextCase {
    const char* input;
    const char* expected;
};
void PrintTo(const TextCase& c, std::ostream* os) { *os << '"' << c.input << '"'; }

class ModuleBaseNameCases : public ::testing::TestWithParam<TextCase> {};
TEST_P(ModuleBaseNameCases, LastPartCutAtFirstDot) {
    EXPECT_EQ(ModuleBaseName(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, ModuleBaseNameCases,
    ::testing::Values(TextCase{"C:\\Windows\\System32\\shell32.dll", "shell32"},
                      TextCase{"D:\\Apps\\My.Tool.exe", "My"}, TextCase{"setup", "setup"},
                      TextCase{"/usr/lib/wine/x86_64-windows/shell32.dll", "shell32"},
                      TextCase{"C:\\x\\.hidden.dll", ""}, TextCase{"archive.tar.dll", "archive"},
                      TextCase{"C:notepad.exe", "notepad"}, TextCase{"dir.v2/file", "file"}));

class LastPathPartCases : public ::testing::TestWithParam<TextCase> {};
TEST_P(LastPathPartCases, AfterSeparatorElseAfterColon) {
    EXPECT_EQ(LastPathPart(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, LastPathPartCases,
    ::testing::Values(TextCase{"C:notepad.exe", "notepad.exe"}, TextCase{"a\\b/c", "c"},
                      TextCase{"a/b\\c", "c"}, TextCase{"C:\\x:y\\z", "z"},
                      TextCase{"plain", "plain"}, TextCase{"dir/", ""}, TextCase{"", ""}));

class CapitalizeWordsCases : public ::testing::TestWithParam<TextCase> {};
TEST_P(CapitalizeWordsCases, UpperAfterSeparatorsLowerElsewhere) {
    EXPECT_EQ(CapitalizeWords(GetParam().input), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, CapitalizeWordsCases,
    ::testing::Values(TextCase{"shell32", "Shell32"}, TextCase{"IMAGERES", "Imageres"},
                      TextCase{"my icons", "My Icons"}, TextCase{"c:\\tools\\app", "C:\\Tools\\App"},
                      TextCase{"/usr/lib", "/Usr/Lib"}, TextCase{"a.b", "A.B"},
                      TextCase{"x-ray", "X-ray"}, TextCase{"a,b;c:d", "A,B;C:D"},
                      // The test looks at the input: two separators in a row both count.
                      TextCase{"a  b", "A  B"}, TextCase{"\xC3\xA9T\xC3\x89", "\xC3\xA9t\xC3\x89"},
                      TextCase{"", ""}));

TEST(NameRoutines, ReverseAndDropFirstChar) {
    EXPECT_EQ(ReverseText("abc"), "cba");
    EXPECT_EQ(ReverseText(""), "");
    EXPECT_EQ(DropFirstChar(".dll"), "dll");
    EXPECT_EQ(DropFirstChar("x"), "");
    EXPECT_EQ(DropFirstChar(""), "");
}

class ThousandsCases : public ::testing::TestWithParam<TextCase> {};
TEST_P(ThousandsCases, SeparatorEveryThreeDigitsFromTheRight) {
    EXPECT_EQ(InsertThousandSeparators(GetParam().input, ","), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, ThousandsCases,
    ::testing::Values(TextCase{"", ""}, TextCase{"7", "7"}, TextCase{"999", "999"},
                      TextCase{"1000", "1,000"}, TextCase{"123456", "123,456"},
                      TextCase{"1234567", "1,234,567"}, TextCase{"2147483647", "2,147,483,647"},
                      TextCase{"-1234", "-1,234"}, TextCase{"-123", "-,123"}));

TEST(NameRoutines, MultiByteSeparatorsKeepDigitsInPlace) {
    // U+202F, the narrow no-break space some locales group with.
    EXPECT_EQ(InsertThousandSeparators("1234567", "\xE2\x80\xAF"),
              "1\xE2\x80\xAF" "234\xE2\x80\xAF" "567");
}

TEST(NameRoutines, CLocaleGroupsWithComma) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    EXPECT_EQ(IntToThousands(0), "0");
    EXPECT_EQ(IntToThousands(1234567), "1,234,567");
    EXPECT_EQ(IntToThousands(-2147483647 - 1), "-2,147,483,648");
    EXPECT_EQ(FormatThousands("1000"), "1,000");
}

struct SizeCase {
    std::int64_t bytes;
    const char* expected;
};
void PrintTo(const SizeCase& c, std::ostream* os) { *os << c.bytes; }

class FileSizeTextCases : public ::testing::TestWithParam<SizeCase> {};
TEST_P(FileSizeTextCases, UnitAndTwoDecimals) {
    ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
    EXPECT_EQ(FileSizeText(GetParam().bytes), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Table, FileSizeTextCases,
    ::testing::Values(SizeCase{0, " Bytes"}, SizeCase{1, "1 Bytes"}, SizeCase{1023, "1023 Bytes"},
                      SizeCase{1024, "1 KB"}, SizeCase{1536, "1.5 KB"},
                      // 1.125 is exact in binary and rounds half up.
                      SizeCase{1152, "1.13 KB"}, SizeCase{1048575, "1024 KB"},
                      SizeCase{1048576, "1 MB"}, SizeCase{5000000, "4.77 MB"},
                      SizeCase{1073741823, "1024 MB"}, SizeCase{1073741824, "1 GB"},
                      SizeCase{2147483648LL, "2 GB"}, SizeCase{5905580032LL, "5.5 GB"},
                      SizeCase{-5, "-5 Bytes"}));

// Locales other than C are optional on a build machine.
TEST(NameRoutines, LocaleSeparatorsFollowTheLocale) {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "de_DE"};
    const char* found = nullptr;
    for (const char* name : names) {
        if (std::setlocale(LC_ALL, name) != nullptr) {
            found = name;
            break;
        }
    }
    if (found == nullptr) GTEST_SKIP() << "no German locale installed";
    EXPECT_EQ(FileSizeText(1536), "1,5 KB");
    EXPECT_EQ(IntToThousands(1234567), "1.234.567");
    std::setlocale(LC_ALL, "C");
}

TEST(NameRoutines, FormatExtensionCoversTheCodeTable) {
    const char* table[] = {"",      ".tif", ".gif", ".jpg", ".pcx",  ".bmp", ".ico", ".cur",
                           ".png",  ".wmf", ".emf", ".tga", ".ppm",  ".jp2", ".j2k", ".avi",
                           ".wbmp", ".ps",  ".pdf", ".dcx", ".raw",  ".braw", ".wmv", ".mpeg",
                           ".psd",  ".iev", ".lyr", ".all", ".dcm",  ".wdp"};
    for (int code = 0; code <= 29; ++code) EXPECT_EQ(FormatExtension(code), table[code]) << code;
    EXPECT_EQ(FormatExtension(30), "");
    EXPECT_EQ(FormatExtension(-1), "");
}

TEST(NameRoutines, ColorDepthTextTable) {
    struct Case {
        int samples, bits;
        const char* label;
    } cases[] = {{4, 8, "RGBA 32-Bit"}, {3, 8, "RGB 24-Bit"}, {1, 8, "RGB 8-Bit"},
                 {1, 4, "RGB 4-Bit"},   {1, 2, "RGB 2-Bit"},  {1, 1, "Unknown"},
                 {3, 5, "Unknown"},     {1, 32, "Unknown"},   {2, 8, "Unknown"},
                 {8, 4, "Unknown"},     {0, 0, "Unknown"}};
    for (const Case& c : cases) {
        EXPECT_EQ(ColorDepthText(c.samples, c.bits), c.label) << c.samples << "," << c.bits;
    }
}

TEST(NameRoutines, IsModuleFileNameChecksTheLastPartsExtension) {
    for (const char* yes : {"EXPLORER.EXE", "a\\b.Dll", "x.icl", "x.bpl", "x.ocx", "x.scr",
                            "x.cpl", "/usr/lib/shell32.dll", "C:x.exe"}) {
        EXPECT_TRUE(IsModuleFileName(yes)) << yes;
    }
    for (const char* no : {"x.mui", "x.ime", "x.dll.bak", "readme", "c:\\x.y\\file",
                           "dir.dll/file", ".dllx", "x.dl", ""}) {
        EXPECT_FALSE(IsModuleFileName(no)) << no;
    }
}

TEST(NameRoutines, FileSizeOfIsReexported) {
    test::TempDir dir;
    test::writeFile(dir.file("m.dll"), std::string_view("MZ"));
    EXPECT_EQ(FileSizeOf(dir.str("m.dll")), 2);
    EXPECT_EQ(FileSizeOf(dir.str("none.dll")), -1);
}

}  // namespace
}  // namespace tess
