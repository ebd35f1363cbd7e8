// Test fixture: an in-memory Portable Executable writer for resource-only images.
//
// PeWriter lays out a PE32 or PE32+ image with an optional empty ".text" section and a
// ".rsrc" section holding a three-level resource tree (type, name, language) built from
// add() calls. build() returns the bytes together with the file offsets of every
// structure, so a test can corrupt any field afterwards (PeFile::put16 / put32, or the
// byte vector directly).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/resource_bytes.h"

namespace tess::test {

// Integer resource types.
inline constexpr std::uint16_t kRtCursor = 1;
inline constexpr std::uint16_t kRtBitmap = 2;
inline constexpr std::uint16_t kRtIcon = 3;
inline constexpr std::uint16_t kRtRcData = 10;
inline constexpr std::uint16_t kRtGroupCursor = 12;
inline constexpr std::uint16_t kRtGroupIcon = 14;
inline constexpr std::uint16_t kRtVersion = 16;

inline constexpr std::uint16_t kLangNeutral = 0x0000;
inline constexpr std::uint16_t kLangEnUs = 0x0409;

// A resource type or name: a 16-bit integer or a UTF-16 string.
class ResId {
public:
    ResId(int number);                // NOLINT: implicit, so add(3, 1, ...) reads naturally
    ResId(const char* utf8);          // NOLINT
    ResId(std::string_view utf8);     // NOLINT
    static ResId utf16(std::u16string units);

    bool isString() const { return m_isString; }
    std::uint16_t number() const { return m_number; }
    const std::u16string& text() const { return m_text; }
    bool operator==(const ResId& other) const = default;

private:
    ResId() = default;
    bool m_isString = false;
    std::uint16_t m_number = 0;
    std::u16string m_text;
};

enum class PeFormat { Pe32, Pe32Plus };

// File offsets of the structures of one resource, in the order of add().
struct ResourceLayout {
    std::size_t typeEntry = 0;       // 8-byte entry in the root directory
    std::size_t nameDirectory = 0;   // name-level directory of the type
    std::size_t nameEntry = 0;       // 8-byte entry in the name directory
    std::size_t languageDirectory = 0;
    std::size_t languageEntry = 0;   // 8-byte entry in the language directory
    std::size_t dataEntry = 0;       // 16-byte data entry (RVA, size, code page, reserved)
    std::size_t data = 0;            // first byte of the resource data
    std::uint32_t dataRva = 0;
};

struct PeLayout {
    std::size_t lfanewField = 0x3C;   // DOS header field holding the PE header offset
    std::size_t peSignature = 0;      // "PE\0\0"
    std::size_t coffHeader = 0;       // machine, NumberOfSections (+2), SizeOfOptionalHeader (+16)
    std::size_t optionalHeader = 0;   // magic 0x10B / 0x20B
    std::size_t numberOfRvaAndSizes = 0;
    std::size_t resourceDirectoryEntry = 0;  // data directory 2: RVA, then size (+4)
    std::size_t sectionTable = 0;     // 40-byte headers; VirtualSize +8, VirtualAddress +12,
                                      // SizeOfRawData +16, PointerToRawData +20
    std::size_t rsrcSectionHeader = 0;
    std::size_t rsrcRaw = 0;          // file offset of the .rsrc bytes
    std::uint32_t rsrcRva = 0;
    std::size_t rootDirectory = 0;
    std::vector<ResourceLayout> resources;
};

struct PeFile {
    std::vector<std::uint8_t> bytes;
    PeLayout layout;

    void put16(std::size_t offset, std::uint16_t value) { setU16(bytes, offset, value); }
    void put32(std::size_t offset, std::uint32_t value) { setU32(bytes, offset, value); }
    std::uint16_t get16(std::size_t offset) const { return getU16(bytes, offset); }
    std::uint32_t get32(std::size_t offset) const { return getU32(bytes, offset); }
    // File offset of an RVA inside the .rsrc section.
    std::size_t rsrcOffset(std::uint32_t rva) const { return layout.rsrcRaw + (rva - layout.rsrcRva); }
    void writeTo(const std::filesystem::path& file) const;
};

class PeWriter {
public:
    explicit PeWriter(PeFormat format = PeFormat::Pe32Plus) : m_format(format) {}

    // Adds one resource. The same (type, name) with another language adds a language entry.
    PeWriter& add(const ResId& type, const ResId& name, ByteVec data,
                  std::uint16_t language = kLangEnUs);

    // Emit directory entries in the format's order (string ids by code unit, then integer
    // ids ascending; default) or in the order of first add().
    PeWriter& sortEntries(bool sorted) { m_sorted = sorted; return *this; }
    // Put an empty ".text" section before ".rsrc" (default on), so RVAs and file offsets differ.
    PeWriter& textSection(bool present) { m_textSection = present; return *this; }
    // Without a resource directory: no ".rsrc" section and data directory 2 left zero.
    PeWriter& resourceDirectory(bool present) { m_resourceDirectory = present; return *this; }

    PeFormat format() const { return m_format; }
    PeFile build() const;

private:
    struct Item {
        ResId type;
        ResId name;
        std::uint16_t language;
        ByteVec data;
    };
    PeFormat m_format;
    bool m_sorted = true;
    bool m_textSection = true;
    bool m_resourceDirectory = true;
    std::vector<Item> m_items;
};

// UTF-8 to UTF-16 for fixture strings (throws std::invalid_argument on bad UTF-8).
std::u16string toUtf16(std::string_view utf8);

}  // namespace tess::test
