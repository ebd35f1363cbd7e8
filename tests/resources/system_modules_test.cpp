// The reader and the counts on real modules (Wine's shell32.dll and user32.dll), checked
// against the resource listing windres makes of the same files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "resources/module_resources.h"
#include "resources/resource_statistics.h"

namespace tess {
namespace {

const char* const kWineFolder = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/";

class SystemModule : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        m_path = std::string(kWineFolder) + GetParam();
        if (!std::filesystem::exists(m_path)) GTEST_SKIP() << m_path << " not installed";
    }
    std::string m_path;
};

// Distinct resource names per integer type in the .rc listing windres makes of `module`.
std::map<int, std::set<std::string>> windresNames(const std::string& module) {
    std::map<int, std::set<std::string>> names;
    const std::string command = std::string(TESS_WINDRES) + " -i '" + module + "' -O rc 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return names;
    // A resource header line: name, integer type, "/* RT_...".
    const std::regex header("^(\\S+) ([0-9]+) /\\* RT_");
    char line[4096];
    std::cmatch m;
    while (std::fgets(line, sizeof line, pipe))
        if (line[0] != ' ' && std::regex_search(line, m, header)) names[std::stoi(m[2].str())].insert(m[1].str());
    pclose(pipe);
    return names;
}

TEST_P(SystemModule, OpensWithGroupIconsWhoseFramesAllHaveImages) {
    const TIEModuleResources r(m_path);
    ASSERT_TRUE(r.IsValid());
    const std::int32_t g = r.FindType("GroupIcon");
    ASSERT_GE(g, 0);
    ASSERT_GT(r.NameCount(g), 0);
    for (std::int32_t n = 0; n < r.NameCount(g); ++n) {
        const std::int32_t frames = r.FrameCount(g, n);
        EXPECT_GT(frames, 0) << r.NameId(g, n);
        for (std::int32_t f = 0; f < frames; ++f) {
            std::int32_t size = 0;
            EXPECT_NE(r.FrameData(g, n, f, size), nullptr) << r.NameId(g, n) << " frame " << f;
            EXPECT_GT(size, 40);
            EXPECT_GT(r.FrameWidth(g, n, f), 0);
        }
    }
    EXPECT_TRUE(HasGroupIconType(m_path));
    EXPECT_GT(CountResources(m_path), CountGroupIcons(m_path));
    EXPECT_GT(CountExtractable(m_path), 0);
}

TEST_P(SystemModule, CountsMatchTheWindresListing) {
    if (std::string(TESS_WINDRES).empty()) GTEST_SKIP() << "windres not installed";
    auto listed = windresNames(m_path);
    ASSERT_FALSE(listed[14].empty());
    EXPECT_EQ(static_cast<std::size_t>(CountGroupIcons(m_path)), listed[14].size());
    EXPECT_EQ(static_cast<std::size_t>(CountIcons(m_path)), listed[3].size());
    EXPECT_EQ(static_cast<std::size_t>(CountBitmaps(m_path)), listed[2].size());
    EXPECT_EQ(static_cast<std::size_t>(CountCursors(m_path)), listed[1].size());
}

INSTANTIATE_TEST_SUITE_P(Wine, SystemModule, ::testing::Values("shell32.dll", "user32.dll"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
}  // namespace tess
