#include "mainwindow/detail_texts.h"

#include "mainwindow/name_routines.h"
#include "platform/paths.h"

namespace tess {

int previewFormatCode(std::string_view t) {
    if (t == "GroupIcon" || t == "Icon") return 6;
    if (t == "GroupCursor" || t == "Cursor") return 7;
    if (t == "Bitmap") return 5;
    if (t == "PNG") return 8;
    return 0;
}

std::string previewKindText(int formatCode) {
    switch (formatCode) {
    case 6: return "Icon";
    case 7: return "Cursor";
    case 5: return "Bitmap";
    case 8: return "PNG";
    default: return {};
    }
}

std::string dimensionText(std::int32_t width, std::int32_t height) {
    return IntToThousands(width) + " pixels x " + IntToThousands(height) + " pixels";
}

std::string shortDimensionText(std::int32_t width, std::int32_t height) {
    return IntToThousands(width) + " x " + IntToThousands(height);
}

std::string colorText(std::int32_t depth) {
    return (depth == 32 ? "RGBA " : "RGB ") + std::to_string(depth) + " bit";
}

std::string rootFolderHint(std::string_view root) {
    const std::string r = root.empty() ? std::string("/") : withTrailingSeparator(root);
    return "The root destination folder is the parent folder for all extracted images.\n\r\n\r"
           "Images will be saved to the following folders: \n\r"
           "Group Icons: " + r + "GROUPICONS" + "\n\r" +
           "Icons: " + r + "ICONS" + "\n\r" +
           "Bitmaps: " + r + "BMP" + "\n\r" +
           "PNG Images: " + r + "PNG";
}

}  // namespace tess
