#include "mainwindow/app_icon.h"

#include <QPixmap>

#include "iconfile/icon_codec.h"
#include "imaging/image_io.h"
#include "mainwindow/image_to_qimage.h"
#include "platform/error.h"

namespace tess {

QIcon loadApplicationIcon(const std::string& fileName) {
    QIcon icon;
    const std::int32_t frames = CountIconFrames(fileName);
    for (std::int32_t i = 0; i < frames; ++i) {
        Image image;
        TIOParamsVals params;
        params.imageIndex = i;
        if (!loadFromFile(fileName, image, params)) continue;
        const QImage frame = toQImage(image);
        if (!frame.isNull()) icon.addPixmap(QPixmap::fromImage(frame));
    }
    if (icon.isNull())
        throw Error("Cannot open file \"" + fileName + "\". The file holds no icon image.");
    return icon;
}

}  // namespace tess
