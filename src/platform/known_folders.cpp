// Special folders on Linux.
#include "platform/known_folders.h"

#include <climits>
#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <vector>

#include "platform/error.h"
#include "platform/file_queries.h"
#include "platform/paths.h"

namespace tess {

namespace {

constexpr std::size_t kMaxUserDirsFileSize = 64 * 1024;

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

// $HOME without trailing separators; "" when unset or empty.
std::string homeFolder() {
    const std::string home = environment("HOME");
    return home.empty() ? std::string() : withoutTrailingSeparator(home);
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config; "" when neither is known.
// The base-directory rules ignore a relative XDG_CONFIG_HOME.
std::string configHome() {
    const std::string xdg = environment("XDG_CONFIG_HOME");
    if (!xdg.empty() && xdg.front() == '/') return withoutTrailingSeparator(xdg);
    const std::string home = homeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

// The value of one XDG_*_DIR line of user-dirs.dirs: a double-quoted path that starts
// with "$HOME" or "/", with backslash escapes. Empty when the line is missing or in
// another form, which the user-dirs rules tell readers to ignore.
std::string userDir(std::string_view variable) {
    const std::string config = configHome();
    if (config.empty()) return {};
    const FileReadResult file = readWholeFile(config + "/user-dirs.dirs", kMaxUserDirsFileSize);
    if (!file.ok) return {};
    const std::string text(file.bytes.begin(), file.bytes.end());
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.substr(0, variable.size()) != variable) continue;
        line.remove_prefix(variable.size());
        if (line.size() < 2 || line[0] != '=' || line[1] != '"') continue;
        line.remove_prefix(2);
        std::string value;
        bool closed = false;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == '"') {
                closed = true;
                break;
            }
            if (line[i] == '\\' && i + 1 < line.size()) ++i;
            value += line[i];
        }
        if (!closed) continue;
        if (value.rfind("$HOME", 0) == 0) {
            const std::string home = homeFolder();
            if (home.empty()) continue;
            return home + value.substr(5);
        }
        if (!value.empty() && value.front() == '/') return value;
    }
    return {};
}

std::string userFolder(std::string_view variable, const char* fallbackName, const char* error) {
    std::string folder = userDir(variable);
    if (folder.empty()) {
        const std::string home = homeFolder();
        if (!home.empty()) folder = home + "/" + fallbackName;
    }
    if (folder.empty() || !folderExists(folder)) throw Error(error);
    return withTrailingSeparator(folder);
}

std::string firstExisting(const std::vector<std::string>& candidates) {
    for (const std::string& c : candidates) {
        if (!c.empty() && folderExists(c)) return c;
    }
    return homeFolder();
}

constexpr const char* kWineModules64 = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows";
constexpr const char* kWineModules32 = "/usr/lib/x86_64-linux-gnu/wine/i386-windows";

// The Wine prefixes to look in, $WINEPREFIX first; each without trailing separator.
std::vector<std::string> winePrefixes() {
    std::vector<std::string> prefixes;
    const std::string prefix = environment("WINEPREFIX");
    if (!prefix.empty()) prefixes.push_back(withoutTrailingSeparator(prefix));
    const std::string home = homeFolder();
    if (!home.empty()) prefixes.push_back(home + "/.wine");
    return prefixes;
}

}  // namespace

// Linux has no drive letters: this is the first character of the current folder, so '/'
// for every absolute current folder, and '/' too when the current folder cannot be read
// (for example after it was removed).
char CurrentDriveLetter() {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer) == nullptr || buffer[0] == '\0') return '/';
    return buffer[0];
}

// The roaming application-data folder is the XDG configuration home: $XDG_CONFIG_HOME,
// else ~/.config. It need not exist yet; the settings writer creates it.
std::string AppDataFolder() {
    const std::string folder = configHome();
    if (folder.empty()) throw Error("Could not find Local App Data folder location.");
    return folder;
}

// The XDG documents folder (XDG_DOCUMENTS_DIR of user-dirs.dirs, else ~/Documents); it
// must exist.
std::string DocumentsFolder() {
    return userFolder("XDG_DOCUMENTS_DIR", "Documents", "Could not find Documents folder location.");
}

// The XDG desktop folder (XDG_DESKTOP_DIR of user-dirs.dirs, else ~/Desktop); it must
// exist.
std::string DesktopFolder() {
    return userFolder("XDG_DESKTOP_DIR", "Desktop", "Could not find Desktop folder location.");
}

// The Windows folder of a Wine prefix ($WINEPREFIX, then ~/.wine), else the installed
// Wine PE modules folder, else the home folder: the first that exists.
std::string WindowsFolder() {
    std::vector<std::string> candidates;
    for (const std::string& prefix : winePrefixes()) candidates.push_back(prefix + "/drive_c/windows");
    candidates.push_back(kWineModules64);
    candidates.push_back(kWineModules32);
    return firstExisting(candidates);
}

// Where the system's modules live: system32 of a Wine prefix ($WINEPREFIX, then ~/.wine),
// else the installed Wine PE modules folder (64-bit, then 32-bit), else the home folder:
// the first that exists. Looked up on its own rather than below WindowsFolder, because
// the Wine modules folder has no windows folder above it.
std::string System32Folder() {
    std::vector<std::string> candidates;
    for (const std::string& prefix : winePrefixes()) {
        candidates.push_back(prefix + "/drive_c/windows/system32");
    }
    candidates.push_back(kWineModules64);
    candidates.push_back(kWineModules32);
    return firstExisting(candidates);
}

// ~/Images/Extracted Images/ in place of <current drive>:\Images\Extracted Images\; it
// is created when something is saved there.
std::string DefaultDestinationRoot() {
    const std::string home = homeFolder();
    if (home.empty()) throw Error("Could not find the home folder.");
    return home + "/Images/Extracted Images/";
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return parentFolder(std::string_view(buffer, static_cast<std::size_t>(length)));
}

}  // namespace tess
