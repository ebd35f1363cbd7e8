#include "resources/pe_image.h"

#include <algorithm>

namespace tess {

namespace {

// DOS header: "MZ" at 0, file offset of the PE signature at 0x3C.
constexpr std::size_t kLfanewOffset = 0x3C;
// After "PE\0\0": the 20-byte COFF header, then the optional header.
constexpr std::size_t kCoffSize = 20;
constexpr std::size_t kCoffSectionCount = 2;
constexpr std::size_t kCoffOptionalSize = 16;
constexpr std::uint16_t kMagicPe32 = 0x10B;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
// Offsets inside the optional header: NumberOfRvaAndSizes, then the data directories
// (8 bytes each: RVA, size). The fixed part ends where the directories start.
constexpr std::size_t kRvaCountPe32 = 92;
constexpr std::size_t kDirectoriesPe32 = 96;
constexpr std::size_t kRvaCountPe32Plus = 108;
constexpr std::size_t kDirectoriesPe32Plus = 112;
constexpr std::uint32_t kResourceDirectoryIndex = 2;
// Section header: VirtualAddress +12, SizeOfRawData +16, PointerToRawData +20.
constexpr std::size_t kSectionHeaderSize = 40;

}  // namespace

std::optional<PeImage> parsePeImage(Bytes file) {
    if (readU16(file, 0) != std::optional<std::uint16_t>(0x5A4D)) return std::nullopt;  // "MZ"
    const auto lfanew = readU32(file, kLfanewOffset);
    if (!lfanew || !rangeFits(file.size(), *lfanew, 4 + kCoffSize)) return std::nullopt;
    // "PE\0\0"; a 16-bit "NE" or "LE" executable stops here.
    if (readU32(file, *lfanew) != std::optional<std::uint32_t>(0x00004550)) return std::nullopt;
    const std::size_t coff = *lfanew + 4;
    const std::uint16_t sectionCount = *readU16(file, coff + kCoffSectionCount);
    const std::uint16_t optionalSize = *readU16(file, coff + kCoffOptionalSize);
    const std::size_t optional = coff + kCoffSize;
    const auto optionalBytes = subspan(file, optional, optionalSize);
    if (!optionalBytes) return std::nullopt;
    const auto magic = readU16(*optionalBytes, 0);
    if (magic != kMagicPe32 && magic != kMagicPe32Plus) return std::nullopt;

    PeImage image;
    image.file = file;
    image.pe32Plus = magic == kMagicPe32Plus;
    const std::size_t rvaCountAt = image.pe32Plus ? kRvaCountPe32Plus : kRvaCountPe32;
    const std::size_t directoriesAt = image.pe32Plus ? kDirectoriesPe32Plus : kDirectoriesPe32;
    if (optionalSize < directoriesAt) return std::nullopt;

    // The resource directory exists only when the header lists and holds entry 2.
    const std::uint32_t rvaCount = *readU32(*optionalBytes, rvaCountAt);
    const std::size_t directoriesHeld = (optionalSize - directoriesAt) / 8;
    if (rvaCount > kResourceDirectoryIndex && directoriesHeld > kResourceDirectoryIndex) {
        const std::size_t entry = directoriesAt + 8 * kResourceDirectoryIndex;
        image.resourceRva = *readU32(*optionalBytes, entry);
        image.resourceSize = *readU32(*optionalBytes, entry + 4);
    }

    const std::size_t table = optional + optionalSize;
    if (!rangeFits(file.size(), table, std::size_t{sectionCount} * kSectionHeaderSize))
        return std::nullopt;
    image.sections.reserve(sectionCount);
    for (std::size_t i = 0; i < sectionCount; ++i) {
        const std::size_t at = table + i * kSectionHeaderSize;
        PeSection s;
        s.virtualAddress = *readU32(file, at + 12);
        s.rawSize = *readU32(file, at + 16);
        s.rawOffset = *readU32(file, at + 20);
        // Raw data past the end of the file does not exist.
        if (s.rawOffset >= file.size()) s.rawSize = 0;
        else s.rawSize = static_cast<std::uint32_t>(
                 std::min<std::size_t>(s.rawSize, file.size() - s.rawOffset));
        image.sections.push_back(s);
    }
    return image;
}

std::optional<Bytes> mapRva(const PeImage& image, std::uint32_t rva, std::uint32_t size) {
    for (const PeSection& s : image.sections) {
        if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) continue;
        const std::uint32_t within = rva - s.virtualAddress;
        if (size > s.rawSize - within) continue;
        return image.file.subspan(std::size_t{s.rawOffset} + within, size);
    }
    return std::nullopt;
}

std::optional<Bytes> mapRvaToSectionEnd(const PeImage& image, std::uint32_t rva) {
    for (const PeSection& s : image.sections) {
        if (rva < s.virtualAddress || rva - s.virtualAddress >= s.rawSize) continue;
        const std::uint32_t within = rva - s.virtualAddress;
        return image.file.subspan(std::size_t{s.rawOffset} + within, s.rawSize - within);
    }
    return std::nullopt;
}

}  // namespace tess
