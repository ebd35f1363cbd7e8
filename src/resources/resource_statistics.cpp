#include "resources/resource_statistics.h"

#include <algorithm>
#include <functional>
#include <limits>
#include <string_view>

#include "resources/module_resources.h"

namespace tess {

namespace {

// What one resource (type t, name n) adds to a count.
using Contribution = std::function<std::int32_t(const TIEModuleResources&, std::int32_t t,
                                                std::int32_t n, const std::string& typeName)>;

// Opens `path` and sums `add` over every resource from 0; `invalid` is the answer for a
// file that is not a valid module. The reader is released on every path.
std::int32_t countOver(const std::string& path, std::int32_t invalid, const Contribution& add) {
    const TIEModuleResources reader(path);
    if (!reader.IsValid()) return invalid;
    // Names may share one group's bytes, so a hostile module can list more frames than
    // 32 bits hold: sum wide and saturate.
    std::int64_t total = 0;
    for (std::int32_t t = 0; t < reader.TypeCount(); ++t) {
        const std::string typeName = reader.TypeName(t);
        const std::int32_t names = reader.NameCount(t);
        for (std::int32_t n = 0; n < names; ++n) total += add(reader, t, n, typeName);
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(total, std::numeric_limits<std::int32_t>::max()));
}

Contribution onePer(std::string_view kind) {
    return [kind](const TIEModuleResources&, std::int32_t, std::int32_t, const std::string& typeName) {
        return typeName == kind ? 1 : 0;
    };
}

bool hasTypeNamed(const std::string& path, std::string_view kind) {
    const TIEModuleResources reader(path);
    if (!reader.IsValid()) return false;
    for (std::int32_t t = 0; t < reader.TypeCount(); ++t)
        if (reader.TypeName(t) == kind) return true;
    return false;
}

}  // namespace

std::int32_t CountResources(const std::string& path) {
    return countOver(path, 0, [](const TIEModuleResources& r, std::int32_t t, std::int32_t n,
                                 const std::string& typeName) {
        return typeName == "GroupIcon" || typeName == "GroupCursor" ? r.FrameCount(t, n) : 1;
    });
}

std::int32_t CountImages(const std::string& path) {
    return countOver(path, 0, [](const TIEModuleResources& r, std::int32_t t, std::int32_t n,
                                 const std::string& typeName) {
        if (typeName == "GroupIcon" || typeName == "GroupCursor") return r.FrameCount(t, n);
        return typeName == "Image" || typeName == "Icon" || typeName == "Cursor" ||
                       typeName == "Bitmap" || typeName == "PNG"
                   ? 1
                   : 0;
    });
}

std::int32_t CountBitmaps(const std::string& path) { return countOver(path, 0, onePer("Bitmap")); }
std::int32_t CountPngImages(const std::string& path) { return countOver(path, -1, onePer("PNG")); }
std::int32_t CountGroupIcons(const std::string& path) { return countOver(path, 0, onePer("GroupIcon")); }
std::int32_t CountIcons(const std::string& path) { return countOver(path, 0, onePer("Icon")); }
std::int32_t CountCursors(const std::string& path) { return countOver(path, 0, onePer("Cursor")); }

std::int32_t CountGroupCursorFrames(const std::string& path) {
    return countOver(path, 0, [](const TIEModuleResources& r, std::int32_t t, std::int32_t n,
                                 const std::string& typeName) {
        return typeName == "GroupCursor" ? r.FrameCount(t, n) : 0;
    });
}

std::int32_t CountExtractable(const std::string& path) {
    const std::int32_t png = CountPngImages(path);
    if (png < 0) return -1;
    const std::int64_t sum = std::int64_t{CountBitmaps(path)} + png + CountGroupIcons(path) + CountIcons(path);
    return static_cast<std::int32_t>(std::min<std::int64_t>(sum, std::numeric_limits<std::int32_t>::max()));
}

bool HasBitmaps(const std::string& path) { return CountBitmaps(path) > 0; }
bool HasPngImages(const std::string& path) { return CountPngImages(path) > 0; }
bool HasIcons(const std::string& path) { return CountIcons(path) > 0; }
bool HasGroupIcons(const std::string& path) { return CountGroupIcons(path) > 0; }
bool HasImages(const std::string& path) { return CountImages(path) > 0; }
bool HasGroupIconType(const std::string& path) { return hasTypeNamed(path, "GroupIcon"); }
bool HasGroupCursorType(const std::string& path) { return hasTypeNamed(path, "GroupCursor"); }

bool IsIconLikeType(const std::string& path, std::int32_t typeIndex) {
    const TIEModuleResources reader(path);
    if (!reader.IsValid()) return false;
    return reader.TypeName(typeIndex) == "GroupIcon" || reader.IsGroupType(typeIndex) ||
           reader.IsIconOrCursorType(typeIndex);
}

}  // namespace tess
