#include "platform/ini_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "platform/error.h"
#include "support/temp_dir.h"

namespace tess {
namespace {

using test::TempDir;

std::string readText(const TempDir& dir, const char* name) {
    const auto bytes = test::readFile(dir.file(name));
    return std::string(bytes.begin(), bytes.end());
}

class IniFileTest : public ::testing::Test {
protected:
    IniFile withContent(std::string_view text) {
        test::writeFile(m_dir.file("s.ini"), text);
        return IniFile(m_dir.str("s.ini"));
    }
    std::string content() const { return readText(m_dir, "s.ini"); }

    TempDir m_dir;
};

TEST_F(IniFileTest, NamesMatchInAnyAsciiCaseAndValuesAreTrimmed) {
    IniFile ini = withContent("[Form Main]\r\n  left =  12 \t\r\nName=\"quoted value\"\r\n"
                              "Half=\"open\r\nMixed='x\"\r\nSingle='y'\r\n");
    EXPECT_EQ(ini.readString("FORM MAIN", "LEFT", "d"), "12");
    EXPECT_EQ(ini.readString("form main", "name", "d"), "quoted value");
    EXPECT_EQ(ini.readString("Form Main", "Half", "d"), "\"open");
    EXPECT_EQ(ini.readString("Form Main", "Mixed", "d"), "'x\"");
    EXPECT_EQ(ini.readString("Form Main", "Single", "d"), "y");
}

TEST_F(IniFileTest, AbsentKeyGivesDefaultButEmptyValueGivesEmpty) {
    IniFile ini = withContent("Outside=1\n[A]\nEmpty=\nNoEquals\n; Comment=2\n[B]\nOther=3\n");
    EXPECT_EQ(ini.readString("A", "Empty", "d"), "");
    EXPECT_EQ(ini.readString("A", "Missing", "d"), "d");
    EXPECT_EQ(ini.readString("A", "NoEquals", "d"), "d");
    EXPECT_EQ(ini.readString("A", "; Comment", "d"), "d");
    EXPECT_EQ(ini.readString("A", "Other", "d"), "d");
    EXPECT_EQ(ini.readString("", "Outside", "d"), "d");
    EXPECT_EQ(ini.readString("Missing", "Other", "d"), "d");
    EXPECT_EQ(IniFile(m_dir.str("none.ini")).readString("A", "Empty", "d"), "d");
}

TEST_F(IniFileTest, FirstSectionAndFirstKeyOfANameWin) {
    IniFile ini = withContent("[A]\nk=1\nk=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.readString("A", "k", ""), "1");
    EXPECT_EQ(ini.readString("A", "j", "d"), "d");
}

TEST_F(IniFileTest, ReadSectionGivesEachKeyOnceAsReadStringWould) {
    IniFile ini = withContent("[H]\n1 = \"b\"\n0=a\nK=x\nk=y\n[h]\n2=c\n");
    const auto entries = ini.readSection("h");
    ASSERT_EQ(entries.size(), 3u);
    for (const auto& [key, value] : entries) EXPECT_EQ(value, ini.readString("H", key, "?"));
    EXPECT_EQ(entries[0].first, "1");
    EXPECT_EQ(entries[0].second, "b");
    EXPECT_EQ(entries[2].second, "x");
    EXPECT_TRUE(ini.readSection("missing").empty());
}

TEST_F(IniFileTest, ValuesAreCutAt2047CharactersAndAtNul) {
    const std::string exact(2047, 'x');
    IniFile ini = withContent("[A]\nExact=" + exact + "\nLong=" + exact + "yz\nNul=ab" +
                              std::string(1, '\0') + "cd\n");
    EXPECT_EQ(ini.readString("A", "Exact", ""), exact);
    EXPECT_EQ(ini.readString("A", "Long", ""), exact);
    EXPECT_EQ(ini.readString("A", "Nul", ""), "ab");
    EXPECT_EQ(ini.readString("A", "Missing", exact + "q"), exact);
}

TEST_F(IniFileTest, OverlongLinesAndOversizedFilesReadAsAbsent) {
    IniFile ini = withContent("[A]\nHuge=" + std::string(kMaxIniLineLength, 'x') + "\nAfter=1\n");
    EXPECT_EQ(ini.readString("A", "Huge", "d"), "d");
    EXPECT_EQ(ini.readString("A", "After", "d"), "1");

    test::writeFile(m_dir.file("big.ini"), std::string_view("[A]\nk=1\n"));
    ASSERT_EQ(::truncate(m_dir.str("big.ini").c_str(), kMaxIniFileSize + 1), 0);
    IniFile big(m_dir.str("big.ini"));
    EXPECT_EQ(big.readString("A", "k", "d"), "d");
    // Rewriting would drop its contents, so writes are refused.
    EXPECT_THROW(big.writeString("A", "k", "2"), Error);
}

struct IntegerCase {
    const char* text;
    std::int32_t expected;  // kDefault when the text is not an integer
};
constexpr std::int32_t kDefault = 4242;
void PrintTo(const IntegerCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }

class IniIntegers : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegers, DecimalOrHexOrDefault) {
    TempDir dir;
    test::writeFile(dir.file("i.ini"), "[N]\nv=" + std::string(GetParam().text) + "\n");
    EXPECT_EQ(IniFile(dir.str("i.ini")).readInteger("N", "v", kDefault), GetParam().expected)
        << "value '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Table, IniIntegers,
    ::testing::Values(IntegerCase{"1079", 1079}, IntegerCase{"  -5 ", -5}, IntegerCase{"+7", 7},
                      IntegerCase{"0", 0}, IntegerCase{"0x1F", 31}, IntegerCase{"0XfF", 255},
                      IntegerCase{"0xFFFFFFFF", -1}, IntegerCase{"-0x10", -16},
                      IntegerCase{"2147483647", 2147483647},
                      IntegerCase{"-2147483648", -2147483647 - 1},
                      IntegerCase{"2147483648", kDefault}, IntegerCase{"0x100000000", kDefault},
                      IntegerCase{"0x", kDefault}, IntegerCase{"12abc", kDefault},
                      IntegerCase{"1 2", kDefault}, IntegerCase{"1.5", kDefault},
                      IntegerCase{"$10", kDefault}, IntegerCase{"-", kDefault},
                      IntegerCase{"", kDefault}, IntegerCase{"99999999999999999999", kDefault}));

TEST_F(IniFileTest, WriteReplacesValueKeepingSpellingCommentsAndLineBreaks) {
    IniFile ini = withContent("; settings\r\n[Form Main]\r\nLeft = 1\r\n  ; note\r\nTop=2\r\n\r\n"
                              "[Other]\r\nx=y\r\n");
    ini.writeString("form main", "LEFT", "15");
    EXPECT_EQ(content(), "; settings\r\n[Form Main]\r\nLeft=15\r\n  ; note\r\nTop=2\r\n\r\n"
                         "[Other]\r\nx=y\r\n");
    ini.writeInteger("FORM MAIN", "Width", -3);
    EXPECT_EQ(content(), "; settings\r\n[Form Main]\r\nLeft=15\r\n  ; note\r\nTop=2\r\nWidth=-3\r\n\r\n"
                         "[Other]\r\nx=y\r\n");
    EXPECT_EQ(ini.readInteger("Form Main", "width", 0), -3);
}

TEST_F(IniFileTest, WriteAddsMissingSectionAtEndAndCreatesFile) {
    IniFile ini = withContent("[A]\nk=1");
    ini.writeString("B", "Folder", "/home/u/x");
    EXPECT_EQ(content(), "[A]\nk=1\n\n[B]\nFolder=/home/u/x\n");

    IniFile fresh(m_dir.str("new.ini"));
    fresh.writeString("DestinationFolders", "0", "a b");
    fresh.writeString("DestinationFolders", "1", "c");
    EXPECT_EQ(readText(m_dir, "new.ini"), "[DestinationFolders]\n0=a b\n1=c\n");
}

TEST_F(IniFileTest, WrittenLineBreaksCannotInjectLines) {
    IniFile ini = withContent("");
    ini.writeString("A", "k", "one\r\n[B]\nx=1");
    EXPECT_EQ(ini.readString("B", "x", "d"), "d");
    EXPECT_EQ(ini.readString("A", "k", ""), "one  [B] x=1");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryCopyAndKeepsTheRest) {
    IniFile ini = withContent("[Keep]\na=1\n[Gone]\nb=2\n; c\n[keep2]\n[GONE]\nd=4\n");
    ini.eraseSection("gone");
    EXPECT_EQ(content(), "[Keep]\na=1\n[keep2]\n");
    ini.eraseSection("Missing");
    EXPECT_EQ(content(), "[Keep]\na=1\n[keep2]\n");
    IniFile none(m_dir.str("none.ini"));
    EXPECT_NO_THROW(none.eraseSection("Keep"));
}

TEST_F(IniFileTest, UnwritableFileRaisesUnableToWrite) {
    const std::string inMissingFolder = m_dir.str("missing/s.ini");
    IniFile ini(inMissingFolder);
    try {
        ini.writeString("A", "k", "v");
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + inMissingFolder);
    }
    IniFile folder(m_dir.path().string());
    EXPECT_THROW(folder.writeInteger("A", "k", 1), Error);
    EXPECT_THROW(folder.eraseSection("A"), Error);
}

TEST(MemIniFile, ReadsTrimmedLinesWithCaseInsensitiveNames) {
    MemIniFile ini({"  ; Name=commented", "", "Name=before any section", "[system]",
                    "  Version  =  1.2 beta  ", "NAME=Tessarine", "Name=second", "novalue",
                    "Quoted=\"kept\"", "[ Other ]", "Name=other", "[SYSTEM]", "Extra=merged"});
    EXPECT_EQ(ini.readString("SYSTEM", "name"), "Tessarine");
    EXPECT_EQ(ini.readString("System", "VERSION"), "1.2 beta");
    EXPECT_EQ(ini.readString("SYSTEM", "Quoted"), "\"kept\"");
    EXPECT_EQ(ini.readString("SYSTEM", "Extra"), "merged");
    EXPECT_EQ(ini.readString("SYSTEM", "novalue"), "");
    EXPECT_EQ(ini.readString("SYSTEM", "Missing", "d"), "d");
    EXPECT_EQ(ini.readString(" Other ", "Name"), "other");
    EXPECT_FALSE(ini.sectionExists("Other"));
    EXPECT_TRUE(ini.sectionExists("system"));
}

}  // namespace
}  // namespace tess
