#include "platform/file_queries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "support/temp_dir.h"

namespace tess {
namespace {

using test::TempDir;

TEST(FileQueries, SizeOfFileFolderAndMissingName) {
    TempDir dir;
    test::writeFile(dir.file("five.bin"), std::string_view("12345"));
    test::writeFile(dir.file("empty.bin"), std::string_view(""));
    EXPECT_EQ(FileSizeOf(dir.str("five.bin")), 5);
    EXPECT_EQ(FileSizeOf(dir.str("empty.bin")), 0);
    EXPECT_EQ(FileSizeOf(dir.path().string()), 0);
    EXPECT_EQ(FileSizeOf(dir.str("missing.bin")), -1);
    EXPECT_EQ(FileSizeOf(""), -1);
    // Wildcards are not patterns.
    EXPECT_EQ(FileSizeOf(dir.str("*.bin")), -1);
}

TEST(FileQueries, BackslashesWorkAsSeparators) {
    TempDir dir;
    test::writeFile(dir.file("a.txt"), std::string_view("abc"));
    std::string windowsStyle = dir.path().string() + "\\a.txt";
    EXPECT_TRUE(fileExists(windowsStyle));
    EXPECT_EQ(FileSizeOf(windowsStyle), 3);
}

TEST(FileQueries, ExistenceDistinguishesFilesFromFolders) {
    TempDir dir;
    test::writeFile(dir.file("f"), std::string_view("x"));
    EXPECT_TRUE(fileExists(dir.str("f")));
    EXPECT_FALSE(folderExists(dir.str("f")));
    EXPECT_TRUE(folderExists(dir.path().string()));
    EXPECT_FALSE(fileExists(dir.path().string()));
    EXPECT_FALSE(fileExists(dir.str("none")));
}

TEST(FileQueries, CreateFoldersMakesAllMissingParents) {
    TempDir dir;
    const std::string deep = dir.str("a") + "\\b/c/";
    EXPECT_TRUE(createFolders(deep));
    EXPECT_TRUE(folderExists(dir.str("a/b/c")));
    EXPECT_TRUE(createFolders(deep));  // already there
    test::writeFile(dir.file("file"), std::string_view("x"));
    EXPECT_FALSE(createFolders(dir.str("file/sub")));
    EXPECT_FALSE(createFolders(""));
}

TEST(FileQueries, ReadWholeFileStopsAtLimit) {
    TempDir dir;
    test::writeFile(dir.file("ten"), std::string_view("0123456789"));
    FileReadResult exact = readWholeFile(dir.str("ten"), 10);
    ASSERT_TRUE(exact.ok);
    EXPECT_EQ(exact.bytes.size(), 10u);
    FileReadResult over = readWholeFile(dir.str("ten"), 9);
    EXPECT_FALSE(over.ok);
    EXPECT_EQ(over.errorCode, EFBIG);
    EXPECT_TRUE(over.bytes.empty());
}

TEST(FileQueries, ReadWholeFileRefusesWhatIsNotARegularFile) {
    TempDir dir;
    EXPECT_EQ(readWholeFile(dir.str("missing"), 100).errorCode, ENOENT);
    EXPECT_EQ(readWholeFile(dir.path().string(), 100).errorCode, EISDIR);
    ASSERT_EQ(::mkfifo(dir.str("fifo").c_str(), 0600), 0);
    // Would block forever if opened and read like a file.
    EXPECT_EQ(readWholeFile(dir.str("fifo"), 100).errorCode, EINVAL);
}

TEST(FileQueries, WriteWholeFileReplacesContentsAndReportsErrors) {
    TempDir dir;
    const std::uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(writeWholeFile(dir.str("out"), abc), 0);
    EXPECT_EQ(writeWholeFile(dir.str("out"), std::span(abc, 1)), 0);
    EXPECT_EQ(test::readFile(dir.file("out")), std::vector<std::uint8_t>{'a'});
    EXPECT_EQ(writeWholeFile(dir.str("no/such/folder/out"), abc), ENOENT);
    EXPECT_EQ(writeWholeFile(dir.path().string(), abc), EISDIR);
    EXPECT_EQ(systemErrorText(ENOENT), "No such file or directory");
}

}  // namespace
}  // namespace tess
