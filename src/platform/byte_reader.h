// Bounds-checked little-endian reading over untrusted bytes.
//
// Every parser of module, icon, bitmap and settings bytes reads through ByteReader or
// the free functions below. A read that would leave the buffer fails (returns
// std::nullopt / false) instead of touching memory; ranges are tested by subtraction
// so that offset + length can never overflow.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tess {

using Bytes = std::span<const std::uint8_t>;

// True when [offset, offset + length) lies inside a buffer of `size` bytes.
constexpr bool rangeFits(std::size_t size, std::size_t offset, std::size_t length) {
    return offset <= size && length <= size - offset;
}

// Sub-span [offset, offset + length), or nullopt when it does not fit.
inline std::optional<Bytes> subspan(Bytes bytes, std::size_t offset, std::size_t length) {
    if (!rangeFits(bytes.size(), offset, length)) return std::nullopt;
    return bytes.subspan(offset, length);
}

inline std::optional<std::uint8_t> readU8(Bytes b, std::size_t off) {
    if (!rangeFits(b.size(), off, 1)) return std::nullopt;
    return b[off];
}
inline std::optional<std::uint16_t> readU16(Bytes b, std::size_t off) {
    if (!rangeFits(b.size(), off, 2)) return std::nullopt;
    return static_cast<std::uint16_t>(b[off] | (b[off + 1] << 8));
}
inline std::optional<std::uint32_t> readU32(Bytes b, std::size_t off) {
    if (!rangeFits(b.size(), off, 4)) return std::nullopt;
    return static_cast<std::uint32_t>(b[off]) | (static_cast<std::uint32_t>(b[off + 1]) << 8) |
           (static_cast<std::uint32_t>(b[off + 2]) << 16) |
           (static_cast<std::uint32_t>(b[off + 3]) << 24);
}
inline std::optional<std::int32_t> readI32(Bytes b, std::size_t off) {
    auto v = readU32(b, off);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}
inline std::optional<std::uint64_t> readU64(Bytes b, std::size_t off) {
    if (!rangeFits(b.size(), off, 8)) return std::nullopt;
    return (static_cast<std::uint64_t>(*readU32(b, off + 4)) << 32) | *readU32(b, off);
}

// A forward cursor over a byte span. Each read consumes its width on success and leaves
// the position unchanged on failure.
class ByteReader {
public:
    explicit ByteReader(Bytes bytes, std::size_t position = 0) : m_bytes(bytes), m_pos(position) {}

    std::size_t position() const { return m_pos; }
    std::size_t size() const { return m_bytes.size(); }
    // Bytes left after the position (0 when the position lies beyond the end).
    std::size_t remaining() const { return m_pos < m_bytes.size() ? m_bytes.size() - m_pos : 0; }
    Bytes bytes() const { return m_bytes; }

    // Moves to an absolute position; false (position unchanged) when beyond the end.
    bool seek(std::size_t position) {
        if (position > m_bytes.size()) return false;
        m_pos = position;
        return true;
    }
    bool skip(std::size_t count) {
        if (!rangeFits(m_bytes.size(), m_pos, count)) return false;
        m_pos += count;
        return true;
    }

    std::optional<std::uint8_t> u8() { return advance(readU8(m_bytes, m_pos), 1); }
    std::optional<std::uint16_t> u16() { return advance(readU16(m_bytes, m_pos), 2); }
    std::optional<std::uint32_t> u32() { return advance(readU32(m_bytes, m_pos), 4); }
    std::optional<std::int32_t> i32() { return advance(readI32(m_bytes, m_pos), 4); }

    // The next `count` bytes as a span, consumed; nullopt when fewer remain.
    std::optional<Bytes> take(std::size_t count) {
        auto s = subspan(m_bytes, m_pos, count);
        if (s) m_pos += count;
        return s;
    }

private:
    template <typename T>
    std::optional<T> advance(std::optional<T> v, std::size_t width) {
        if (v) m_pos += width;
        return v;
    }

    Bytes m_bytes;
    std::size_t m_pos;
};

}  // namespace tess
