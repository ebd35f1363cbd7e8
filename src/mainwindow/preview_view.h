// The preview of the main window: one decoded image with its parameters, drawn at a zoom
// or fitted into the view, over a solid or chessboard background.
#pragma once

#include <cstddef>
#include <cstdint>

#include <QAbstractScrollArea>
#include <QColor>
#include <QImage>

#include "imaging/image.h"
#include "imaging/io_params.h"

namespace tess {

class PreviewView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewView(QWidget* parent = nullptr);

    // Decodes raw bytes with `formatCode` through the imaging layer's load from memory,
    // using (and updating) params(). False for an aborted load; the image then stays as
    // the decoder left it.
    bool loadFromMemory(const std::uint8_t* data, std::size_t size, int formatCode);
    // Removes the image; the background stays.
    void clear();

    const Image& image() const { return m_image; }
    TIOParamsVals& params() { return m_params; }
    const TIOParamsVals& params() const { return m_params; }
    const QImage& displayImage() const { return m_display; }

    // Zoom in per cent, used while auto-fit is off.
    void setZoom(double percent);
    double zoom() const { return m_zoom; }
    void setAutoFit(bool on);
    bool autoFit() const { return m_autoFit; }
    // The scale the image is drawn at now (the fitted one while auto-fit is on).
    double effectiveScale() const;

    // A solid background, or a chessboard of `squareSize` pixel squares in the background
    // colour and its complement.
    void setBackground(const QColor& colour);
    QColor background() const { return m_background; }
    void setChessboard(bool on, int squareSize = 4);
    bool chessboard() const { return m_chessboard; }
    int chessboardSquare() const { return m_square; }

    // The colour drawn at a point of the viewport (for checking the background).
    QColor backgroundAt(const QPoint& viewportPos) const;

signals:
    // Progress of a load in per cent, then finished().
    void progress(int percent);
    void finished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void imageChanged();
    void updateScrollBars();
    QSize scaledSize() const;
    QRect imageRect() const;

    Image m_image;
    TIOParamsVals m_params;
    QImage m_display;
    double m_zoom = 100.0;
    bool m_autoFit = false;
    QColor m_background;
    bool m_chessboard = false;
    int m_square = 4;
};

}  // namespace tess
