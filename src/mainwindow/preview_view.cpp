#include "mainwindow/preview_view.h"

#include <algorithm>
#include <cmath>

#include <QPainter>
#include <QPaintEvent>
#include <QScrollBar>

#include "imaging/image_io.h"
#include "mainwindow/image_to_qimage.h"

namespace tess {

PreviewView::PreviewView(QWidget* parent)
    : QAbstractScrollArea(parent), m_background(palette().color(QPalette::Base)) {
    setFrameShape(QFrame::StyledPanel);
}

bool PreviewView::loadFromMemory(const std::uint8_t* data, std::size_t size, int formatCode) {
    emit progress(0);
    const bool ok = tess::loadFromMemory(data, size, formatCode, m_image, m_params);
    emit progress(100);
    imageChanged();
    emit finished();
    return ok;
}

void PreviewView::clear() {
    m_image = Image();
    imageChanged();
}

void PreviewView::setZoom(double percent) {
    m_zoom = std::clamp(percent, 1.0, 6400.0);
    updateScrollBars();
    viewport()->update();
}

void PreviewView::setAutoFit(bool on) {
    m_autoFit = on;
    updateScrollBars();
    viewport()->update();
}

double PreviewView::effectiveScale() const {
    if (m_display.isNull()) return m_zoom / 100.0;
    if (!m_autoFit) return m_zoom / 100.0;
    const QSize area = viewport()->size();
    if (area.isEmpty()) return 1.0;
    return std::min(double(area.width()) / m_display.width(),
                    double(area.height()) / m_display.height());
}

void PreviewView::setBackground(const QColor& colour) {
    m_background = colour;
    viewport()->update();
}

void PreviewView::setChessboard(bool on, int squareSize) {
    m_chessboard = on;
    m_square = std::max(1, squareSize);
    viewport()->update();
}

QColor PreviewView::backgroundAt(const QPoint& p) const {
    if (!m_chessboard) return m_background;
    const bool odd = ((p.x() / m_square) + (p.y() / m_square)) % 2 == 1;
    if (!odd) return m_background;
    return QColor(255 - m_background.red(), 255 - m_background.green(),
                  255 - m_background.blue());
}

void PreviewView::imageChanged() {
    m_display = toQImage(m_image);
    updateScrollBars();
    viewport()->update();
}

QSize PreviewView::scaledSize() const {
    if (m_display.isNull()) return {};
    const double s = effectiveScale();
    return QSize(std::max(1, int(std::lround(m_display.width() * s))),
                 std::max(1, int(std::lround(m_display.height() * s))));
}

// Centred while it fits the viewport; scrolled by the scroll bars where it does not.
QRect PreviewView::imageRect() const {
    const QSize size = scaledSize();
    const QSize area = viewport()->size();
    const int x = size.width() <= area.width() ? (area.width() - size.width()) / 2
                                               : -horizontalScrollBar()->value();
    const int y = size.height() <= area.height() ? (area.height() - size.height()) / 2
                                                 : -verticalScrollBar()->value();
    return QRect(QPoint(x, y), size);
}

void PreviewView::updateScrollBars() {
    const QSize size = scaledSize();
    const QSize area = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, size.width() - area.width()));
    verticalScrollBar()->setRange(0, std::max(0, size.height() - area.height()));
    horizontalScrollBar()->setPageStep(area.width());
    verticalScrollBar()->setPageStep(area.height());
}

void PreviewView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect area = event->rect();
    painter.fillRect(area, m_background);
    if (m_chessboard) {
        const QColor other = backgroundAt(QPoint(m_square, 0));
        for (int y = (area.top() / m_square) * m_square; y <= area.bottom(); y += m_square)
            for (int x = (area.left() / m_square) * m_square; x <= area.right(); x += m_square)
                if (((x / m_square) + (y / m_square)) % 2 == 1)
                    painter.fillRect(x, y, m_square, m_square, other);
    }
    if (m_display.isNull()) return;
    // Enlarged icons keep their hard pixel edges; reduced images are smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, effectiveScale() < 1.0);
    painter.drawImage(imageRect(), m_display);
}

void PreviewView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PreviewView::scrollContentsBy(int, int) { viewport()->update(); }

}  // namespace tess
