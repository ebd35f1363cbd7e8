// Texts of the main window's detail panel, status panels and hints.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tess {

// Format code of a bookmarked node for the preview, by the text name of its type
// (case-sensitive): 6 "GroupIcon"/"Icon", 7 "GroupCursor"/"Cursor", 5 "Bitmap", 8 "PNG",
// 0 otherwise ("Image" too: such resources are listed but not previewed).
int previewFormatCode(std::string_view typeName);

// Status panel 6 after previewing a node of that format code: "Icon", "Cursor",
// "Bitmap", "PNG", or "" for code 0.
std::string previewKindText(int formatCode);

// "W pixels x H pixels" and "W x H", numbers with thousands separators.
std::string dimensionText(std::int32_t width, std::int32_t height);
std::string shortDimensionText(std::int32_t width, std::int32_t height);

// "RGBA 32 bit" for depth 32, "RGB <depth> bit" for any other depth.
std::string colorText(std::int32_t depth);

// The hint of the label "Root Destination Folder" for a root folder (a trailing
// separator is added; an empty root reads as "/"). Lines are broken by LF followed by CR.
std::string rootFolderHint(std::string_view root);

}  // namespace tess
