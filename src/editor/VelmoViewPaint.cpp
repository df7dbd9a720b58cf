// Painting of the panel view: the grey strips beyond the panel, then the panel through the
// shared drawing function, kept as an image of the visible part so that a drag only draws its
// frame over it. The image has one pixel per device pixel of the screen (DensePanel.h). Where the
// picture is enlarged and fills the window, its layer comes from the tiles the view keeps.
#include <QLabel>
#include <QMainWindow>
#include <QPaintEvent>
#include <QPainter>
#include <QStatusBar>
#include <algorithm>
#include <cstring>

#include "DensePanel.h"
#include "VelmoView.h"
#include "model/VelmoDoc.h"
#include "render/PanelRenderer.h"
#include "render/PicturePreparation.h"

namespace {

// The status bar's note that the picture is drawn reduced: shown while the panel last painted
// draws its picture from fewer pixels than its zoom needs, hidden otherwise.
void ShowPictureScaleNote(QWidget* view, bool reduced) {
    auto* frame = qobject_cast<QMainWindow*>(view->window());
    QStatusBar* bar = frame ? frame->findChild<QStatusBar*>() : nullptr;
    if (bar == nullptr) {
        return;
    }
    auto* note = bar->findChild<QLabel*>(QStringLiteral("PictureScaleNote"));
    if (note == nullptr) {
        if (!reduced) {
            return;
        }
        note = new QLabel(QStringLiteral("画像を縮小して表示しています"), bar);
        note->setObjectName(QStringLiteral("PictureScaleNote"));
        bar->insertPermanentWidget(0, note);
    }
    note->setVisible(reduced);
}

// Moves the pixels of a 32-bit image by shift; what moves out is lost, what is uncovered keeps
// its old pixels (the caller draws it).
void ShiftPixels(QImage& image, QPoint shift) {
    const int w = image.width();
    const int h = image.height();
    const int dx = shift.x();
    const int dy = shift.y();
    const int count = w - std::abs(dx);
    if (count <= 0 || std::abs(dy) >= h) {
        return;
    }
    const int from = std::max(0, -dx) * 4;
    const int to = std::max(0, dx) * 4;
    const auto moveRow = [&](int y) {
        std::memmove(image.scanLine(y + dy) + to, image.constScanLine(y) + from,
                     static_cast<std::size_t>(count) * 4);
    };
    if (dy > 0) {
        for (int y = h - 1 - dy; y >= 0; --y) {
            moveRow(y);
        }
    } else {
        for (int y = -dy; y < h; ++y) {
            moveRow(y);
        }
    }
}

} // namespace

QColor CVelmoView::GrayTextColor(const QPalette& palette) {
    return palette.color(QPalette::Disabled, QPalette::WindowText);
}

void CVelmoView::InvalidateView() {
    m_bImageValid = false;
    viewport()->update();
}

void CVelmoView::PaintPanel(QPainter& painter) const {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    render::DrawPanel(painter, doc->m_panel, m_nZoom, m_nSelected, 0, 0);
}

QSize CVelmoView::PanelImageSize() const {
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize client = viewport()->size();
    return QSize(ToDevicePixels(client.width(), ratio), ToDevicePixels(client.height(), ratio));
}

void CVelmoView::RenderPanelImage() {
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize device = PanelImageSize();
    if (m_imgPanel.size() != device) {
        m_imgPanel = QImage(device, QImage::Format_RGB32);
    }
    // Painted in device pixels; the ratio is set again once the painting is done.
    m_imgPanel.setDevicePixelRatio(1.0);
    m_ptImageScroll = GetScrollPosition();
    const CVelmoDoc* doc = GetDocument();
    const int deviceZoom = DeviceZoom(m_nZoom, ratio);
    const QRect area(QPoint(ToDevicePixels(m_ptImageScroll.x(), ratio),
                            ToDevicePixels(m_ptImageScroll.y(), ratio)),
                     device);
    m_bImageTiled = doc != nullptr && CPictureTileCache::Applies(doc->m_panel, deviceZoom, area);
    if (m_bImageTiled) {
        // The window shows only panel: the kept picture layer, then what lies over it.
        QPainter painter(&m_imgPanel);
        m_tiles.Draw(painter, doc->m_panel, deviceZoom, area);
        painter.translate(-area.topLeft());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawDenseOverPicture(painter, doc->m_panel, m_nZoom, m_nSelected, ratio);
    } else {
        m_tiles.Clear();
        m_imgPanel.fill(palette().color(QPalette::Base));
        QPainter painter(&m_imgPanel);
        // The strips are measured from the window's top-left corner: everything right of the
        // extent at full height, and everything below it left of the extent's width.
        const QColor gray = GrayTextColor(palette());
        const int extentW = ToDevicePixels(m_sizeTotal.width(), ratio);
        const int extentH = ToDevicePixels(m_sizeTotal.height(), ratio);
        if (device.width() > extentW) {
            painter.fillRect(QRect(extentW, 0, device.width() - extentW, device.height()), gray);
        }
        if (device.height() > extentH) {
            painter.fillRect(
                QRect(0, extentH, std::min(extentW, device.width()), device.height() - extentH),
                gray);
        }
        painter.setClipRect(QRect(QPoint(0, 0), device));
        painter.translate(-area.topLeft());
        if (doc != nullptr) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            DrawDensePanel(painter, doc->m_panel, m_nZoom, m_nSelected, ratio);
        }
    }
    m_imgPanel.setDevicePixelRatio(ratio);
    m_bImageValid = true;
    if (doc != nullptr) {
        ShowPictureScaleNote(this, render::PictureShownReduced(doc->m_panel.m_image, m_nZoom));
    }
}

