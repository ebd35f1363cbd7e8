// The headers of a Portable Executable image that locate its resources: the section
// table and data directory 2, and the mapping of RVAs to file bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/byte_reader.h"

namespace tess {

struct PeSection {
    std::uint32_t virtualAddress = 0;
    std::uint32_t rawOffset = 0;
    std::uint32_t rawSize = 0;  // SizeOfRawData, clipped to the end of the file
};

struct PeImage {
    Bytes file;
    bool pe32Plus = false;
    std::vector<PeSection> sections;
    std::uint32_t resourceRva = 0;  // 0: the image has no resource directory
    std::uint32_t resourceSize = 0;
};

// nullopt when `file` is not a PE32 / PE32+ image or its headers are cut short.
std::optional<PeImage> parsePeImage(Bytes file);

// The file bytes of [rva, rva + size) when they lie wholly inside one section's raw data.
std::optional<Bytes> mapRva(const PeImage& image, std::uint32_t rva, std::uint32_t size);
// The file bytes from `rva` to the end of its section's raw data.
std::optional<Bytes> mapRvaToSectionEnd(const PeImage& image, std::uint32_t rva);

}  // namespace tess
