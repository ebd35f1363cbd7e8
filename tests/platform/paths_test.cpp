#include "platform/paths.h"

#include <gtest/gtest.h>

namespace tess {
namespace {

TEST(Paths, TrailingSeparatorAddedOnlyWhenMissing) {
    EXPECT_EQ(withTrailingSeparator("/tmp/a"), "/tmp/a/");
    EXPECT_EQ(withTrailingSeparator("/tmp/a/"), "/tmp/a/");
    EXPECT_EQ(withTrailingSeparator("C:\\a\\"), "C:\\a\\");
    EXPECT_EQ(withTrailingSeparator(""), "");
}

TEST(Paths, TrailingSeparatorsRemovedButRootKept) {
    EXPECT_EQ(withoutTrailingSeparator("/tmp/a//"), "/tmp/a");
    EXPECT_EQ(withoutTrailingSeparator("a\\"), "a");
    EXPECT_EQ(withoutTrailingSeparator("/"), "/");
    EXPECT_EQ(withoutTrailingSeparator("\\\\"), "/");
    EXPECT_EQ(withoutTrailingSeparator(""), "");
}

TEST(Paths, JoinUsesOneForwardSlash) {
    EXPECT_EQ(joinPath("a", "b"), "a/b");
    EXPECT_EQ(joinPath("a/", "b"), "a/b");
    EXPECT_EQ(joinPath("a\\", "b"), "a\\b");
    EXPECT_EQ(joinPath("a", "/b"), "a/b");
    EXPECT_EQ(joinPath("", "b"), "b");
    EXPECT_EQ(toNativePath("C:\\x\\y/z"), "C:/x/y/z");
}

struct NamePartCase {
    const char* path;
    const char* fileName;
    const char* parent;
    const char* extension;
};

void PrintTo(const NamePartCase& c, std::ostream* os) { *os << c.path; }

class PathNameParts : public ::testing::TestWithParam<NamePartCase> {};

TEST_P(PathNameParts, SplitAtEitherSeparator) {
    const NamePartCase& c = GetParam();
    EXPECT_EQ(fileNamePart(c.path), c.fileName);
    EXPECT_EQ(parentFolder(c.path), c.parent);
    EXPECT_EQ(extensionOf(c.path), c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathNameParts,
    ::testing::Values(NamePartCase{"/usr/lib/shell32.dll", "shell32.dll", "/usr/lib", ".dll"},
                      NamePartCase{"C:\\Windows\\a.b.exe", "a.b.exe", "C:/Windows", ".exe"},
                      NamePartCase{"mixed\\dir/file", "file", "mixed/dir", ""},
                      NamePartCase{"c:\\x.y\\file", "file", "c:/x.y", ""},
                      NamePartCase{"/top", "top", "/", ""},
                      NamePartCase{"plain.txt", "plain.txt", "", ".txt"},
                      NamePartCase{"dir/", "", "dir", ""}));

TEST(Paths, AsciiCaseOnlyTouchesAsciiLetters) {
    EXPECT_EQ(asciiUpperCase("abc\xC3\xA9z"), "ABC\xC3\xA9Z");
    EXPECT_EQ(asciiLowerCase("ABC\xC3\x89Z"), "abc\xC3\x89z");
    EXPECT_TRUE(equalsIgnoreAsciiCase("SYSTEM", "system"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("SYSTEM", "SYSTEMS"));
    EXPECT_FALSE(equalsIgnoreAsciiCase("\xC3\xA9", "\xC3\x89"));
}

}  // namespace
}  // namespace tess
