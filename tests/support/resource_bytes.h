// Test fixtures: the bytes of icon, cursor, bitmap and PNG resources and of .ico / .cur
// files, built independently of the project's own codecs.
//
// Colours are 0xAARRGGBB. DIB images are bottom-up with a 40-byte information header;
// every pixel holds the fill colour (index 0 of the colour table for depths up to 8).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tess::test {

using ByteVec = std::vector<std::uint8_t>;

// One 14-byte entry of a group icon / group cursor directory.
struct GroupEntry {
    std::uint16_t width = 32;     // icon: stored as a byte, 256 becomes 0
    std::uint16_t height = 32;    // image height; a cursor entry stores twice this value
    std::uint16_t bitCount = 32;  // bits per pixel
    std::uint16_t imageId = 1;    // integer name of the "Icon" / "Cursor" resource
    std::uint8_t colorCount = 0;  // icon only: palette size, 0 for 256 or more
    std::uint16_t planes = 1;     // colour planes
    std::uint32_t bytesInRes = 0; // size of the image resource
};

// Group icon directory: 6-byte header (reserved 0, kind 1, count) + 14-byte entries.
// `countOverride` stores another entry count than the number of entries written.
ByteVec groupIconDirectory(const std::vector<GroupEntry>& entries,
                           std::optional<std::uint16_t> countOverride = std::nullopt);
// Group cursor directory: kind 2, 16-bit width, 16-bit height stored doubled.
ByteVec groupCursorDirectory(const std::vector<GroupEntry>& entries,
                             std::optional<std::uint16_t> countOverride = std::nullopt);

// An icon image resource: 40-byte header with height 2 x `height`, colour table for
// depths up to 8, colour rows, then 1-bit mask rows (set where the fill alpha is 0).
// bitCount is one of 1, 4, 8, 16, 24, 32.
ByteVec dibIconImage(int width, int height, std::uint16_t bitCount,
                     std::uint32_t fill = 0xFF336699);
// A bitmap resource: 40-byte header with height `height`, colour table, colour rows.
ByteVec dibBitmap(int width, int height, std::uint16_t bitCount,
                  std::uint32_t fill = 0xFF336699);
// A cursor image resource: hotspot x, hotspot y (16 bits each), then `dib`.
ByteVec cursorImage(std::uint16_t hotspotX, std::uint16_t hotspotY, const ByteVec& dib);
// A complete 8-bit RGBA PNG stream of width x height filled with `fill`.
ByteVec pngImage(int width, int height, std::uint32_t fill = 0xFF336699);

// One frame of an .ico / .cur file. `image` is a DIB (as dibIconImage) or a PNG stream.
struct IconFileFrame {
    std::uint16_t width = 32;  // 256 is stored as 0
    std::uint16_t height = 32;
    std::uint16_t bitCount = 32;
    std::uint16_t hotspotX = 0;  // .cur only
    std::uint16_t hotspotY = 0;  // .cur only
    ByteVec image;
};
// .ico: 6-byte header (0, 1, count), 16-byte entries, then the images in order.
ByteVec icoFile(const std::vector<IconFileFrame>& frames);
// .cur: as .ico with kind 2 and the hotspot in the planes / bit-count fields.
ByteVec curFile(const std::vector<IconFileFrame>& frames);

// Little-endian appenders and patchers shared by the fixture writers.
void putU16(ByteVec& out, std::uint16_t value);
void putU32(ByteVec& out, std::uint32_t value);
void setU16(ByteVec& out, std::size_t offset, std::uint16_t value);
void setU32(ByteVec& out, std::size_t offset, std::uint32_t value);
std::uint16_t getU16(const ByteVec& in, std::size_t offset);
std::uint32_t getU32(const ByteVec& in, std::size_t offset);

}  // namespace tess::test
