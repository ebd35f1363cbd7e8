#include "support/windres_module.h"

#include <cstdio>
#include <cstdlib>

namespace tess::test {

namespace {

std::string linkerFor(PeFormat format) {
    return format == PeFormat::Pe32 ? std::string(TESS_MINGW32_LD) : std::string(TESS_MINGW_LD);
}

std::string quote(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

// Runs `command` through the shell, collecting stdout and stderr; true on exit status 0.
bool run(const std::string& command, std::string& output) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) {
        output = "cannot start: " + command;
        return false;
    }
    char buffer[512];
    output.clear();
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    const int status = pclose(pipe);
    return status == 0;
}

}  // namespace

bool windresAvailable(PeFormat format) {
    return !std::string(TESS_WINDRES).empty() && !linkerFor(format).empty();
}

std::optional<std::filesystem::path> buildWindresModule(const TempDir& dir, std::string_view rcText,
                                                        std::string* error,
                                                        const WindresOptions& options) {
    auto fail = [&](const std::string& why) -> std::optional<std::filesystem::path> {
        if (error) *error = why;
        return std::nullopt;
    };
    if (!windresAvailable(options.format)) return fail("windres or the MinGW linker is not installed");
    const std::filesystem::path rc = dir.file(options.stem + ".rc");
    const std::filesystem::path obj = dir.file(options.stem + ".res.o");
    const std::filesystem::path dll = dir.file(options.stem + ".dll");
    try {
        writeFile(rc, rcText);
    } catch (const std::exception& e) {
        return fail(e.what());
    }
    const std::string cd = "cd " + quote(dir.path().string()) + " && ";
    const std::string target = options.format == PeFormat::Pe32 ? " -F pe-i386" : " -F pe-x86-64";
    const std::string compile = cd + quote(TESS_WINDRES) + target +
                                " --preprocessor=cpp --preprocessor-arg=-P -O coff " +
                                quote(rc.string()) + " " + quote(obj.string());
    std::string output;
    if (!run(compile, output)) return fail(compile + "\n" + output);
    // A resource-only DLL: no entry point, no code of its own.
    const std::string link = cd + quote(linkerFor(options.format)) + " --dll -e 0 -o " +
                             quote(dll.string()) + " " + quote(obj.string());
    if (!run(link, output)) return fail(link + "\n" + output);
    return dll;
}

}  // namespace tess::test
