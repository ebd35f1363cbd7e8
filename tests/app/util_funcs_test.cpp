#include "app/util_funcs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace tess
