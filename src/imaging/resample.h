// Resizing an image to a new width and height.
#pragma once

#include "imaging/image.h"

namespace tess {

// A copy of `src` at width x height. A 1-bit image is resized without filtering (nearest
// pixel); a 24-bit image per axis by linear interpolation when enlarging and by averaging
// the covered pixels when reducing. The alpha plane follows the same filter. Equal sizes
// give an exact copy. Raises tess::Error for a size Image does not accept.
Image resample(const Image& src, int width, int height);

}  // namespace tess
