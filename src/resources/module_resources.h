// Reads the resource directory of a Portable Executable module as data.
//
// TIEModuleResources opens one file (PE32 or PE32+), never runs it, and lists its
// resource types and, per type, its resource names in directory order. Group icon and
// group cursor resources are read as directories of frames. Data pointers point into
// the file's bytes held by the instance and stay valid until it is destroyed; nothing is
// copied per resource.
//
// Trust: every byte of the file is untrusted and read through bounds checks; the walk
// over the resource directory is bounded (visited directories, entry and text limits).
// A file that is not a readable PE image gives an invalid instance (IsValid() false, no
// types) and nothing is raised; malformed parts of a valid one are left out. Type and
// name indices outside their lists raise std::out_of_range; frame and data queries that
// find nothing give 0, empty text or a null pointer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tess {

// Identifies one resource (FrameIndex -1) or one frame of a group inside the reader that
// created it.
class TIEResourceBookmark {
public:
    TIEResourceBookmark(std::int32_t typeIndex, std::int32_t nameIndex, std::int32_t frameIndex)
        : TypeIndex(typeIndex), NameIndex(nameIndex), FrameIndex(frameIndex) {}

    const std::int32_t TypeIndex;
    const std::int32_t NameIndex;
    const std::int32_t FrameIndex;
};

// The text name of a type identifier text: "INTRESOURCE:14" gives "GroupIcon", a string
// type keeps its string, an integer type outside the known table keeps its identifier.
std::string TypeTextName(std::string_view identifierText);

class TIEModuleResources {
public:
    // `fileName` is a path (UTF-8). Never raises for a bad file.
    explicit TIEModuleResources(const std::string& fileName);
    // A reader over bytes already in memory, which the caller keeps alive for the
    // reader's lifetime (fuzzing and tests).
    static std::unique_ptr<TIEModuleResources> FromBytes(std::span<const std::uint8_t> bytes);
    ~TIEModuleResources();
    TIEModuleResources(const TIEModuleResources&) = delete;
    TIEModuleResources& operator=(const TIEModuleResources&) = delete;

    bool IsValid() const;

    std::int32_t TypeCount() const;
    std::string TypeId(std::int32_t type) const;
    std::string TypeName(std::int32_t type) const;
    std::int32_t FindType(std::string_view text) const;
    std::int32_t NameCount(std::int32_t type) const;
    std::string NameId(std::int32_t type, std::int32_t name) const;
    bool IsGroupType(std::int32_t type) const;
    bool IsIconOrCursorType(std::int32_t type) const;

    // Resource bytes; `size` is set to 0 first, then to the size when found.
    const std::uint8_t* ResourceData(std::int32_t type, std::int32_t name,
                                     std::int32_t& size) const;
    // Leaves `size` untouched when nothing is found.
    const std::uint8_t* FindResourceData(std::string_view typeText, std::string_view nameText,
                                         std::int32_t& size) const;

    std::int32_t FrameCount(std::int32_t type, std::int32_t name) const;
    std::int32_t FrameWidth(std::int32_t type, std::int32_t name, std::int32_t frame) const;
    std::int32_t FrameHeight(std::int32_t type, std::int32_t name, std::int32_t frame) const;
    std::int32_t FrameBitCount(std::int32_t type, std::int32_t name, std::int32_t frame) const;
    std::string FrameNameId(std::int32_t type, std::int32_t name, std::int32_t frame) const;
    const std::uint8_t* FrameData(std::int32_t type, std::int32_t name, std::int32_t frame,
                                  std::int32_t& size) const;

    // The reader owns the bookmark; it lives until the reader is destroyed.
    TIEResourceBookmark* AddBookmark(std::int32_t type, std::int32_t name, std::int32_t frame);
    const std::uint8_t* BookmarkData(const TIEResourceBookmark& bookmark,
                                     std::int32_t& size) const;

private:
    explicit TIEModuleResources(std::span<const std::uint8_t> bytes);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace tess
