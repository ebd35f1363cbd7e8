#include "resources/resource_directory.h"

#include <limits>
#include <optional>
#include <unordered_set>

namespace tess {

namespace {

// A resource directory: 16-byte header whose u16 at 12 and 14 count the string-named
// and the integer-named entries, then the 8-byte entries. An entry's first u32 is an
// integer id, or with the top bit set the offset of a string id (u16 length, UTF-16LE
// units); its second u32 is a data-entry offset, or with the top bit set the offset of
// a subdirectory. All offsets count from the start of the root directory.
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kEntrySize = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;
// A data entry: RVA of the bytes, their size, code page, reserved.
constexpr std::size_t kDataEntrySize = 16;

constexpr std::uint32_t kLangNeutral = 0x0000;
constexpr std::uint32_t kLangEnUs = 0x0409;

struct Entry {
    std::uint32_t id;
    std::uint32_t target;
    bool isString() const { return (id & kHighBit) != 0; }
    bool isDirectory() const { return (target & kHighBit) != 0; }
    std::uint32_t stringOffset() const { return id & ~kHighBit; }
    std::uint32_t targetOffset() const { return target & ~kHighBit; }
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

class Walker {
public:
    Walker(Bytes view, const PeImage& image, const ResourceWalkLimits& limits)
        : m_view(view), m_image(image), m_limits(limits) {}

    // The entries of the directory at `offset`, fewer when the section ends first or the
    // entry budget runs out; nullopt when it was visited before or its header is cut.
    std::optional<std::vector<Entry>> directory(std::uint32_t offset) {
        if (!m_visited.insert(offset).second) return std::nullopt;
        const auto named = readU16(m_view, std::size_t{offset} + 12);
        const auto ids = readU16(m_view, std::size_t{offset} + 14);
        if (!named || !ids) return std::nullopt;
        const std::size_t first = std::size_t{offset} + kDirectoryHeaderSize;
        std::size_t count = std::size_t{*named} + *ids;
        count = std::min(count, (m_view.size() - first) / kEntrySize);
        count = std::min(count, m_limits.maxEntries - m_entriesRead);
        m_entriesRead += count;
        std::vector<Entry> entries;
        entries.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            entries.push_back({*readU32(m_view, first + i * kEntrySize),
                               *readU32(m_view, first + i * kEntrySize + 4)});
        return entries;
    }

    // The identifier text of an entry, or nullopt for a string that leaves the section
    // or exceeds the text budget. Unpaired surrogates become U+FFFD.
    std::optional<std::string> idText(const Entry& e) {
        if (!e.isString()) return integerIdText(e.id);
        const std::size_t at = e.stringOffset();
        const auto length = readU16(m_view, at);
        if (!length) return std::nullopt;
        const auto units = subspan(m_view, at + 2, std::size_t{*length} * 2);
        if (!units) return std::nullopt;
        const std::size_t kept = std::min<std::size_t>(*length, m_limits.maxNameUnits);
        std::string out;
        for (std::size_t i = 0; i < kept; ++i) {
            char32_t u = *readU16(*units, 2 * i);
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < kept) {
                const char32_t low = *readU16(*units, 2 * i + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;
            appendUtf8(out, u);
        }
        if (out.size() > m_limits.maxTextBytes - m_textBytes) return std::nullopt;
        m_textBytes += out.size();
        return out;
    }

    // The bytes of the language chosen for one name (see chooseLanguage).
    void resolveData(const std::vector<Entry>& languages, ResourceNameRecord& name) {
        const Entry* chosen = chooseLanguage(languages);
        if (!chosen) return;
        const auto rva = readU32(m_view, chosen->target);
        const auto size = readU32(m_view, std::size_t{chosen->target} + 4);
        if (!rva || !size || !rangeFits(m_view.size(), chosen->target, kDataEntrySize)) return;
        // Sizes are reported as 32-bit signed values.
        if (*size > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) return;
        const auto bytes = mapRva(m_image, *rva, *size);
        if (!bytes) return;
        name.found = true;
        name.data = *bytes;
    }

private:
    // One name in several languages: language neutral first, then US English, then the
    // first language in directory order - the choice a lookup without a language
    // preference would make, and the same on every machine. Entries that point at a
    // further directory are not data and are skipped.
    static const Entry* chooseLanguage(const std::vector<Entry>& languages) {
        const Entry* first = nullptr;
        const Entry* enUs = nullptr;
        for (const Entry& e : languages) {
            if (e.isDirectory()) continue;
            if (!e.isString() && e.id == kLangNeutral) return &e;
            if (!e.isString() && e.id == kLangEnUs && !enUs) enUs = &e;
            if (!first) first = &e;
        }
        return enUs ? enUs : first;
    }

    Bytes m_view;
    const PeImage& m_image;
    const ResourceWalkLimits& m_limits;
    std::unordered_set<std::uint32_t> m_visited;
    std::size_t m_entriesRead = 0;
    std::size_t m_textBytes = 0;
};

}  // namespace

std::string integerIdText(std::uint32_t number) { return "INTRESOURCE:" + std::to_string(number); }

std::vector<ResourceTypeRecord> readResourceTree(const PeImage& image,
                                                 const ResourceWalkLimits& limits) {
    std::vector<ResourceTypeRecord> types;
    if (image.resourceRva == 0) return types;
    const auto view = mapRvaToSectionEnd(image, image.resourceRva);
    if (!view) return types;
    Walker walker(*view, image, limits);
    const auto root = walker.directory(0);
    if (!root) return types;
    for (const Entry& typeEntry : *root) {
        if (!typeEntry.isDirectory()) continue;
        auto typeText = walker.idText(typeEntry);
        if (!typeText) continue;
        const auto nameEntries = walker.directory(typeEntry.targetOffset());
        if (!nameEntries) continue;
        ResourceTypeRecord type;
        type.idText = std::move(*typeText);
        type.isString = typeEntry.isString();
        for (const Entry& nameEntry : *nameEntries) {
            if (!nameEntry.isDirectory()) continue;
            auto nameText = walker.idText(nameEntry);
            if (!nameText) continue;
            const auto languages = walker.directory(nameEntry.targetOffset());
            if (!languages) continue;
            ResourceNameRecord name;
            name.idText = std::move(*nameText);
            walker.resolveData(*languages, name);
            type.names.push_back(std::move(name));
        }
        types.push_back(std::move(type));
    }
    return types;
}

}  // namespace tess
