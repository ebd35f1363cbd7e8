// INI files with Win32 private-profile semantics, and the in-memory INI reader.
#include "platform/ini_file.h"

#include <cerrno>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "platform/error.h"
#include "platform/file_queries.h"
#include "platform/paths.h"

namespace tess {

namespace {

bool isProfileBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimProfile(std::string_view s) {
    while (!s.empty() && isProfileBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isProfileBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Blanks and control characters, as the in-memory reader trims them.
std::string_view trimControl(std::string_view s) {
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

std::string capValue(std::string_view v) {
    const std::size_t nul = v.find('\0');
    if (nul != std::string_view::npos) v = v.substr(0, nul);
    if (v.size() > kMaxIniValueLength) v = v.substr(0, kMaxIniValueLength);
    return std::string(v);
}

// One line of a profile file as the reader sees it.
struct ProfileLine {
    enum class Kind { Other, Section, Entry };
    Kind kind = Kind::Other;
    std::string_view name;   // section name or key, trimmed
    std::string_view value;  // entry value, trimmed
};

ProfileLine classify(std::string_view raw) {
    ProfileLine line;
    if (raw.size() > kMaxIniLineLength) return line;
    const std::string_view text = trimProfile(raw);
    if (text.empty() || text.front() == ';') return line;
    if (text.front() == '[') {
        std::string_view inner = text.substr(1);
        const std::size_t close = inner.rfind(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        line.kind = ProfileLine::Kind::Section;
        line.name = trimProfile(inner);
        return line;
    }
    const std::size_t eq = text.find('=');
    if (eq == std::string_view::npos) return line;
    line.kind = ProfileLine::Kind::Entry;
    line.name = trimProfile(text.substr(0, eq));
    line.value = trimProfile(text.substr(eq + 1));
    return line;
}

// The file split into lines, with the line break it uses.
struct ProfileText {
    std::vector<std::string> lines;
    std::string lineBreak = "\n";
};

// Splits at CR LF, lone LF or lone CR. The first break found decides how the file is
// written back; a new file uses LF.
ProfileText splitProfile(Bytes bytes) {
    ProfileText text;
    bool breakSeen = false;
    std::string current;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = static_cast<char>(bytes[i]);
        if (c != '\r' && c != '\n') {
            current += c;
            continue;
        }
        const bool crlf = c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n';
        if (!breakSeen) {
            text.lineBreak = crlf ? "\r\n" : std::string(1, c);
            breakSeen = true;
        }
        if (crlf) ++i;
        text.lines.push_back(std::move(current));
        current.clear();
    }
    if (!current.empty()) text.lines.push_back(std::move(current));
    return text;
}

// The file's bytes for a rewrite. A missing file is empty; a file that exists but cannot
// be read whole is not overwritten, since that would lose its contents.
std::vector<std::uint8_t> loadForWriting(const std::string& path) {
    FileReadResult read = readWholeFile(path, kMaxIniFileSize);
    if (read.ok) return std::move(read.bytes);
    if (read.errorCode == ENOENT) return {};
    throw Error("Unable to write to " + path);
}

std::string joinProfile(const ProfileText& text) {
    std::string out;
    for (const std::string& line : text.lines) {
        out += line;
        out += text.lineBreak;
    }
    return out;
}

void save(const std::string& path, const std::string& content) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(content.data());
    if (writeWholeFile(path, {data, content.size()}) != 0) throw Error("Unable to write to " + path);
}

std::string singleLine(std::string_view s) {
    std::string result(s);
    for (char& c : result) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return result;
}

// Index of the first section header with that name, or npos.
std::size_t findSection(const ProfileText& text, std::string_view section, std::size_t from = 0) {
    for (std::size_t i = from; i < text.lines.size(); ++i) {
        const ProfileLine line = classify(text.lines[i]);
        if (line.kind == ProfileLine::Kind::Section && equalsIgnoreAsciiCase(line.name, section)) {
            return i;
        }
    }
    return std::string::npos;
}

// Index of the next section header after `header`, or the line count.
std::size_t sectionEnd(const ProfileText& text, std::size_t header) {
    std::size_t i = header + 1;
    while (i < text.lines.size() && classify(text.lines[i]).kind != ProfileLine::Kind::Section) ++i;
    return i;
}

bool profileReadSectionPresent(Bytes content, std::string_view section) {
    return findSection(splitProfile(content), section) != std::string::npos;
}

// An entry's value as a lookup returns it: one pair of matching enclosing quotes removed,
// then cut like every value.
std::string entryValue(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
    }
    return capValue(v);
}

}  // namespace

bool parseIniInteger(std::string_view text, std::int32_t& value) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return false;
    std::int64_t magnitude = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        if (text.size() > 8) return false;
        std::uint32_t bits = 0;
        for (char c : text) {
            int digit;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            else return false;
            bits = (bits << 4) | static_cast<std::uint32_t>(digit);
        }
        const auto pattern = static_cast<std::int32_t>(bits);
        // Negating INT32_MIN wraps, as the 32-bit arithmetic it stands for does.
        value = negative ? static_cast<std::int32_t>(0u - bits) : pattern;
        return true;
    }
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) return false;
    }
    if (negative) magnitude = -magnitude;
    if (magnitude > 2147483647LL || magnitude < -2147483648LL) return false;
    value = static_cast<std::int32_t>(magnitude);
    return true;
}

// Calls visit(line) for each entry of the first section named `section` (only that one is
// searched), in file order, until visit returns false.
template <typename Visit>
void visitFirstSection(Bytes content, std::string_view section, Visit visit) {
    const ProfileText text = splitProfile(content);
    bool inSection = false;
    for (const std::string& raw : text.lines) {
        const ProfileLine line = classify(raw);
        if (line.kind == ProfileLine::Kind::Section) {
            if (inSection) return;
            inSection = equalsIgnoreAsciiCase(line.name, section);
        } else if (inSection && line.kind == ProfileLine::Kind::Entry && !visit(line)) {
            return;
        }
    }
}

