#include "app/product_settings.h"

#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/util_funcs.h"
#include "platform/error.h"
#include "support/temp_dir.h"

extern char** environ;

namespace tess {
namespace {

using test::TempDir;

// The settings file for plain `lines`: each inverted, then ended with `lineBreak`.
std::string encode(const std::vector<std::string>& lines, const std::string& lineBreak = "\r\n") {
    std::string out;
    for (const std::string& line : lines) out += InvertText(line) + lineBreak;
    return out;
}

int runInvertTool(const std::string& input, const std::string& output) {
    std::vector<std::string> args{TESS_INVERT_SETTINGS, input, output};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    if (::waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

TEST(SplitLines, BreaksAtCrLfLoneCrAndLoneLf) {
    const std::string text = "a\r\nb\rc\nd\r\n\r\ne";
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    EXPECT_EQ(splitLines({data, text.size()}),
              (std::vector<std::string>{"a", "b", "c", "d", "", "e"}));
    const std::string terminated = "x\r\n";
    EXPECT_EQ(splitLines({reinterpret_cast<const std::uint8_t*>(terminated.data()), terminated.size()}),
              std::vector<std::string>{"x"});
    EXPECT_TRUE(splitLines({}).empty());
}

class ProductSettingsTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes) {
        test::writeFile(m_dir.file("vantrel.dll"), bytes);
        return m_dir.str("vantrel.dll");
    }
    void TearDown() override { GlobalVars = TGlobalVars{}; }

    TempDir m_dir;
};

TEST_F(ProductSettingsTest, NamesMatchInAnyCaseAndBlanksAroundEqualsAreDropped) {
    const std::string path = write(encode({"; Name=comment", "[system]", "NAME = Viewer",
                                           "Version = 2.0", "copyright=(c) someone",
                                           "HelpHomePageLink=https://x.example", "Unknown line"}));
    EXPECT_EQ(readApplicationTitle(path), "Viewer");
    ReadProductInfo(path);
    EXPECT_EQ(GlobalVars.Version, "2.0");
    EXPECT_EQ(GlobalVars.RightsHolder, "(c) someone");
    EXPECT_EQ(GlobalVars.HelpHomePageLink, "https://x.example");
    EXPECT_EQ(GlobalVars.SkinName, "");
}

TEST_F(ProductSettingsTest, LoneBreaksSplitLinesToo) {
    const std::string path = write(encode({"[SYSTEM]", "Name=A"}, "\n") + encode({"Version=3"}, "\r"));
    EXPECT_EQ(readApplicationTitle(path), "A");
    ReadProductInfo(path);
    EXPECT_EQ(GlobalVars.Version, "3");
}

TEST_F(ProductSettingsTest, WithoutSystemSectionTitleIsEmpty) {
    EXPECT_EQ(readApplicationTitle(write(encode({"[Other]", "Name=Nope"}))), "");
    EXPECT_EQ(readApplicationTitle(write(encode({"[SYSTEM]", "Name="}))), "");
    EXPECT_EQ(readApplicationTitle(write("")), "");
    // Plain (not inverted) text is not INI text once inverted.
    EXPECT_EQ(readApplicationTitle(write("[SYSTEM]\r\nName=Plain\r\n")), "");
}

TEST_F(ProductSettingsTest, InvertedNulEndsTheLine) {
    // The stored byte 0xFF inverts to NUL.
    const std::string bytes = InvertText("[SYSTEM]") + "\r\n" + InvertText("Name=Short") + '\xFF' +
                              InvertText("Tail") + "\r\n";
    EXPECT_EQ(readApplicationTitle(write(bytes)), "Short");
}

TEST_F(ProductSettingsTest, MissingFileRaisesCannotOpenWithReason) {
    const std::string path = m_dir.str("absent.dll");
    GlobalVars.Version = "unchanged";
    try {
        ReadProductInfo(path);
        FAIL() << "no error raised";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open file \"" + path + "\". No such file or directory");
    }
    EXPECT_EQ(GlobalVars.Version, "unchanged");
    EXPECT_THROW(readApplicationTitle(m_dir.path().string()), Error);
}

TEST_F(ProductSettingsTest, OversizedFileIsRefused) {
    const std::string path = write(std::string(kMaxProductSettingsSize + 1, '\xA4'));
    EXPECT_THROW(readApplicationTitle(path), Error);
}

TEST_F(ProductSettingsTest, BuildToolRoundTrip) {
    test::writeFile(m_dir.file("plain.ini"),
                    std::string_view("[SYSTEM]\nName=Round Trip\r\nVersion=9.9\n"
                                     "HelpHomePageLink=https://example.org/a?b=c\n"));
    ASSERT_EQ(runInvertTool(m_dir.str("plain.ini"), m_dir.str("out.dll")), 0);
    const auto bytes = test::readFile(m_dir.file("out.dll"));
    const std::string raw(bytes.begin(), bytes.end());
    EXPECT_EQ(raw, encode({"[SYSTEM]", "Name=Round Trip", "Version=9.9",
                           "HelpHomePageLink=https://example.org/a?b=c"}));
    EXPECT_EQ(readApplicationTitle(m_dir.str("out.dll")), "Round Trip");
    ReadProductInfo(m_dir.str("out.dll"));
    EXPECT_EQ(GlobalVars.HelpHomePageLink, "https://example.org/a?b=c");
}

TEST_F(ProductSettingsTest, BuildToolRejectsBytesThatWouldBreakLines) {
    test::writeFile(m_dir.file("bad.ini"), std::string_view("[SYSTEM]\nName=\xF5\n"));
    EXPECT_EQ(runInvertTool(m_dir.str("bad.ini"), m_dir.str("bad.dll")), 1);
}

TEST_F(ProductSettingsTest, ShippedSettingsFileNamesTheProduct) {
    const std::string path = GetProductSettingsFileName();
    EXPECT_EQ(readApplicationTitle(path), "Tessarine");
    ReadProductInfo(path);
    EXPECT_EQ(GlobalVars.Version, "0.1.0");
    EXPECT_EQ(GlobalVars.RightsHolder, "(c) 2026 The Tessarine developers");
    EXPECT_EQ(GlobalVars.HelpHomePageLink, "https://tessarine.example.org");
    EXPECT_EQ(GlobalVars.HelpSupportLink, "");
}

}  // namespace
}  // namespace tess
