// tessarine-cli: the extraction functions of Tessarine for scripts.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "cli/cli_commands.h"

namespace {

constexpr const char* kUsage =
    "usage: tessarine-cli COMMAND [ARGS...]\n"
    "\n"
    "commands:\n"
    "  stats MODULE [--json]        counts of a module's resources\n"
    "  tree MODULE [--opened]       the resource tree, one node per line\n"
    "  frames FILE                  the frames of an image or icon file\n"
    "  convert INPUT OUTPUT [--frame K]\n"
    "                               convert an image file by the output's extension\n"
    "\n"
    "Run 'tessarine-cli COMMAND --help' for a command's options.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string command = argv[1];
    if (command == "--help" || command == "-h" || command == "help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    tess::cli::Args args(argv + 2, argv + argc);
    try {
        if (command == "stats") return tess::cli::runStats(args);
        if (command == "tree") return tess::cli::runTree(args);
        if (command == "frames") return tess::cli::runFrames(args);
        if (command == "convert") return tess::cli::runConvert(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tessarine-cli: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "tessarine-cli: unknown command '%s'\n%s", command.c_str(), kUsage);
    return 2;
}