std::string profileReadString(Bytes content, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    if (content.size() > kMaxIniFileSize) return capValue(defaultValue);
    std::optional<std::string> found;
    visitFirstSection(content, section, [&](const ProfileLine& line) {
        if (!equalsIgnoreAsciiCase(line.name, key)) return true;
        found = entryValue(line.value);
        return false;
    });
    return found ? *found : capValue(defaultValue);
}

std::vector<std::pair<std::string, std::string>> profileReadSection(Bytes content,
                                                                    std::string_view section) {
    std::vector<std::pair<std::string, std::string>> entries;
    if (content.size() > kMaxIniFileSize) return entries;
    std::unordered_set<std::string> names;
    visitFirstSection(content, section, [&](const ProfileLine& line) {
        // The first entry of a name is the one a lookup by that name finds.
        if (names.insert(asciiLowerCase(line.name)).second)
            entries.emplace_back(std::string(line.name), entryValue(line.value));
        return true;
    });
    return entries;
}

std::string profileWithValue(Bytes content, std::string_view section, std::string_view key,
                             std::string_view value) {
    ProfileText text = splitProfile(content);
    const std::string cleanKey = singleLine(key);
    const std::string cleanValue = singleLine(value);

    const std::size_t header = findSection(text, section);
    if (header == std::string::npos) {
        if (!text.lines.empty() && !trimProfile(text.lines.back()).empty()) text.lines.emplace_back();
        text.lines.push_back("[" + singleLine(section) + "]");
        text.lines.push_back(cleanKey + "=" + cleanValue);
        return joinProfile(text);
    }
    const std::size_t end = sectionEnd(text, header);
    std::size_t lastEntry = header;
    for (std::size_t i = header + 1; i < end; ++i) {
        const ProfileLine line = classify(text.lines[i]);
        if (line.kind != ProfileLine::Kind::Entry) continue;
        if (equalsIgnoreAsciiCase(line.name, cleanKey)) {
            text.lines[i] = std::string(line.name) + "=" + cleanValue;
            return joinProfile(text);
        }
        lastEntry = i;
    }
    text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(lastEntry + 1),
                      cleanKey + "=" + cleanValue);
    return joinProfile(text);
}

std::string profileWithoutSection(Bytes content, std::string_view section) {
    ProfileText text = splitProfile(content);
    // One pass: a header of that name starts skipping, any other header stops it.
    std::vector<std::string> kept;
    bool skipping = false;
    for (std::string& line : text.lines) {
        const ProfileLine parsed = classify(line);
        if (parsed.kind == ProfileLine::Kind::Section) {
            skipping = equalsIgnoreAsciiCase(parsed.name, section);
        }
        if (!skipping) kept.push_back(std::move(line));
    }
    text.lines = std::move(kept);
    return joinProfile(text);
}

IniFile::IniFile(std::string path) : m_path(std::move(path)) {}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    // Anything unreadable or too large reads as empty.
    const FileReadResult read = readWholeFile(m_path, kMaxIniFileSize);
    return profileReadString(read.ok ? Bytes(read.bytes) : Bytes(), section, key, defaultValue);
}

std::int32_t IniFile::readInteger(std::string_view section, std::string_view key,
                                  std::int32_t defaultValue) const {
    std::int32_t value = 0;
    if (!parseIniInteger(readString(section, key, {}), value)) return defaultValue;
    return value;
}

std::vector<std::pair<std::string, std::string>> IniFile::readSection(
    std::string_view section) const {
    const FileReadResult read = readWholeFile(m_path, kMaxIniFileSize);
    return profileReadSection(read.ok ? Bytes(read.bytes) : Bytes(), section);
}

void IniFile::writeString(std::string_view section, std::string_view key,
                          std::string_view value) {
    const std::vector<std::uint8_t> content = loadForWriting(m_path);
    save(m_path, profileWithValue(content, section, key, value));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, std::int32_t value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::eraseSection(std::string_view section) {
    const std::vector<std::uint8_t> content = loadForWriting(m_path);
    if (profileReadSectionPresent(content, section)) {
        save(m_path, profileWithoutSection(content, section));
    }
}

MemIniFile::MemIniFile(const std::vector<std::string>& lines) {
    // Section lookup by lower-cased name keeps a file of many sections linear to load.
    std::unordered_map<std::string, std::size_t> byName;
    std::size_t current = std::string::npos;
    for (const std::string& raw : lines) {
        const std::string_view line = trimControl(raw);
        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = line.substr(1, line.size() - 2);
            const auto [it, added] = byName.emplace(asciiLowerCase(name), m_sections.size());
            if (added) m_sections.push_back({std::string(name), {}});
            current = it->second;
            continue;
        }
        if (current == std::string::npos) continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        m_sections[current].entries.emplace_back(std::string(trimControl(line.substr(0, eq))),
                                                 std::string(trimControl(line.substr(eq + 1))));
    }
}

std::string MemIniFile::readString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue) const {
    for (const Section& s : m_sections) {
        if (!equalsIgnoreAsciiCase(s.name, section)) continue;
        for (const auto& [name, value] : s.entries) {
            if (equalsIgnoreAsciiCase(name, key)) return value;
        }
        break;
    }
    return std::string(defaultValue);
}

bool MemIniFile::sectionExists(std::string_view section) const {
    for (const Section& s : m_sections) {
        if (equalsIgnoreAsciiCase(s.name, section)) return true;
    }
    return false;
}

}  // namespace tess
