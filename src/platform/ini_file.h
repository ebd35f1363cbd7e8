// INI settings files: IniFile reads and writes a file the way the Win32 private-profile
// functions do; MemIniFile answers reads from lines already in memory.
//
// Trust: a settings file may hold any bytes. IniFile reads at most kMaxIniFileSize bytes
// (a larger or unreadable file reads as empty), ignores lines longer than
// kMaxIniLineLength, and never fails on content. Writes go straight to the file and raise
// tess::Error("Unable to write to <file>") when the file cannot be written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/byte_reader.h"

namespace tess {

constexpr std::size_t kMaxIniFileSize = 16u * 1024u * 1024u;
constexpr std::size_t kMaxIniLineLength = 64u * 1024u;
// A value is read into a 2048-byte buffer with its terminating zero.
constexpr std::size_t kMaxIniValueLength = 2047;

// Parses an INI integer: optional sign, then decimal digits, or "0x"/"0X" and 1 to 8
// hexadecimal digits (the 32-bit pattern taken as signed, so 0xFFFFFFFF is -1). Nothing
// else is accepted: no blanks, no trailing text, no decimal value outside the 32-bit
// signed range. Returns false for anything else.
bool parseIniInteger(std::string_view text, std::int32_t& value);

// The profile rules over a file's bytes, for IniFile and for tests and fuzzing.
// profileReadString answers a lookup as IniFile::readString does (content above
// kMaxIniFileSize reads as empty); the other two return the rewritten file content.
std::string profileReadString(Bytes content, std::string_view section, std::string_view key,
                              std::string_view defaultValue);
std::vector<std::pair<std::string, std::string>> profileReadSection(Bytes content,
                                                                    std::string_view section);
std::string profileWithValue(Bytes content, std::string_view section, std::string_view key,
                             std::string_view value);
std::string profileWithoutSection(Bytes content, std::string_view section);

class IniFile {
public:
    // `path` may use '\' or '/'. Nothing is read until a read is asked for.
    explicit IniFile(std::string path);

    const std::string& fileName() const { return m_path; }

    // The value of the first `key` in the first section named `section` (names compared
    // without regard to ASCII case), trimmed of blanks and tabs, with one pair of
    // matching enclosing quotes ('...' or "...") removed, cut at a NUL and at
    // kMaxIniValueLength characters. `defaultValue` (cut the same way) when the section or
    // key is absent. "Key=" reads as "", not as the default.
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;

    // Every key of the first section named `section` with the value readString gives for
    // it, in file order, each name once. Reads the file once, so callers that look up many
    // keys of one section need not read it per key.
    std::vector<std::pair<std::string, std::string>> readSection(std::string_view section) const;

    // readString parsed with parseIniInteger; `defaultValue` when absent or invalid.
    std::int32_t readInteger(std::string_view section, std::string_view key,
                             std::int32_t defaultValue) const;

    // Sets `key` in `section`, rewriting the file at once. An existing key keeps its
    // spelling and position; a new key goes after the section's last entry; a missing
    // section is added at the end; a missing file is created. All other lines stay as
    // they were. CR and LF inside names or the value are written as blanks so the line
    // structure of the file survives.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, std::int32_t value);

    // Removes every section of that name with its lines. A missing file or section is
    // left as it is.
    void eraseSection(std::string_view section);

private:
    std::string m_path;
};

// Read-only INI data from a list of lines: each line trimmed of surrounding blanks and
// control characters; empty lines and lines starting with ';' skipped; "[name]" opens the
// section "name"; any other line in a section is key=value with the blanks around the
// first '=' removed; lines without '=' or before the first section are ignored. Names
// compare without regard to ASCII case; sections of the same name are merged and the
// first entry of a key wins. Values are returned as they stand.
class MemIniFile {
public:
    explicit MemIniFile(const std::vector<std::string>& lines);

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue = {}) const;
    bool sectionExists(std::string_view section) const;

private:
    struct Section {
        std::string name;
        std::vector<std::pair<std::string, std::string>> entries;
    };
    std::vector<Section> m_sections;
};

}  // namespace tess
