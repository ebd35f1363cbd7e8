// The product-settings file.
#include "app/product_settings.h"

#include "app/globals.h"
#include "app/util_funcs.h"
#include "platform/error.h"
#include "platform/file_queries.h"

namespace tess {

namespace {
constexpr const char* kSystemSection = "SYSTEM";
}  // namespace

std::vector<std::string> splitLines(Bytes bytes) {
    std::vector<std::string> lines;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<char>(bytes[i]);
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) lines.push_back(std::move(current));
    return lines;
}

MemIniFile readProductSettings(const std::string& path) {
    const FileReadResult file = readWholeFile(path, kMaxProductSettingsSize);
    if (!file.ok) {
        throw Error("Cannot open file \"" + path + "\". " + systemErrorText(file.errorCode));
    }
    std::vector<std::string> lines = splitLines(file.bytes);
    for (std::string& line : lines) {
        line = InvertText(line);
        // An inverted 0xFF is a NUL, which ends the line's text.
        const std::size_t nul = line.find('\0');
        if (nul != std::string::npos) line.resize(nul);
    }
    return MemIniFile(lines);
}

std::string readApplicationTitle(const std::string& path) {
    return readProductSettings(path).readString(kSystemSection, "Name");
}

void ReadProductInfo(const std::string& path) {
    const MemIniFile ini = readProductSettings(path);
    TGlobalVars& g = GlobalVars;
    g.Version = ini.readString(kSystemSection, "Version");
    g.RightsHolder = ini.readString(kSystemSection, "Copyright");
    g.SkinName = ini.readString(kSystemSection, "SkinName");
    g.HelpContectLink = ini.readString(kSystemSection, "HelpContectLink");
    g.HelpHowTosTutorialVideosLink = ini.readString(kSystemSection, "HelpHowTosTutorialVideosLink");
    g.HelpHomePageLink = ini.readString(kSystemSection, "HelpHomePageLink");
    g.HelpMoreFreeToolsLink = ini.readString(kSystemSection, "HelpMoreFreeToolsLink");
    g.HelpCheckForUpdatesLink = ini.readString(kSystemSection, "HelpCheckForUpdatesLink");
    g.HelpSupportLink = ini.readString(kSystemSection, "HelpSupportLink");
}

}  // namespace tess
