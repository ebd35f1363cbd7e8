// Counts of a module's resources by kind, and tests for the presence of a kind.
//
// Every function opens the module named by `path` with its own TIEModuleResources,
// walks its types and names, and releases the reader before returning, also when an
// error passes through. Nothing is cached. Kinds are recognised by their type text
// names only, compared case-sensitively ("PNG" but not "png", "Image" but not "IMAGE").
// A path that is not a valid module gives 0 / false, except CountPngImages and
// CountExtractable, which give -1. Nothing is raised for a bad file.
#pragma once

#include <cstdint>
#include <string>

namespace tess {

// Frames of every group, 1 for every other resource of any type.
std::int32_t CountResources(const std::string& path);
// Frames of every group, 1 per "Image", "Icon", "Cursor", "Bitmap" or "PNG" resource.
std::int32_t CountImages(const std::string& path);
std::int32_t CountBitmaps(const std::string& path);
// -1 for a file that is not a valid module.
std::int32_t CountPngImages(const std::string& path);
// Group icons, each once whatever its frames.
std::int32_t CountGroupIcons(const std::string& path);
std::int32_t CountIcons(const std::string& path);
// Frames of the group cursors (not the number of groups).
std::int32_t CountGroupCursorFrames(const std::string& path);
std::int32_t CountCursors(const std::string& path);
// Bitmaps + PNG images + group icons + icons; -1 for a file that is not a valid module.
std::int32_t CountExtractable(const std::string& path);

bool HasBitmaps(const std::string& path);
bool HasPngImages(const std::string& path);
bool HasIcons(const std::string& path);
bool HasGroupIcons(const std::string& path);
bool HasImages(const std::string& path);
bool HasGroupIconType(const std::string& path);
bool HasGroupCursorType(const std::string& path);
// The type is "GroupIcon", a group type, or "Icon" / "Cursor". False for a file that is
// not a valid module; std::out_of_range for a bad index on a valid one.
bool IsIconLikeType(const std::string& path, std::int32_t typeIndex);

}  // namespace tess
