// tessarine-cli frames and convert: output lines, conversions and exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "cli/cli_commands.h"
#include "iconfile/icon_codec.h"
#include "imaging/image_io.h"
#include "imaging/test_images.h"
#include "platform/byte_reader.h"
#include "support/temp_dir.h"

namespace tess {
namespace {

struct Result {
    int status;
    std::string out, err;
};

Result frames(const cli::Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = cli::runFrames(args);
    std::string out = testing::internal::GetCapturedStdout();
    return {status, out, testing::internal::GetCapturedStderr()};
}

Result convert(const cli::Args& args) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const int status = cli::runConvert(args);
    std::string out = testing::internal::GetCapturedStdout();
    return {status, out, testing::internal::GetCapturedStderr()};
}

TIOParamsVals pair(int spp, int bps) {
    TIOParamsVals p;
    p.samplesPerPixel = spp;
    p.bitsPerSample = bps;
    return p;
}

TEST(CliFrames, ListsEveryFrameOfOurOwnIconFile) {
    test::TempDir dir;
    const Image a = test::gradientImage(16, 16), b = test::gradientImage(48, 32), c = test::gradientImage(256, 256);
    Image bw(32, 32, PixelFormat::BlackWhite1);
    const TIOParamsVals p4 = pair(1, 4), p24 = pair(3, 8), p32 = pair(4, 8), p1 = pair(1, 1);
    const IconFrameSource src[] = {{&a, &p4}, {&b, &p24}, {&c, &p32}, {&bw, &p1}};
    WriteIconFile(dir.str("g.ico"), src);
    const Result r = frames({dir.str("g.ico")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1\t16 x 16\tRGB 4 bit\n2\t48 x 32\tRGB 24 bit\n3\t256 x 256\tRGBA 32 bit\n4\t32 x 32\tRGB 1 bit\n");
}

TEST(CliFrames, SingleImageFilesHaveOneFrame) {
    test::TempDir dir;
    const Image img = test::gradientImage(5, 3);
    saveToFile(dir.str("x.png"), FormatCode::ByExtension, img, pair(3, 8));
    saveToFile(dir.str("x.bmp"), FormatCode::ByExtension, img, pair(1, 8));
    EXPECT_EQ(frames({dir.str("x.png")}).out, "1\t5 x 3\tRGB 24 bit\n");
    EXPECT_EQ(frames({dir.str("x.bmp")}).out, "1\t5 x 3\tRGB 8 bit\n");
}

TEST(CliFrames, ExitStatusesAndHelp) {
    test::TempDir dir;
    test::writeFile(dir.file("bad.ico"), std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0, 1, 2, 3});
    struct Case {
        cli::Args args;
        int status;
    };
    const Case cases[] = {
        {{"--help"}, 0},
        {{}, 2},
        {{"a.ico", "b.ico"}, 2},
        {{dir.str("missing.ico")}, 2},
        {{dir.str("x.tga")}, 2},
        {{dir.str("bad.ico")}, 1},
    };
    for (const Case& c : cases) {
        const Result r = frames(c.args);
        EXPECT_EQ(r.status, c.status) << (c.args.empty() ? "" : c.args[0]) << r.err;
        if (c.status == 0) {
            EXPECT_NE(r.out.find("usage: tessarine-cli frames"), std::string::npos);
        } else {
            EXPECT_EQ(r.err.rfind("tessarine-cli: ", 0), 0u) << r.err;
        }
    }
}

TEST(CliConvert, IcoOutputIsOneFrameOfTheImagesOwnSizeAndDepth) {
    test::TempDir dir;
    const Image a = test::gradientImage(16, 16), b = test::gradientImage(40, 24);
    const TIOParamsVals p8 = pair(1, 8), p32 = pair(4, 8);
    const IconFrameSource src[] = {{&a, &p8}, {&b, &p32}};
    WriteIconFile(dir.str("in.ico"), src);
    ASSERT_EQ(convert({dir.str("in.ico"), dir.str("out.ico"), "--frame", "1"}).status, 0);
    EXPECT_EQ(frames({dir.str("out.ico")}).out, "1\t40 x 24\tRGBA 32 bit\n");
    ASSERT_EQ(convert({dir.str("in.ico"), dir.str("out8.ico")}).status, 0);
    EXPECT_EQ(frames({dir.str("out8.ico")}).out, "1\t16 x 16\tRGB 8 bit\n");
    // A PNG becomes an icon at its own size, a bitmap at its own depth.
    ASSERT_EQ(convert({dir.str("in.ico"), dir.str("mid.png"), "--frame", "1"}).status, 0);
    ASSERT_EQ(convert({dir.str("mid.png"), dir.str("fromPng.ico")}).status, 0);
    EXPECT_EQ(frames({dir.str("fromPng.ico")}).out, "1\t40 x 24\tRGB 24 bit\n");
}

TEST(CliConvert, ExitStatuses) {
    test::TempDir dir;
    const Image img = test::gradientImage(4, 4);
    saveToFile(dir.str("ok.png"), FormatCode::ByExtension, img, pair(3, 8));
    test::writeFile(dir.file("corrupt.png"), std::string_view("\x89PNG\r\n\x1a\nnot really"));
    struct Case {
        const char* what;
        cli::Args args;
        int status;
    };
    const Case cases[] = {
        {"help", {"--help"}, 0},
        {"ok", {dir.str("ok.png"), dir.str("o.bmp")}, 0},
        {"jpeg", {dir.str("ok.png"), dir.str("o.jpg")}, 0},
        {"one file", {dir.str("ok.png")}, 2},
        {"frame without number", {dir.str("ok.png"), dir.str("o.bmp"), "--frame"}, 2},
        {"negative frame", {dir.str("ok.png"), dir.str("o.bmp"), "--frame", "-1"}, 2},
        {"unknown option", {dir.str("ok.png"), dir.str("o.bmp"), "--fast"}, 2},
        {"unwritable extension", {dir.str("ok.png"), dir.str("o.tga")}, 2},
        {"cursor output", {dir.str("ok.png"), dir.str("o.cur")}, 2},
        {"missing input", {dir.str("none.png"), dir.str("o.bmp")}, 2},
        {"unwritable folder", {dir.str("ok.png"), dir.str("no/dir/o.bmp")}, 2},
        {"corrupt input", {dir.str("corrupt.png"), dir.str("o2.bmp")}, 1},
    };
    for (const Case& c : cases) {
        const Result r = convert(c.args);
        EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
        if (c.status != 0) {
            // One line of message.
            EXPECT_EQ(r.err.rfind("tessarine-cli: ", 0), 0u) << c.what;
            EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << c.what;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("o.tga")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("o2.bmp")));
    // A frame beyond the icon file decodes nothing: status 1, nothing written.
    const TIOParamsVals p = pair(3, 8);
    const IconFrameSource one{&img, &p};
    WriteIconFile(dir.str("one.ico"), std::span(&one, 1));
    EXPECT_EQ(convert({dir.str("one.ico"), dir.str("f.png"), "--frame", "1"}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("f.png")));
}

TEST(CliImageMagick, FramesAndConvertOnImageMagickFiles) {
    const char* im = TESS_IM_CONVERT;
    if (!test::toolPresent(im)) GTEST_SKIP() << "ImageMagick convert not installed";
    test::TempDir dir;
    const std::string base = std::string(im) + " -size 32x32 gradient:'rgba(0,255,0,0.4)'-navy ";
    ASSERT_EQ(test::run(base + "-define icon:auto-resize=48,16 " + test::quoted(dir.str("m.ico"))), 0);
    ASSERT_EQ(test::run(base + test::quoted(dir.str("m.png"))), 0);
    ASSERT_EQ(test::run(std::string(im) + " -size 32x32 gradient:red-blue -type truecolor bmp3:" + test::quoted(dir.str("m.bmp"))), 0);
    const Result ico = frames({dir.str("m.ico")});
    EXPECT_EQ(ico.status, 0) << ico.err;
    EXPECT_EQ(ico.out, "1\t48 x 48\tRGBA 32 bit\n2\t16 x 16\tRGBA 32 bit\n");
    // ImageMagick writes this gradient as 16-bit RGBA: 16 x 4.
    EXPECT_EQ(frames({dir.str("m.png")}).out, "1\t32 x 32\tRGB 64 bit\n");
    EXPECT_EQ(frames({dir.str("m.bmp")}).out, "1\t32 x 32\tRGB 24 bit\n");
    for (const char* in : {"m.ico", "m.png", "m.bmp"}) {
        for (const char* out : {"o.ico", "o.png", "o.bmp", "o.jpg"}) {
            ASSERT_EQ(convert({dir.str(in), dir.str(out)}).status, 0) << in << " -> " << out;
            // ImageMagick reads what we wrote, at the input's size.
            const std::string size = test::capture(std::string(TESS_IM_IDENTIFY) + " -format '%w x %h ' " + test::quoted(dir.str(out)));
            const std::string expected = std::string(in) == "m.ico" ? "48 x 48 " : "32 x 32 ";
            EXPECT_EQ(size, expected) << in << " -> " << out;
        }
    }
    // The 64-bit PNG's depth names no icon encoding; its transparency survives at 32 bits.
    ASSERT_EQ(convert({dir.str("m.png"), dir.str("t.ico")}).status, 0);
    EXPECT_EQ(frames({dir.str("t.ico")}).out, "1\t32 x 32\tRGBA 32 bit\n");
}

TEST(CliBinary, SubcommandsReachTheirHandlersWithTheirExitStatuses) {
    const std::string cli = std::string(TESS_BIN_DIR) + "/tessarine-cli";
    if (!std::filesystem::exists(cli)) GTEST_SKIP() << "tessarine-cli not built";
    test::TempDir dir;
    const Image img = test::gradientImage(6, 6);
    const TIOParamsVals p = pair(4, 8);
    const IconFrameSource one{&img, &p};
    WriteIconFile(dir.str("a.ico"), std::span(&one, 1));
    EXPECT_EQ(test::capture(test::quoted(cli) + " frames " + test::quoted(dir.str("a.ico"))), "1\t6 x 6\tRGBA 32 bit\n");
    EXPECT_EQ(WEXITSTATUS(test::run(test::quoted(cli) + " convert " + test::quoted(dir.str("a.ico")) + " " +
                                    test::quoted(dir.str("a.png")))),
              0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("a.png")));
    EXPECT_EQ(WEXITSTATUS(test::run(test::quoted(cli) + " convert " + test::quoted(dir.str("a.ico")))), 2);
    test::writeFile(dir.file("bad.png"), std::string_view("\x89PNG\r\n\x1a\n...."));
    EXPECT_EQ(WEXITSTATUS(test::run(test::quoted(cli) + " frames " + test::quoted(dir.str("bad.png")))), 1);
}

}  // namespace
}  // namespace tess
