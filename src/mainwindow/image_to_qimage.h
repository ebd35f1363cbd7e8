// Converting an image of the imaging layer into a QImage for display.
#pragma once

#include <QImage>

namespace tess {

class Image;

// ARGB32 (not premultiplied) when the image has an alpha plane, RGB32 otherwise; a null
// QImage for an empty image. 1-bit images become black and white.
QImage toQImage(const Image& image);

}  // namespace tess
