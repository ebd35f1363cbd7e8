// Loading the application icon from an icon file through the program's own icon codec.
#pragma once

#include <string>

#include <QIcon>

namespace tess {

// Every frame of the icon file as one size of the icon. Raises tess::Error
// ("Cannot open file \"%s\". %s") when the file cannot be read or holds no frame that
// decodes.
QIcon loadApplicationIcon(const std::string& fileName);

}  // namespace tess
