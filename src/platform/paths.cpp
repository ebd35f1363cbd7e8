// Path text helpers.
#include "platform/paths.h"

namespace tess {

bool endsWithSeparator(std::string_view path) {
    return !path.empty() && isFolderSeparator(path.back());
}

std::string withTrailingSeparator(std::string_view path) {
    std::string result(path);
    if (!result.empty() && !endsWithSeparator(result)) result += kFolderSeparator;
    return result;
}

std::string withoutTrailingSeparator(std::string_view path) {
    std::size_t end = path.size();
    while (end > 0 && isFolderSeparator(path[end - 1])) --end;
    if (end == 0 && !path.empty()) return std::string(1, kFolderSeparator);
    return std::string(path.substr(0, end));
}

std::string toNativePath(std::string_view path) {
    std::string result(path);
    for (char& c : result) {
        if (c == '\\') c = kFolderSeparator;
    }
    return result;
}

std::string joinPath(std::string_view folder, std::string_view name) {
    if (folder.empty()) return std::string(name);
    std::size_t skip = 0;
    while (skip < name.size() && isFolderSeparator(name[skip])) ++skip;
    return withTrailingSeparator(folder) + std::string(name.substr(skip));
}

std::size_t lastSeparator(std::string_view path) { return path.find_last_of("\\/"); }

std::string fileNamePart(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    return std::string(sep == std::string_view::npos ? path : path.substr(sep + 1));
}

std::string parentFolder(std::string_view path) {
    const std::size_t sep = lastSeparator(path);
    if (sep == std::string_view::npos) return {};
    if (sep == 0) return std::string(1, kFolderSeparator);
    return toNativePath(path.substr(0, sep));
}

std::string extensionOf(std::string_view path) {
    const std::string name = fileNamePart(path);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string asciiLowerCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = asciiLower(c);
    return result;
}

std::string asciiUpperCase(std::string_view text) {
    std::string result(text);
    for (char& c : result) c = asciiUpper(c);
    return result;
}

bool equalsIgnoreAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

}  // namespace tess
