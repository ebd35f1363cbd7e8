#include "resources/resource_directory.h"

#include <charconv>
#include <limits>
#include <optional>
#include <vector>

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

// Directory offsets already walked: an open-addressing set of 31-bit offsets (one
// allocation, no node per offset).
class OffsetSet {
public:
    // False when `offset` was present already.
    bool insert(std::uint32_t offset) {
        if (2 * (m_size + 1) > m_slots.size()) grow();
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash(offset) & mask;; i = (i + 1) & mask) {
            if (m_slots[i] == offset) return false;
            if (m_slots[i] == kEmpty) {
                m_slots[i] = offset;
                ++m_size;
                return true;
            }
        }
    }

private:
    static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;  // offsets have the top bit clear
    // Fibonacci hashing; the high half of the product mixes every bit of the offset.
    static std::size_t hash(std::uint32_t v) {
        return static_cast<std::size_t>((std::uint64_t{v} * 0x9E3779B97F4A7C15ull) >> 32);
    }
    void grow() {
        std::vector<std::uint32_t> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 64 : old.size() * 2, kEmpty);
        m_size = 0;
        for (std::uint32_t v : old)
            if (v != kEmpty) insert(v);
    }
    std::vector<std::uint32_t> m_slots;
    std::size_t m_size = 0;
};

// The entries of one directory, read in place; `count` entries fit in the view.
struct Directory {
    Bytes view;
    std::size_t first;
    std::size_t count;
    std::size_t size() const { return count; }
    Entry operator[](std::size_t i) const {
        return {*readU32(view, first + i * kEntrySize), *readU32(view, first + i * kEntrySize + 4)};
    }
};

class Walker {
public:
    Walker(Bytes view, const PeImage& image, const ResourceWalkLimits& limits)
        : m_view(view), m_image(image), m_limits(limits) {}

    // The entries of the directory at `offset`, fewer when the section ends first or the
    // entry budget runs out; nullopt when it was visited before, its header is cut, or the
    // budget is already spent (the walk ends there).
    std::optional<Directory> directory(std::uint32_t offset) {
        if (m_entriesRead == m_limits.maxEntries) return std::nullopt;
        if (!m_visited.insert(offset)) return std::nullopt;
        const auto named = readU16(m_view, std::size_t{offset} + 12);
        const auto ids = readU16(m_view, std::size_t{offset} + 14);
        if (!named || !ids) return std::nullopt;
        const std::size_t first = std::size_t{offset} + kDirectoryHeaderSize;
        std::size_t count = std::size_t{*named} + *ids;
        count = std::min(count, (m_view.size() - first) / kEntrySize);
        count = std::min(count, m_limits.maxEntries - m_entriesRead);
        m_entriesRead += count;
        return Directory{m_view, first, count};
    }

    // The id of an entry, or nullopt for a string that leaves the section or exceeds the
    // text budget. Unpaired surrogates become U+FFFD.
    std::optional<ResourceId> id(const Entry& e) {
        ResourceId out;
        if (!e.isString()) {
            out.number = static_cast<std::uint16_t>(e.id);
            // An integer id wider than 16 bits is not one the format can hold.
            if (e.id > 0xFFFF) return std::nullopt;
            return out;
        }
        out.isString = true;
        const std::size_t at = e.stringOffset();
        const auto length = readU16(m_view, at);
        if (!length) return std::nullopt;
        const auto units = subspan(m_view, at + 2, std::size_t{*length} * 2);
        if (!units) return std::nullopt;
        const std::size_t kept = std::min<std::size_t>(*length, m_limits.maxNameUnits);
        std::string& text = out.text;
        for (std::size_t i = 0; i < kept; ++i) {
            char32_t u = *readU16(*units, 2 * i);
            if (u >= 0xD800 && u < 0xDC00 && i + 1 < kept) {
                const char32_t low = *readU16(*units, 2 * i + 2);
                if (low >= 0xDC00 && low < 0xE000) {
                    appendUtf8(text, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                    ++i;
                    continue;
                }
            }
            if (u >= 0xD800 && u < 0xE000) u = 0xFFFD;
            appendUtf8(text, u);
        }
        if (text.size() > m_limits.maxTextBytes - m_textBytes) return std::nullopt;
        m_textBytes += text.size();
        return out;
    }

    // The bytes of the language chosen for one name (see chooseLanguage).
    void resolveData(const Directory& languages, ResourceNameRecord& name) {
        const std::optional<Entry> chosen = chooseLanguage(languages);
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
    static std::optional<Entry> chooseLanguage(const Directory& languages) {
        std::optional<Entry> first;
        std::optional<Entry> enUs;
        for (std::size_t i = 0; i < languages.size(); ++i) {
            const Entry e = languages[i];
            if (e.isDirectory()) continue;
            if (!e.isString() && e.id == kLangNeutral) return e;
            if (!e.isString() && e.id == kLangEnUs && !enUs) enUs = e;
            if (!first) first = e;
        }
        return enUs ? enUs : first;
    }

    Bytes m_view;
    const PeImage& m_image;
    const ResourceWalkLimits& m_limits;
    OffsetSet m_visited;
    std::size_t m_entriesRead = 0;
    std::size_t m_textBytes = 0;
};

}  // namespace

constexpr std::string_view kIntPrefix = "INTRESOURCE:";

std::string integerIdText(std::uint32_t number) { return std::string(kIntPrefix) + std::to_string(number); }

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

std::string ResourceId::idText() const { return isString ? text : integerIdText(number); }

bool ResourceId::idTextEquals(std::string_view other) const {
    if (isString) return equalsIgnoringAsciiCase(text, other);
    if (other.size() <= kIntPrefix.size() || !equalsIgnoringAsciiCase(other.substr(0, kIntPrefix.size()), kIntPrefix))
        return false;
    char digits[8];
    const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
    return ec == std::errc() && other.substr(kIntPrefix.size()) == std::string_view(digits, end - digits);
}

std::vector<ResourceTypeRecord> readResourceTree(const PeImage& image,
                                                 const ResourceWalkLimits& limits) {
    std::vector<ResourceTypeRecord> types;
    if (image.resourceRva == 0) return types;
    const auto view = mapRvaToSectionEnd(image, image.resourceRva);
    if (!view) return types;
    Walker walker(*view, image, limits);
    const auto root = walker.directory(0);
    if (!root) return types;
    for (std::size_t ti = 0; ti < root->size(); ++ti) {
        const Entry typeEntry = (*root)[ti];
        if (!typeEntry.isDirectory()) continue;
        auto typeId = walker.id(typeEntry);
        if (!typeId) continue;
        const auto nameEntries = walker.directory(typeEntry.targetOffset());
        if (!nameEntries) continue;
        ResourceTypeRecord type;
        type.id = std::move(*typeId);
        type.names.reserve(nameEntries->size());
        for (std::size_t ni = 0; ni < nameEntries->size(); ++ni) {
            const Entry nameEntry = (*nameEntries)[ni];
            if (!nameEntry.isDirectory()) continue;
            auto nameId = walker.id(nameEntry);
            if (!nameId) continue;
            const auto languages = walker.directory(nameEntry.targetOffset());
            if (!languages) continue;
            ResourceNameRecord name;
            name.id = std::move(*nameId);
            walker.resolveData(*languages, name);
            type.names.push_back(std::move(name));
        }
        types.push_back(std::move(type));
    }
    return types;
}

}  // namespace tess
