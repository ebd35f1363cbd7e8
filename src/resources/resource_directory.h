// The walk over a module's resource directory: level 1 types, level 2 names, level 3
// languages, each language ending in a data entry that locates the bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/byte_reader.h"
#include "resources/pe_image.h"

namespace tess {

// A type or name as the directory identifies it: a 16-bit integer or a string.
struct ResourceId {
    bool isString = false;
    std::uint16_t number = 0;
    std::string text;  // the string id, UTF-8

    // "INTRESOURCE:<n>" or the string.
    std::string idText() const;
    // idText() == other, ignoring ASCII case, without building the text.
    bool idTextEquals(std::string_view other) const;
};

struct ResourceNameRecord {
    ResourceId id;
    bool found = false;  // a language's data lies inside a section
    Bytes data;          // the chosen language's bytes (empty for a zero-sized resource)
};

struct ResourceTypeRecord {
    ResourceId id;
    std::vector<ResourceNameRecord> names;
};

// Limits of one walk. Entry counts are further bounded by the bytes present.
struct ResourceWalkLimits {
    std::size_t maxEntries = std::size_t{1} << 20;       // directory entries read in all
    std::size_t maxNameUnits = 1024;                     // UTF-16 units kept of one string id
    std::size_t maxTextBytes = std::size_t{32} << 20;    // UTF-8 bytes of all string ids
};

// Types and names in directory order. Malformed parts are left out: entries of the
// wrong kind for their level, integer ids above 16 bits, directories already visited
// (loops, shared subtrees: the first entry in walk order keeps them), string ids running
// off the section, anything past the limits.
std::vector<ResourceTypeRecord> readResourceTree(const PeImage& image,
                                                 const ResourceWalkLimits& limits = {});

// "INTRESOURCE:" followed by the decimal number.
std::string integerIdText(std::uint32_t number);
// ASCII-only case-insensitive equality.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

}  // namespace tess
