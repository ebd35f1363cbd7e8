#include "resources/module_resources.h"

#include <array>
#include <charconv>
#include <new>
#include <stdexcept>
#include <utility>

#include "resources/mapped_file.h"
#include "resources/pe_image.h"
#include "resources/resource_directory.h"

namespace tess {

namespace {

constexpr std::string_view kIntPrefix = "INTRESOURCE:";

// Text names of the integer resource types.
constexpr std::array<std::pair<int, std::string_view>, 21> kTypeTextNames{{
    {1, "Cursor"},       {2, "Bitmap"},       {3, "Icon"},         {4, "Menu"},
    {5, "Dialog"},       {6, "String"},       {7, "FontDir"},      {8, "Font"},
    {9, "Accelerator"},  {10, "RCData"},      {11, "MessageTable"}, {12, "GroupCursor"},
    {14, "GroupIcon"},   {16, "Version"},     {17, "DlgInclude"},  {19, "PlugPlay"},
    {20, "VXD"},         {21, "AniCursor"},   {22, "AniIcon"},     {23, "HTML"},
    {24, "Manifest"},
}};

// Group directory: 6-byte header (reserved, kind, entry count at 4), then 14-byte entries.
constexpr std::int64_t kGroupHeaderSize = 6;
constexpr std::int64_t kGroupEntrySize = 14;
constexpr std::size_t kGroupCountOffset = 4;
// Entry fields: icon width byte 0 / height byte 1 (0 means 256); cursor width word 0 /
// height word 2 (twice the image height); bit count word 6; image name word 12.
constexpr std::size_t kEntryWidth = 0;
constexpr std::size_t kEntryHeight = 1;
constexpr std::size_t kCursorEntryHeight = 2;
constexpr std::size_t kEntryBitCount = 6;
constexpr std::size_t kEntryImageName = 12;

std::string_view tableName(std::int64_t number) {
    for (const auto& [id, name] : kTypeTextNames)
        if (id == number) return name;
    return {};
}

}  // namespace

std::string TypeTextName(std::string_view identifierText) {
    if (identifierText.substr(0, kIntPrefix.size()) != kIntPrefix) return std::string(identifierText);
    // The rest as a decimal number; 0 when it is not one.
    const std::string_view rest = identifierText.substr(kIntPrefix.size());
    std::int64_t number = 0;
    const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (ec != std::errc() || end != rest.data() + rest.size()) number = 0;
    const std::string_view name = tableName(number);
    return name.empty() ? std::string(identifierText) : std::string(name);
}

struct TIEModuleResources::Impl {
    std::unique_ptr<MappedFile> file;  // null when built over caller-owned bytes
    bool valid = false;
    std::vector<ResourceTypeRecord> types;
    std::vector<std::string> typeNames;  // TypeName of each type, formed once
    std::vector<std::unique_ptr<TIEResourceBookmark>> bookmarks;

    void open(Bytes bytes) {
        const auto image = parsePeImage(bytes);
        if (!image) return;
        try {
            types = readResourceTree(*image);
            typeNames.reserve(types.size());
            // A string type keeps its string, even one spelled like an integer identifier.
            for (const ResourceTypeRecord& t : types)
                typeNames.push_back(t.id.isString ? t.id.text : TypeTextName(t.id.idText()));
            valid = true;
        } catch (const std::bad_alloc&) {
            // Opening never raises: a module too large to list is treated as unreadable.
            types.clear();
            typeNames.clear();
        }
    }

    std::int32_t checkType(std::int32_t index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= types.size())
            throw std::out_of_range("resource type index " + std::to_string(index) + " out of range (" +
                                    std::to_string(types.size()) + " types)");
        return index;
    }

    const ResourceTypeRecord& type(std::int32_t index) const {
        return types[static_cast<std::size_t>(checkType(index))];
    }

    const ResourceNameRecord& name(std::int32_t typeIndex, std::int32_t index) const {
        const ResourceTypeRecord& t = type(typeIndex);
        if (index < 0 || static_cast<std::size_t>(index) >= t.names.size())
            throw std::out_of_range("resource name index " + std::to_string(index) + " of type " +
                                    std::to_string(typeIndex) + " out of range (" +
                                    std::to_string(t.names.size()) + " names)");
        return t.names[static_cast<std::size_t>(index)];
    }
};

TIEModuleResources::TIEModuleResources(const std::string& fileName) : m_impl(std::make_unique<Impl>()) {
    m_impl->file = MappedFile::open(fileName);
    if (m_impl->file) m_impl->open(m_impl->file->bytes());
}

