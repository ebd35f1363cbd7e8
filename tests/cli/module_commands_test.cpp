// Runs the tessarine-cli binary on modules built by the test fixtures.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/module_builder.h"
#include "support/resource_bytes.h"
#include "support/temp_dir.h"
#include "support/windres_module.h"

extern char** environ;

namespace tess {
namespace {

using test::FrameSpec;
using test::ModuleBuilder;
using test::TempDir;

struct RunResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs tessarine-cli with `args`, its output and errors captured in files of `dir`.
RunResult runCli(const TempDir& dir, std::vector<std::string> args) {
    args.insert(args.begin(), TESS_CLI);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string outFile = dir.str("cli.out");
    const std::string errFile = dir.str("cli.err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    RunResult result;
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    int status = 0;
    if (::waitpid(pid, &status, 0) < 0 || !WIFEXITED(status)) return result;
    result.status = WEXITSTATUS(status);
    const auto out = test::readFile(outFile);
    const auto err = test::readFile(errFile);
    result.out.assign(out.begin(), out.end());
    result.err.assign(err.begin(), err.end());
    return result;
}

std::string statsText(int resources, int images, int bitmaps, int png, int groupIcons, int icons,
                      int groupCursors, int cursors, int extractable) {
    std::ostringstream s;
    s << "Resources: " << resources << "\nImages: " << images << "\nBitmaps: " << bitmaps
      << "\nPNG: " << png << "\nGroup Icons: " << groupIcons << "\nIcons: " << icons
      << "\nGroup Cursors: " << groupCursors << "\nCursors: " << cursors
      << "\nExtractable: " << extractable << "\n";
    return s.str();
}

struct StatsCase {
    const char* name;
    ModuleBuilder (*build)();
    std::string expected;
};
void PrintTo(const StatsCase& c, std::ostream* os) { *os << c.name; }

class StatsCommand : public ::testing::TestWithParam<StatsCase> {};

TEST_P(StatsCommand, PrintsNineCountsInOrder) {
    TempDir dir;
    const std::string module = GetParam().build().writeTo(dir, "m.dll").string();
    const RunResult r = runCli(dir, {"stats", module});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, GetParam().expected);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Modules, StatsCommand,
    ::testing::Values(
        StatsCase{"GroupIconOfFourFrames",
                  [] {
                      ModuleBuilder b;
                      b.addGroupIcon(1, {{16, 16, 32}, {32, 32, 32}, {48, 48, 8}, {64, 64, 4}});
                      return b;
                  },
                  statsText(8, 8, 0, 0, 1, 4, 0, 0, 5)},
        StatsCase{"TwoGroupCursors",
                  [] {
                      ModuleBuilder b;
                      b.addGroupCursor(1, {{32, 32, 1}, {32, 32, 4}, {48, 48, 8}});
                      b.addGroupCursor(2, {{32, 32, 1}, {64, 64, 32}});
                      return b;
                  },
                  statsText(10, 10, 0, 0, 0, 0, 5, 5, 0)},
        StatsCase{"BitmapsAndPng",
                  [] {
                      ModuleBuilder b;
                      b.addBitmap(1, 4, 4, 24).addBitmap(2, 4, 4, 8);
                      b.addPng(1, 2, 2).addPng(2, 2, 2).addPng(3, 2, 2);
                      b.addPng(4, 2, 2, 0xFF000000, "png");
                      return b;
                  },
                  statsText(6, 5, 2, 3, 0, 0, 0, 0, 5)},
        // Counts above 999 print without separators.
        StatsCase{"ThousandBitmaps",
                  [] {
                      ModuleBuilder b;
                      for (int n = 1; n <= 1200; ++n) b.add(test::kRtBitmap, n, test::ByteVec(4, 0));
                      return b;
                  },
                  statsText(1200, 1200, 1200, 0, 0, 0, 0, 0, 1200)},
        StatsCase{"NoResources",
                  [] {
                      ModuleBuilder b;
                      b.writer().resourceDirectory(false);
                      return b;
                  },
                  statsText(0, 0, 0, 0, 0, 0, 0, 0, 0)}),
    [](const auto& info) { return std::string(info.param.name); });

class CliTest : public ::testing::Test {
protected:
    std::string sampleModule(const char* name = "shell32.dll") {
        ModuleBuilder b;
        b.addGroupIcon(1, {{32, 32, 32}, {256, 256, 32}});
        b.addBitmap(1, 4, 4, 24);
        b.add(test::kRtVersion, 1, test::ByteVec(8, 0));
        return b.writeTo(m_dir, name).string();
    }
    TempDir m_dir;
};

TEST_F(CliTest, StatsJsonHasTheSameCounts) {
    const RunResult r = runCli(m_dir, {"stats", "--json", sampleModule()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "{\"resources\":6,\"images\":5,\"bitmaps\":1,\"png\":0,\"groupIcons\":1,"
              "\"icons\":2,\"groupCursors\":0,\"cursors\":0,\"extractable\":4}\n");
}

TEST_F(CliTest, StatsOfAFileThatIsNotAModule) {
    test::writeFile(m_dir.file("readme.dll"), std::string_view("just text\n"));
    const RunResult r = runCli(m_dir, {"stats", m_dir.str("readme.dll")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, statsText(0, 0, 0, -1, 0, 0, 0, 0, -1));
    EXPECT_NE(r.err.find("not a valid module"), std::string::npos);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1);

    const RunResult json = runCli(m_dir, {"stats", m_dir.str("readme.dll"), "--json"});
    EXPECT_EQ(json.status, 1);
    EXPECT_NE(json.out.find("\"png\":-1,"), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"extractable\":-1}"), std::string::npos) << json.out;
}

TEST_F(CliTest, MissingFilesAndFoldersAreUsageErrors) {
    for (const char* command : {"stats", "tree"}) {
        const RunResult missing = runCli(m_dir, {command, m_dir.str("absent.dll")});
        EXPECT_EQ(missing.status, 2) << command;
        EXPECT_EQ(missing.out, "") << command;
        EXPECT_NE(missing.err.find("No such file or directory"), std::string::npos) << missing.err;
        const RunResult folder = runCli(m_dir, {command, m_dir.path().string()});
        EXPECT_EQ(folder.status, 2) << command;
        EXPECT_EQ(folder.out, "") << command;
    }
}

TEST_F(CliTest, BadArgumentsAreUsageErrorsAndHelpSucceeds) {
    const std::string module = sampleModule();
    const std::vector<std::vector<std::string>> bad = {
        {"stats"}, {"stats", module, module}, {"stats", module, "--opened"},
        {"tree"},  {"tree", module, "--json"}, {"tree", "--bogus", module}};
    for (const auto& args : bad) {
        const RunResult r = runCli(m_dir, args);
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(r.out, "") << args.back();
        EXPECT_NE(r.err.find("usage: tessarine-cli"), std::string::npos) << args.back();
    }
    const RunResult statsHelp = runCli(m_dir, {"stats", "--help"});
    EXPECT_EQ(statsHelp.status, 0);
    for (const char* key : {"resources", "images", "bitmaps", "png", "groupIcons", "icons",
                            "groupCursors", "cursors", "extractable"}) {
        EXPECT_NE(statsHelp.out.find(key), std::string::npos) << key;
    }
    const RunResult treeHelp = runCli(m_dir, {"tree", "--help"});
    EXPECT_EQ(treeHelp.status, 0);
    EXPECT_NE(treeHelp.out.find("--opened"), std::string::npos);
}

TEST_F(CliTest, TreeIndentsTwoBlanksPerLevel) {
    const std::string module = sampleModule();
    const RunResult list = runCli(m_dir, {"tree", module});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out,
              "Bitmap\n"
              "  Shell32DLL Bitmap 1\n"
              "Icon\n"
              "  Shell32DLL Icon 1\n"
              "  Shell32DLL Icon 2\n"
              "GroupIcon\n"
              "  Shell32DLL GroupIcon Icon 1\n"
              "    32 x 32 32-bit\n"
              "    256 x 256 32-bit\n"
              "Version\n");
    const RunResult opened = runCli(m_dir, {"tree", "--opened", module});
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_EQ(opened.out,
              "Bitmap\n"
              "  shell32.dll Bitmap 1\n"
              "Icon\n"
              "  shell32.dll Icon 1\n"
              "  shell32.dll Icon 2\n"
              "GroupIcon\n"
              "  shell32.dll GroupIcon 1\n"
              "    32 x 32 32-bit\n"
              "    256 x 256 32-bit\n"
              "Version\n");
}

TEST_F(CliTest, TreeOfAnInvalidModuleFails) {
    test::writeFile(m_dir.file("bad.exe"), std::string_view("MZ but nothing else"));
    const RunResult r = runCli(m_dir, {"tree", m_dir.str("bad.exe")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("not a valid module"), std::string::npos);
}

TEST_F(CliTest, TreePrintsControlCharactersInNamesAsQuestionMarks) {
    ModuleBuilder b;
    b.add("PNG", "two\nlines", test::pngImage(1, 1));
    const std::string module = b.writeTo(m_dir, "x.dll").string();
    const RunResult r = runCli(m_dir, {"tree", module});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "PNG\n  XDLL PNG 1\n");
    ModuleBuilder types;
    types.add("A\tB", 1, test::ByteVec(2, 0));
    const RunResult t = runCli(m_dir, {"tree", types.writeTo(m_dir, "y.dll").string()});
    EXPECT_EQ(t.out, "A?B\n");
}

TEST_F(CliTest, WindresModule) {
    if (!test::windresAvailable()) GTEST_SKIP() << "windres or ld not found";
    test::writeFile(m_dir.file("c.cur"),
                    test::curFile({{32, 32, 1, 3, 4, test::dibIconImage(32, 32, 1)}}));
    test::writeFile(m_dir.file("a.ico"), test::icoFile({{16, 16, 32, 0, 0, test::dibIconImage(16, 16, 32)}}));
    std::string error;
    test::WindresOptions options;
    options.stem = "tools";
    const auto module = test::buildWindresModule(
        m_dir, "100 ICON \"a.ico\"\n200 CURSOR \"c.cur\"\n", &error, options);
    ASSERT_TRUE(module) << error;
    const RunResult stats = runCli(m_dir, {"stats", module->string()});
    EXPECT_EQ(stats.status, 0) << stats.err;
    EXPECT_EQ(stats.out, statsText(4, 4, 0, 0, 1, 1, 1, 1, 2));
    const RunResult tree = runCli(m_dir, {"tree", module->string()});
    EXPECT_EQ(tree.out,
              "Cursor\n"
              "  ToolsDLL Cursor 1\n"
              "Icon\n"
              "  ToolsDLL Icon 1\n"
              "GroupCursor\n"
              "  ToolsDLL GroupCursor Cursor 1\n"
              "    32 x 32 1-bit\n"
              "GroupIcon\n"
              "  ToolsDLL GroupIcon Icon 1\n"
              "    16 x 16 32-bit\n");
}

TEST(CliWine, Shell32FromWine) {
    const std::string shell32 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/shell32.dll";
    if (::access(shell32.c_str(), R_OK) != 0) GTEST_SKIP() << "Wine's shell32.dll not installed";
    TempDir dir;
    const RunResult stats = runCli(dir, {"stats", shell32});
    ASSERT_EQ(stats.status, 0) << stats.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(stats.out, m, std::regex("Group Icons: (\\d+)\n")));
    EXPECT_GT(std::stoi(m[1]), 0);
    const RunResult tree = runCli(dir, {"tree", shell32});
    ASSERT_EQ(tree.status, 0) << tree.err;
    EXPECT_NE(tree.out.find("\nGroupIcon\n  Shell32DLL GroupIcon Icon 1\n"), std::string::npos);
    EXPECT_TRUE(std::regex_search(tree.out, std::regex("\n    \\d+ x \\d+ \\d+-bit\n")));
    const RunResult opened = runCli(dir, {"tree", shell32, "--opened"});
    EXPECT_NE(opened.out.find("\n  shell32.dll GroupIcon 1\n"), std::string::npos);
}

}  // namespace
}  // namespace tess