bool CVelmoView::ScrollPanelImage() {
    const CVelmoDoc* doc = GetDocument();
    if (!m_bImageValid || !m_bImageTiled || doc == nullptr ||
        m_imgPanel.size() != PanelImageSize()) {
        return false;
    }
    const qreal ratio = viewport()->devicePixelRatioF();
    const QPoint scroll = GetScrollPosition();
    const QPoint before(ToDevicePixels(m_ptImageScroll.x(), ratio),
                        ToDevicePixels(m_ptImageScroll.y(), ratio));
    const QPoint origin(ToDevicePixels(scroll.x(), ratio), ToDevicePixels(scroll.y(), ratio));
    const QRect area(origin, m_imgPanel.size());
    const int deviceZoom = DeviceZoom(m_nZoom, ratio);
    const QRect window(QPoint(0, 0), m_imgPanel.size());
    const QRect kept = window.translated(before - origin) & window;
    if (kept.isEmpty() || !CPictureTileCache::Applies(doc->m_panel, deviceZoom, area)) {
        return false;
    }
    ShiftPixels(m_imgPanel, before - origin);
    const QRegion uncovered = QRegion(window) - kept;
    m_imgPanel.setDevicePixelRatio(1.0);
    {
        QPainter painter(&m_imgPanel);
        for (const QRect& strip : uncovered) {
            painter.save();
            painter.translate(strip.topLeft());
            m_tiles.Draw(painter, doc->m_panel, deviceZoom, strip.translated(origin), area);
            painter.restore();
        }
        // The balloons are drawn whole, clipped to the strips: their pixels there are those of
        // a whole drawing.
        painter.setClipRegion(uncovered);
        painter.translate(-origin);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawDenseOverPicture(painter, doc->m_panel, m_nZoom, m_nSelected, ratio);
    }
    m_imgPanel.setDevicePixelRatio(ratio);
    m_ptImageScroll = scroll;
    return true;
}

void CVelmoView::DrawTrackFrame(QPainter& painter) const {
    if (m_nDragMode == DRAG_NONE || m_rcTrack.IsEmpty()) {
        return;
    }
    // The drag rectangle is a 1-pixel frame that inverts what lies under it; never filled.
    // Each pixel of the frame is inverted once, corners included.
    const int l = m_rcTrack.left;
    const int t = m_rcTrack.top;
    const int w = m_rcTrack.Width();
    const int h = m_rcTrack.Height();
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_NotDestination);
    painter.fillRect(QRect(l, t, w, 1), Qt::black);
    if (h > 1) {
        painter.fillRect(QRect(l, t + h - 1, w, 1), Qt::black);
    }
    if (h > 2) {
        painter.fillRect(QRect(l, t + 1, 1, h - 2), Qt::black);
        if (w > 1) {
            painter.fillRect(QRect(l + w - 1, t + 1, 1, h - 2), Qt::black);
        }
    }
    painter.restore();
}

void CVelmoView::paintEvent(QPaintEvent*) {
    if (!m_bImageValid || m_imgPanel.size() != PanelImageSize()) {
        RenderPanelImage();
    } else if (m_ptImageScroll != GetScrollPosition() && !ScrollPanelImage()) {
        RenderPanelImage();
    }
    QPainter painter(viewport());
    painter.drawImage(0, 0, m_imgPanel);
    DrawTrackFrame(painter);
}