TIEModuleResources::TIEModuleResources(std::span<const std::uint8_t> bytes)
    : m_impl(std::make_unique<Impl>()) {
    m_impl->open(bytes);
}

std::unique_ptr<TIEModuleResources> TIEModuleResources::FromBytes(std::span<const std::uint8_t> bytes) {
    return std::unique_ptr<TIEModuleResources>(new TIEModuleResources(bytes));
}

TIEModuleResources::~TIEModuleResources() = default;

bool TIEModuleResources::IsValid() const { return m_impl->valid; }

// An invalid instance has no types: TypeCount is 0, every type index is out of range,
// FindType gives -1 and FindResourceData finds nothing.
std::int32_t TIEModuleResources::TypeCount() const {
    return static_cast<std::int32_t>(m_impl->types.size());
}

std::string TIEModuleResources::TypeId(std::int32_t type) const { return m_impl->type(type).id.idText(); }

std::string TIEModuleResources::TypeName(std::int32_t type) const {
    return m_impl->typeNames[static_cast<std::size_t>(m_impl->checkType(type))];
}

std::int32_t TIEModuleResources::FindType(std::string_view text) const {
    const auto& types = m_impl->types;
    for (std::size_t i = 0; i < types.size(); ++i)
        if (types[i].id.idTextEquals(text)) return static_cast<std::int32_t>(i);
    for (std::size_t i = 0; i < types.size(); ++i)
        if (m_impl->typeNames[i] == text) return static_cast<std::int32_t>(i);
    return -1;
}

std::int32_t TIEModuleResources::NameCount(std::int32_t type) const {
    if (type < 0) return 0;
    return static_cast<std::int32_t>(m_impl->type(type).names.size());
}

std::string TIEModuleResources::NameId(std::int32_t type, std::int32_t name) const {
    return m_impl->name(type, name).id.idText();
}

bool TIEModuleResources::IsGroupType(std::int32_t type) const {
    const std::string name = TypeName(type);
    return name == "GroupIcon" || name == "GroupCursor";
}

bool TIEModuleResources::IsIconOrCursorType(std::int32_t type) const {
    const std::string name = TypeName(type);
    return name == "Icon" || name == "Cursor";
}

// The bytes of exactly the listed entry (type, name), found by position rather than by
// turning the identifier texts back into ids: a string type spelled "INTRESOURCE:3", or
// two string names differing only in case, cannot redirect the lookup to another
// resource. A zero-sized resource has no first byte to point at: null with size 0.
const std::uint8_t* TIEModuleResources::ResourceData(std::int32_t type, std::int32_t name,
                                                     std::int32_t& size) const {
    size = 0;
    const ResourceNameRecord& record = m_impl->name(type, name);
    if (!record.found || record.data.empty()) return nullptr;
    size = static_cast<std::int32_t>(record.data.size());
    return record.data.data();
}

const std::uint8_t* TIEModuleResources::FindResourceData(std::string_view typeText,
                                                         std::string_view nameText,
                                                         std::int32_t& size) const {
    const std::int32_t type = FindType(typeText);
    if (type < 0) return nullptr;
    const auto& names = m_impl->types[static_cast<std::size_t>(type)].names;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!names[i].id.idTextEquals(nameText)) continue;
        std::int32_t found = 0;
        const std::uint8_t* data = ResourceData(type, static_cast<std::int32_t>(i), found);
        if (data) size = found;
        return data;
    }
    return nullptr;
}

// The count word of the group found by FindType of the given type's text name. A group
// that is missing or shorter than its 6-byte header has no frames, and the count is
// capped to the entries the resource actually holds: frames past the end have no width,
// height or image, and listing them would show empty frames.
std::int32_t TIEModuleResources::FrameCount(std::int32_t type, std::int32_t name) const {
    m_impl->name(type, name);  // the caller's indices must be valid
    const std::string typeName = TypeName(type);
    if (typeName != "GroupIcon" && typeName != "GroupCursor") return 0;
    const std::int32_t group = FindType(typeName);
    if (group < 0 || name >= NameCount(group)) return 0;
    std::int32_t size = 0;
    const std::uint8_t* data = ResourceData(group, name, size);
    if (!data || size < kGroupHeaderSize) return 0;
    const Bytes bytes(data, static_cast<std::size_t>(size));
    const std::int64_t count = *readU16(bytes, kGroupCountOffset);
    const std::int64_t present = (size - kGroupHeaderSize) / kGroupEntrySize;
    return static_cast<std::int32_t>(std::min(count, present));
}

