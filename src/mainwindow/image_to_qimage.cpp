#include "mainwindow/image_to_qimage.h"

#include "imaging/image.h"

namespace tess {

QImage toQImage(const Image& image) {
    if (image.isEmpty()) return {};
    const bool alpha = image.hasAlpha();
    QImage out(image.width(), image.height(), alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (out.isNull()) return {};  // allocation refused
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const std::uint8_t* a = alpha ? image.alphaRow(y) : nullptr;
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.pixel(x, y);
            line[x] = qRgba(c.r, c.g, c.b, a ? a[x] : 255);
        }
    }
    return out;
}

}  // namespace tess
