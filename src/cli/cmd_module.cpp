// tessarine-cli stats and tree: a module's resource counts and its resource tree.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "mainwindow/resource_tree_model.h"
#include "platform/file_queries.h"
#include "platform/paths.h"
#include "resources/module_resources.h"
#include "resources/resource_statistics.h"

namespace tess::cli {

namespace {

constexpr const char* kStatsHelp =
    "usage: tessarine-cli stats MODULE [--json]\n"
    "\n"
    "Prints the resource counts of MODULE, one per line:\n"
    "  Resources, Images, Bitmaps, PNG, Group Icons, Icons, Group Cursors (frames of all\n"
    "  group cursors), Cursors, Extractable (bitmaps + PNG images + group icons + icons).\n"
    "A file that is not a valid module still gets its counts (0, and -1 for PNG and\n"
    "Extractable). Any file is read, whatever its extension.\n"
    "\n"
    "options:\n"
    "  --json   print one JSON object instead, with the integer members\n"
    "           resources, images, bitmaps, png, groupIcons, icons, groupCursors,\n"
    "           cursors, extractable\n"
    "  --help   show this text\n"
    "\n"
    "exit status: 0 valid module, 1 not a valid module, 2 usage error or missing file\n";

constexpr const char* kTreeHelp =
    "usage: tessarine-cli tree MODULE [--opened]\n"
    "\n"
    "Prints the resource tree of MODULE, one node per line, each level indented two\n"
    "blanks more than its parent: resource types, their image resources, and the frames\n"
    "of group icons and group cursors (\"48 x 48 32-bit\"). Resource nodes are named as\n"
    "when the module is chosen in the file list (\"Shell32DLL GroupIcon Icon 1\").\n"
    "Control characters in names are printed as '?'.\n"
    "\n"
    "options:\n"
    "  --opened  name resource nodes as when the module is opened with \"&Open...\"\n"
    "            (\"shell32.dll GroupIcon 1\")\n"
    "  --help    show this text\n"
    "\n"
    "exit status: 0 valid module, 1 not a valid module, 2 usage error or missing file\n";

struct ModuleArgs {
    std::string module;
    bool flag = false;  // --json or --opened
    bool help = false;
};

// Parses "MODULE [FLAG]" in any order; "--" ends the options. Returns nullopt (after a
// message on stderr) for a usage error.
std::optional<ModuleArgs> parseArgs(const char* command, const Args& args, const char* flagName,
                                    const char* help) {
    ModuleArgs parsed;
    bool haveModule = false;
    bool optionsEnded = false;
    auto usage = [&](const std::string& message) -> std::optional<ModuleArgs> {
        std::fprintf(stderr, "tessarine-cli %s: %s\n%s", command, message.c_str(), help);
        return std::nullopt;
    };
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            parsed.help = true;
        } else if (!optionsEnded && arg == flagName) {
            parsed.flag = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            return usage("unknown option '" + arg + "'");
        } else if (haveModule) {
            return usage("more than one module given");
        } else {
            parsed.module = arg;
            haveModule = true;
        }
    }
    if (!parsed.help && !haveModule) return usage("no module given");
    return parsed;
}

// The path in the form the file system takes, or nullopt (after a message) when it does
// not name a readable file.
std::optional<std::string> openableFile(const char* command, const std::string& module) {
    const std::string path = toNativePath(module);
    if (folderExists(path)) {
        std::fprintf(stderr, "tessarine-cli %s: %s: is a folder\n", command, module.c_str());
        return std::nullopt;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        const int error = errno;
        std::fprintf(stderr, "tessarine-cli %s: %s: %s\n", command, module.c_str(),
                     systemErrorText(error).c_str());
        return std::nullopt;
    }
    ::close(fd);
    if (!fileExists(path)) {
        std::fprintf(stderr, "tessarine-cli %s: %s: not a regular file\n", command, module.c_str());
        return std::nullopt;
    }
    return path;
}

void reportInvalid(const char* command, const std::string& module) {
    std::fprintf(stderr, "tessarine-cli %s: %s: not a valid module (no readable PE resource data)\n",
                 command, module.c_str());
}

// One output line per node: control characters would split or garble it.
std::string printable(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) c = '?';
    }
    return out;
}

}  // namespace

int runStats(const Args& args) {
    const std::optional<ModuleArgs> parsed = parseArgs("stats", args, "--json", kStatsHelp);
    if (!parsed) return 2;
    if (parsed->help) {
        std::fputs(kStatsHelp, stdout);
        return 0;
    }
    const std::optional<std::string> path = openableFile("stats", parsed->module);
    if (!path) return 2;

    struct Count {
        const char* label;
        const char* key;
        std::int32_t value;
    };
    const Count counts[] = {
        {"Resources", "resources", CountResources(*path)},
        {"Images", "images", CountImages(*path)},
        {"Bitmaps", "bitmaps", CountBitmaps(*path)},
        {"PNG", "png", CountPngImages(*path)},
        {"Group Icons", "groupIcons", CountGroupIcons(*path)},
        {"Icons", "icons", CountIcons(*path)},
        {"Group Cursors", "groupCursors", CountGroupCursorFrames(*path)},
        {"Cursors", "cursors", CountCursors(*path)},
        {"Extractable", "extractable", CountExtractable(*path)},
    };
    const bool valid = TIEModuleResources(*path).IsValid();

    if (parsed->flag) {
        std::string json = "{";
        for (const Count& c : counts) {
            if (json.size() > 1) json += ",";
            json += "\"" + std::string(c.key) + "\":" + std::to_string(c.value);
        }
        std::printf("%s}\n", json.c_str());
    } else {
        for (const Count& c : counts) std::printf("%s: %d\n", c.label, static_cast<int>(c.value));
    }
    if (!valid) {
        reportInvalid("stats", parsed->module);
        return 1;
    }
    return 0;
}

int runTree(const Args& args) {
    const std::optional<ModuleArgs> parsed = parseArgs("tree", args, "--opened", kTreeHelp);
    if (!parsed) return 2;
    if (parsed->help) {
        std::fputs(kTreeHelp, stdout);
        return 0;
    }
    const std::optional<std::string> path = openableFile("tree", parsed->module);
    if (!path) return 2;

    TIEModuleResources reader(*path);
    if (!reader.IsValid()) {
        reportInvalid("tree", parsed->module);
        return 1;
    }
    // Node texts name the module as it was given on the command line.
    const ResourceTree tree = BuildResourceTree(
        reader, parsed->module, parsed->flag ? NodeTextForm::OpenDialog : NodeTextForm::FileList);
    for (const ResourceTreeNode& node : tree.nodes()) {
        std::printf("%*s%s\n", node.level * 2, "", printable(node.text).c_str());
    }
    if (tree.truncated()) {
        std::fprintf(stderr, "tessarine-cli tree: %s: tree cut off after %zu nodes\n",
                     parsed->module.c_str(), tree.size());
    }
    return 0;
}

}  // namespace tess::cli