namespace {

// The 14-byte entry `frame` of a group directory, or nullopt when it does not lie wholly
// inside the resource. Icon and cursor entries are bounded alike.
std::optional<Bytes> groupEntry(const std::uint8_t* data, std::int32_t size, std::int32_t frame) {
    if (!data || frame < 0) return std::nullopt;
    const std::int64_t start = kGroupHeaderSize + kGroupEntrySize * std::int64_t{frame};
    return subspan(Bytes(data, static_cast<std::size_t>(size)), static_cast<std::size_t>(start),
                   kGroupEntrySize);
}

enum class GroupKind { None, Icon, Cursor };

struct FrameEntry {
    GroupKind kind = GroupKind::None;
    std::optional<Bytes> entry;  // the 14-byte entry, when it lies inside the group
};

FrameEntry frameEntry(const TIEModuleResources& r, std::int32_t type, std::int32_t name,
                             std::int32_t frame) {
    const std::string typeName = r.TypeName(type);
    FrameEntry out;
    if (typeName == "GroupIcon") out.kind = GroupKind::Icon;
    else if (typeName == "GroupCursor") out.kind = GroupKind::Cursor;
    else return out;
    std::int32_t size = 0;
    const std::uint8_t* data = r.ResourceData(type, name, size);
    out.entry = groupEntry(data, size, frame);
    return out;
}

}  // namespace

std::int32_t TIEModuleResources::FrameWidth(std::int32_t type, std::int32_t name,
                                            std::int32_t frame) const {
    const FrameEntry f = frameEntry(*this, type, name, frame);
    if (!f.entry) return 0;
    if (f.kind == GroupKind::Icon) {
        const std::uint8_t w = *readU8(*f.entry, kEntryWidth);
        return w == 0 ? 256 : w;
    }
    return *readU16(*f.entry, kEntryWidth);
}

std::int32_t TIEModuleResources::FrameHeight(std::int32_t type, std::int32_t name,
                                             std::int32_t frame) const {
    const FrameEntry f = frameEntry(*this, type, name, frame);
    if (!f.entry) return 0;
    if (f.kind == GroupKind::Icon) {
        const std::uint8_t h = *readU8(*f.entry, kEntryHeight);
        return h == 0 ? 256 : h;
    }
    return *readU16(*f.entry, kCursorEntryHeight) >> 1;
}

std::int32_t TIEModuleResources::FrameBitCount(std::int32_t type, std::int32_t name,
                                               std::int32_t frame) const {
    const FrameEntry f = frameEntry(*this, type, name, frame);
    return f.entry ? *readU16(*f.entry, kEntryBitCount) : 0;
}

std::string TIEModuleResources::FrameNameId(std::int32_t type, std::int32_t name,
                                            std::int32_t frame) const {
    const FrameEntry f = frameEntry(*this, type, name, frame);
    return f.entry ? integerIdText(*readU16(*f.entry, kEntryImageName)) : std::string();
}

const std::uint8_t* TIEModuleResources::FrameData(std::int32_t type, std::int32_t name,
                                                  std::int32_t frame, std::int32_t& size) const {
    const FrameEntry f = frameEntry(*this, type, name, frame);
    // A type that is not a group has no frames: nothing, even when some "Cursor"
    // resource has an empty string name.
    if (!f.entry) return nullptr;
    const std::string image = integerIdText(*readU16(*f.entry, kEntryImageName));
    return FindResourceData(f.kind == GroupKind::Icon ? "Icon" : "Cursor", image, size);
}

// Bookmarks are created on an invalid instance too; their data queries then raise the
// index error like any other.
TIEResourceBookmark* TIEModuleResources::AddBookmark(std::int32_t type, std::int32_t name,
                                                     std::int32_t frame) {
    m_impl->bookmarks.push_back(std::make_unique<TIEResourceBookmark>(type, name, frame));
    return m_impl->bookmarks.back().get();
}

const std::uint8_t* TIEModuleResources::BookmarkData(const TIEResourceBookmark& bookmark,
                                                     std::int32_t& size) const {
    if (bookmark.FrameIndex < 0) return ResourceData(bookmark.TypeIndex, bookmark.NameIndex, size);
    return FrameData(bookmark.TypeIndex, bookmark.NameIndex, bookmark.FrameIndex, size);
}

}  // namespace tess
