#include "app/util_funcs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace tess {
namespace {

TEST(InvertText, ComplementsEveryByteAndUndoesItself) {
    const std::string all = [] {
        std::string s;
        for (int b = 0; b < 256; ++b) s += static_cast<char>(b);
        return s;
    }();
    const std::string inverted = InvertText(all);
    ASSERT_EQ(inverted.size(), 256u);
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(inverted[static_cast<std::size_t>(b)]), 255 - b);
    }
    EXPECT_EQ(InvertText(inverted), all);
    EXPECT_EQ(InvertText(""), "");
}

TEST(AddTrailingBackslash, AddsSlashUnlessEitherSeparatorEndsThePath) {
    EXPECT_EQ(AddTrailingBackslash("/opt/tessarine"), "/opt/tessarine/");
    EXPECT_EQ(AddTrailingBackslash("/opt/tessarine/"), "/opt/tessarine/");
    EXPECT_EQ(AddTrailingBackslash("C:\\Program Files\\"), "C:\\Program Files\\");
    EXPECT_EQ(AddTrailingBackslash(""), "");
}

TEST(ProductSettingsFileName, IsBesideTheExecutable) {
    // The executable's folder comes with symbolic links resolved.
    const std::string binDir = std::filesystem::weakly_canonical(TESS_BIN_DIR).string();
    EXPECT_EQ(GetProductSettingsFileName(), binDir + "/vantrel.dll");
}

// Records cursor changes for one test and leaves the busy state as it found it.
class BusyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(BusyCount(), 0);
        m_previousHook = setBusyCursorHook([this](bool busy) { m_cursor.push_back(busy); });
    }
    void TearDown() override {
        while (BusyCount() > 0) EndBusy();
        setBusyCursorHook(std::move(m_previousHook));
    }

    std::vector<bool> m_cursor;
    BusyCursorHook m_previousHook;
};

TEST_F(BusyTest, NestedSectionsRestoreTheCursorOnlyAtTheLastEnd) {
    BeginBusy();
    BeginBusy();
    EXPECT_EQ(BusyCount(), 2);
    EndBusy();
    EXPECT_EQ(BusyCount(), 1);
    EXPECT_EQ(m_cursor, (std::vector<bool>{true, true}));
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(m_cursor, (std::vector<bool>{true, true, false}));
}

TEST_F(BusyTest, UnmatchedEndBusyChangesNothing) {
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_TRUE(m_cursor.empty());
    BeginBusy();
    EndBusy();
    EndBusy();
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(m_cursor, (std::vector<bool>{true, false}));
}

TEST_F(BusyTest, BusyScopeEndsOnException) {
    try {
        BusyScope busy;
        EXPECT_EQ(BusyCount(), 1);
        throw std::runtime_error("fails");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(BusyCount(), 0);
}

TEST_F(BusyTest, OpenLinkIsBusyWhileOpeningAndSwallowsFailures) {
    std::vector<std::string> opened;
    std::vector<std::int32_t> countWhileOpening;
    LinkOpener previous = setLinkOpener([&](const std::string& text) {
        opened.push_back(text);
        countWhileOpening.push_back(BusyCount());
        if (text == "bad") throw std::runtime_error("cannot open");
    });
    OpenLink("https://tessarine.example.org");
    EXPECT_NO_THROW(OpenLink("bad"));
    setLinkOpener(std::move(previous));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://tessarine.example.org", "bad"}));
    EXPECT_EQ(countWhileOpening, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(BusyCount(), 0);
    EXPECT_EQ(m_cursor, (std::vector<bool>{true, false, true, false}));
}

TEST(OpenWithXdgOpen, PassesTheTextAsOneArgumentWithoutAShell) {
    // A stand-in xdg-open found first on PATH records the argument it was given.
    test::TempDir dir;
    test::writeFile(dir.file("xdg-open"),
                    std::string_view("#!/bin/sh\nprintf '%s' \"$1\" > \"$(dirname \"$0\")/arg.tmp\"\n"
                                     "mv \"$(dirname \"$0\")/arg.tmp\" \"$(dirname \"$0\")/arg.txt\"\n"));
    ASSERT_EQ(::chmod(dir.str("xdg-open").c_str(), 0700), 0);
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    ::setenv("PATH", (dir.path().string() + ":/usr/bin:/bin").c_str(), 1);
    const std::string text = "https://x.example/?a=1&b=2; touch " + dir.str("pwned") + " $(id) 'q\"";
    openWithXdgOpen(text);
    ::setenv("PATH", savedPath.c_str(), 1);

    // The opener does not wait for the child; give it time to write its file.
    for (int i = 0; i < 500 && !std::filesystem::exists(dir.file("arg.txt")); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(std::filesystem::exists(dir.file("arg.txt")));
    const auto bytes = test::readFile(dir.file("arg.txt"));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text);
    EXPECT_FALSE(std::filesystem::exists(dir.file("pwned")));
}

TEST(OpenWithXdgOpen, MissingOpenerDoesNothing) {
    test::TempDir empty;
    const char* oldPath = std::getenv("PATH");
    const std::string savedPath = oldPath ? oldPath : "";
    ::setenv("PATH", empty.path().string().c_str(), 1);
    EXPECT_NO_THROW(openWithXdgOpen("https://x.example"));
    ::setenv("PATH", savedPath.c_str(), 1);
}

}  // namespace
}  // namespace tess
