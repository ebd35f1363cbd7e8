// Fuzzes the settings readers: profile-file lookups and rewrites, INI integers, and the
// inverted product-settings lines read through MemIniFile.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/product_settings.h"
#include "app/util_funcs.h"
#include "platform/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tess::Bytes content(data, size);

    const std::string left = tess::profileReadString(content, "Form Main", "Left", "0");
    std::int32_t value = 0;
    (void)tess::parseIniInteger(left, value);
    (void)tess::profileReadString(content, "DestinationFolders", "0", "");

    // A value written is read back unchanged, whatever else the file holds.
    const std::string rewritten = tess::profileWithValue(content, "Form Main", "Left", "1079");
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(rewritten.data());
    if (tess::profileReadString({bytes, rewritten.size()}, "form main", "LEFT", "") != "1079") {
        std::abort();
    }
    const std::string erased = tess::profileWithoutSection(content, "Form Main");
    const auto* erasedBytes = reinterpret_cast<const std::uint8_t*>(erased.data());
    if (tess::profileReadString({erasedBytes, erased.size()}, "Form Main", "Left", "none") != "none") {
        std::abort();
    }

    std::vector<std::string> lines = tess::splitLines(content);
    for (std::string& line : lines) line = tess::InvertText(line);
    const tess::MemIniFile ini(lines);
    (void)ini.readString("SYSTEM", "Name");
    (void)ini.readString("SYSTEM", "HelpHomePageLink");
    return 0;
}
