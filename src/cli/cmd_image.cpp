// tessarine-cli frames and convert: list the frames of an image file, convert one image.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "iconfile/icon_codec.h"
#include "imaging/file_io.h"
#include "imaging/image_io.h"
#include "platform/error.h"

namespace tess::cli {

namespace {

constexpr const char* kFramesUsage =
    "usage: tessarine-cli frames FILE\n"
    "\n"
    "Lists the frames of an image or icon file (.ico, .cur, .bmp, .png, .jpg), one per line:\n"
    "number, width x height and colour depth, separated by tabs.\n"
    "Exit status: 0 ok, 1 a frame cannot be decoded, 2 usage error or unreadable file.\n";

constexpr const char* kConvertUsage =
    "usage: tessarine-cli convert INPUT OUTPUT [--frame K]\n"
    "\n"
    "Decodes INPUT (frame K of an icon file, 0-based, default 0) and writes it in the format\n"
    "of OUTPUT's extension (.ico, .bmp, .png, .jpg, .jpeg). An icon is written as one frame\n"
    "of the image's own size and colour depth.\n"
    "Exit status: 0 ok, 1 the input cannot be decoded, 2 usage error or unreadable or\n"
    "unwritable file.\n";

// One line: the message and where the usage is.
int usageError(const char* command, const std::string& message) {
    std::fprintf(stderr, "tessarine-cli: %s (see 'tessarine-cli %s --help')\n", message.c_str(), command);
    return 2;
}

int fail(int status, const std::string& message) {
    std::fprintf(stderr, "tessarine-cli: %s\n", message.c_str());
    return status;
}

bool isHelp(const Args& args) {
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") return true;
    return false;
}

// "RGBA 32 bit" for depth 32, else "RGB <d> bit", as the icon viewer shows a frame.
std::string depthText(const TIOParamsVals& p) {
    const int depth = p.colorDepth();
    return depth == 32 ? "RGBA 32 bit" : "RGB " + std::to_string(depth) + " bit";
}

// A decimal frame number: digits only, at most 5 (an icon file holds at most 65535 frames).
bool parseFrame(const std::string& text, int& frame) {
    if (text.empty() || text.size() > 5) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    frame = std::stoi(text);
    return true;
}

}  // namespace

int runFrames(const Args& args) {
    if (isHelp(args)) {
        std::fputs(kFramesUsage, stdout);
        return 0;
    }
    if (args.size() != 1) return usageError("frames", "frames takes exactly one FILE");
    const std::string& file = args[0];
    if (formatCodeForExtension(lowerExtension(file)) == FormatCode::None)
        return usageError("frames", "\"" + file + "\": unknown image file extension \"" +
                                            lowerExtension(file) + "\"");
    try {
        const std::int32_t count = CountImageFrames(file);
        for (std::int32_t k = 0; k < count; ++k) {
            Image image;
            TIOParamsVals params;
            params.imageIndex = k;
            if (!loadFromFile(file, image, params))
                return fail(1, "cannot decode frame " + std::to_string(k + 1) + " of \"" + file + "\"");
            std::printf("%d\t%d x %d\t%s\n", k + 1, image.width(), image.height(), depthText(params).c_str());
        }
    } catch (const Error& e) {
        return fail(2, e.what());
    }
    return 0;
}

int runConvert(const Args& args) {
    if (isHelp(args)) {
        std::fputs(kConvertUsage, stdout);
        return 0;
    }
    std::vector<std::string> files;
    int frame = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--frame") {
            if (i + 1 >= args.size() || !parseFrame(args[i + 1], frame))
                return usageError("convert", "--frame needs a frame number (0, 1, ...)");
            ++i;
        } else if (args[i].rfind("--", 0) == 0) {
            return usageError("convert", "unknown option " + args[i]);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return usageError("convert", "convert takes INPUT and OUTPUT");
    const std::string& input = files[0];
    const std::string& output = files[1];
    const std::string inExt = lowerExtension(input), outExt = lowerExtension(output);
    if (formatCodeForExtension(inExt) == FormatCode::None)
        return usageError("convert", "\"" + input + "\": unknown image file extension \"" + inExt + "\"");
    const int outCode = formatCodeForExtension(outExt);
    if (outCode == FormatCode::None || outCode == FormatCode::Cursor)
        return usageError("convert", "cannot write \"" + output + "\": the extension \"" + outExt +
                                             "\" is not an image format this program writes");
    try {
        Image image;
        TIOParamsVals params;
        params.imageIndex = frame;
        if (!loadFromFile(input, image, params)) {
            if (!params.aborted)
                return fail(1, "\"" + input + "\" has no frame " + std::to_string(frame));
            return fail(1, "cannot decode \"" + input + "\"");
        }
        if (outCode == FormatCode::Icon) {
            // As Save As does: one frame of the image's own size and colour depth.
            params.icoSizes[0] = IconSize{image.width(), image.height()};
            params.icoBitCounts[0] = params.colorDepth();
        }
        saveToFile(output, FormatCode::ByExtension, image, params);
    } catch (const Error& e) {
        return fail(2, e.what());
    }
    return 0;
}

}  // namespace tess::cli
