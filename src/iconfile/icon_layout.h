// Byte layout of icon files shared by the icon writer and reader.
//
//   header, 6 bytes: u16 reserved (0), u16 type (1 icon, 2 cursor), u16 frame count n;
//   directory entry k at 6 + 16k: u8 width (mod 256), u8 height (mod 256), u8 colour
//     count, u8 reserved, u16 planes, u16 bit count, u32 bytes in resource, u32 offset;
//   frame data: 40-byte bitmap information header (height = 2 x frame height), colour
//     table for 1-, 4- and 8-bit frames, colour rows, then 1-bit mask rows (1 =
//     transparent), both bottom-up, each row padded to 4 bytes; or a PNG stream.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tess::icon {

inline constexpr std::size_t kHeaderBytes = 6;
inline constexpr std::size_t kEntryBytes = 16;
inline constexpr std::size_t kInfoHeaderBytes = 40;

// Bytes of one row of `width` pixels at `bits` per pixel, padded to 32 bits.
constexpr std::uint64_t rowBytes(std::uint64_t width, std::uint64_t bits) {
    return (width * bits + 31) / 32 * 4;
}

}  // namespace tess::icon
