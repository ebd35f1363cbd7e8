// The image format codes and the file extensions the imaging layer knows.
#pragma once

#include <string>

namespace tess {

// Format code registered for an extension given with or without its dot, any case
// (".bmp" 5, ".ico" 6, ".cur" 7, ".png" 8, ".jpg"/".jpeg" 3); 0 when unknown.
int formatCodeForExtension(const std::string& extension);

}  // namespace tess
