// Extension to format code table.
#include "imaging/format_codes.h"

#include "imaging/io_params.h"

namespace tess {

int formatCodeForExtension(const std::string& extension) {
    std::string e = extension;
    if (!e.empty() && e[0] == '.') e.erase(0, 1);
    for (char& c : e) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (e == "bmp" || e == "dib") return FormatCode::Bitmap;
    if (e == "ico") return FormatCode::Icon;
    if (e == "cur") return FormatCode::Cursor;
    if (e == "png") return FormatCode::Png;
    if (e == "jpg" || e == "jpeg" || e == "jpe") return FormatCode::Jpeg;
    return FormatCode::None;
}

}  // namespace tess
