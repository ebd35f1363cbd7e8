// The fixture writers checked against the MinGW binutils, which read PE resources
// independently of this project.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "support/module_builder.h"
#include "support/windres_module.h"

namespace tess::test {
namespace {

std::string dumpResources(const std::filesystem::path& module) {
    std::string command = std::string(TESS_WINDRES) + " -i '" + module.string() + "' -O rc 2>&1";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    return out;
}

class PeWriterAgainstWindres : public ::testing::TestWithParam<PeFormat> {};

TEST_P(PeWriterAgainstWindres, WindresReadsTheResourceTree) {
    if (!windresAvailable()) GTEST_SKIP() << "windres not installed";
    TempDir dir;
    ModuleBuilder builder(GetParam());
    builder.addGroupIcon("MAINICON", {{16, 16, 8}, {32, 32, 32}})
        .addBitmap(7, 4, 3, 24)
        .add("PNG", "LOGO", {1, 2, 3})
        .add(kRtRcData, 5, {'a', 'b'}, kLangNeutral)
        .add(kRtRcData, 5, {'c'}, 0x0407);
    const auto module = builder.writeTo(dir, "fixture.dll");
    const std::string rc = dumpResources(module);
    EXPECT_NE(rc.find("Name: \"MAINICON\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("Type: \"PNG\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("\"LOGO\" \"PNG\""), std::string::npos) << rc;
    EXPECT_NE(rc.find("7 2 /* RT_BITMAP */"), std::string::npos) << rc;
    EXPECT_NE(rc.find("LANGUAGE 7, 1"), std::string::npos) << rc;  // 0x0407
    EXPECT_EQ(rc.find("rror"), std::string::npos) << rc;
}

INSTANTIATE_TEST_SUITE_P(Formats, PeWriterAgainstWindres,
                         ::testing::Values(PeFormat::Pe32, PeFormat::Pe32Plus));

TEST(PeWriterLayout, OffsetsPointAtTheStructuresTheyName) {
    const PeFile pe = PeWriter().add(kRtRcData, 1, {9, 8, 7}).add("T", "N", {6}).build();
    ASSERT_EQ(pe.layout.resources.size(), 2u);
    const ResourceLayout& first = pe.layout.resources[0];
    EXPECT_EQ(pe.get32(first.dataEntry), first.dataRva);
    EXPECT_EQ(pe.get32(first.dataEntry + 4), 3u);
    EXPECT_EQ(pe.bytes[first.data], 9);
    EXPECT_EQ(pe.bytes.at(pe.rsrcOffset(first.dataRva) + 2), 7);
    // The string type sorts before the integer one.
    EXPECT_EQ(pe.get16(pe.layout.rootDirectory + 12), 1u);
    EXPECT_EQ(pe.get16(pe.layout.rootDirectory + 14), 1u);
    EXPECT_LT(pe.layout.resources[1].typeEntry, first.typeEntry);
}

TEST(WindresModule, BuildsAModuleFromRcTextAndAnIconFile) {
    if (!windresAvailable()) GTEST_SKIP() << "windres not installed";
    TempDir dir;
    writeFile(dir.file("app.ico"), icoFile({{32, 32, 32, 0, 0, dibIconImage(32, 32, 32)}}));
    std::string error;
    const auto module = buildWindresModule(dir, "APPICON ICON \"app.ico\"\n", &error);
    ASSERT_TRUE(module) << error;
    const std::string rc = dumpResources(*module);
    EXPECT_NE(rc.find("\"APPICON\" 14 /* RT_GROUP_ICON */"), std::string::npos) << rc;
}

TEST(WindresModule, ReportsWhyABrokenScriptFails) {
    if (!windresAvailable()) GTEST_SKIP() << "windres not installed";
    TempDir dir;
    std::string error;
    EXPECT_FALSE(buildWindresModule(dir, "X ICON \"missing.ico\"\n", &error));
    EXPECT_NE(error.find("missing.ico"), std::string::npos) << error;
}

}  // namespace
}  // namespace tess::test
