#include "PanelWindowImage.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

#include "DensePanel.h"
#include "model/PanelLayers.h"
#include "render/PanelRenderer.h"

namespace {

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

// Copies the pixels of a rectangle of one 32-bit image into another at a point, unblended.
void CopyPixels(const QImage& from, const QRect& part, QImage& to, QPoint at) {
    for (int y = 0; y < part.height(); ++y) {
        std::memcpy(to.scanLine(at.y() + y) + at.x() * 4,
                    from.constScanLine(part.top() + y) + part.left() * 4,
                    static_cast<std::size_t>(part.width()) * 4);
    }
}

bool SamePicture(const std::weak_ptr<const CDecodedPicture>& a,
                 const std::weak_ptr<const CDecodedPicture>& b) {
    // By owner: a picture freed and another made at its address are not the same.
    return !a.owner_before(b) && !b.owner_before(a);
}

} // namespace

bool CPanelWindowImage::DrawWhole(QImage& image, const CPanel* panel, const SPanelWindow& window,
                                  int selected, CPictureTileCache& tiles) {
    const QSize device = window.rcArea.size();
    if (image.size() != device || image.format() != QImage::Format_RGB32) {
        image = QImage(device, QImage::Format_RGB32);
    }
    // Painted in device pixels; the ratio is set again once the painting is done.
    image.setDevicePixelRatio(1.0);
    const QRect& area = window.rcArea;
    const int deviceZoom = DeviceZoom(window.nZoom, window.dRatio);
    const bool tiled =
        panel != nullptr && CPictureTileCache::Applies(*panel, deviceZoom, window.rcArea);
    if (tiled) {
        // The window shows only panel: the kept picture layer, then what lies over it.
        QPainter painter(&image);
        tiles.Draw(painter, *panel, deviceZoom, area);
        painter.translate(-area.topLeft());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawDenseOverPicture(painter, *panel, window.nZoom, selected, window.dRatio);
    } else {
        tiles.Clear();
        image.fill(window.crBase);
        QPainter painter(&image);
        // The strips are measured from the window's top-left corner: everything right of the
        // extent at full height, and everything below it left of the extent's width.
        const int extentW = window.sizeExtent.width();
        const int extentH = window.sizeExtent.height();
        if (device.width() > extentW) {
            painter.fillRect(QRect(extentW, 0, device.width() - extentW, device.height()),
                             window.crGray);
        }
        if (device.height() > extentH) {
            painter.fillRect(
                QRect(0, extentH, std::min(extentW, device.width()), device.height() - extentH),
                window.crGray);
        }
        painter.setClipRect(QRect(QPoint(0, 0), device));
        painter.translate(-area.topLeft());
        if (panel != nullptr) {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            DrawDensePanel(painter, *panel, window.nZoom, selected, window.dRatio);
        }
    }
    image.setDevicePixelRatio(window.dRatio);
    return tiled;
}

CPanelWindowImage::SKey CPanelWindowImage::KeyOf(const CPanel* panel, const SPanelWindow& window) {
    SKey key;
    key.window = window;
    if (panel != nullptr) {
        key.bPanel = true;
        key.picture = panel->m_image.m_bitmap;
        key.pictureLayer = panel->m_image;
        key.rcTotal = panel->m_rcTotal;
        key.crBack = panel->m_crBack;
        key.fuki = panel->m_fuki;
    }
    return key;
}

bool CPanelWindowImage::SameDrawing(const SKey& a, const SKey& b) {
    SPanelWindow placed = b.window;
    placed.rcArea.moveTopLeft(a.window.rcArea.topLeft());
    return a.bPanel == b.bPanel && a.window == placed && SamePicture(a.picture, b.picture) &&
           a.pictureLayer == b.pictureLayer && a.rcTotal == b.rcTotal && a.crBack == b.crBack &&
           a.fuki == b.fuki;
}

std::optional<std::vector<QRect>> CPanelWindowImage::SquaresOnTop(const CPanel* panel,
                                                                  const SPanelWindow& window,
                                                                  int selected) const {
    std::vector<QRect> squares;
    if (panel == nullptr) {
        return squares;
    }
    const QRect& area = window.rcArea;
    squares = DenseMarkSquares(*panel, window.nZoom, selected, window.dRatio, area);
    for (QRect& square : squares) {
        square.translate(-area.topLeft());
    }
    if (squares.empty() || window.dRatio != 1.0) {
        // Away from ratio 1 the squares are drawn over everything.
        return squares;
    }
    // At ratio 1 the renderer draws them under the balloons in front of the selection (all
    // balloons for the picture): none of those may paint a pixel of them.
    const std::vector<int> order = FukiInDisplayOrder(*panel);
    auto front = order.begin();
    if (selected != render::kSelectPicture) {
        front = std::find(order.begin(), order.end(), selected);
        if (front == order.end()) {
            return squares;
        }
        ++front;
    }
    for (; front != order.end(); ++front) {
        const QRect painted =
            render::FukiPaintedBounds(m_img, panel->m_fuki[static_cast<std::size_t>(*front)],
                                      window.nZoom, -area.left(), -area.top());
        for (const QRect& square : squares) {
            if (painted.intersects(square)) {
                return std::nullopt;
            }
        }
    }
    return squares;
}

void CPanelWindowImage::FillSquares(const std::vector<QRect>& squares) {
    const QRect bounds = m_img.rect();
    for (const QRect& square : squares) {
        const QRect part = square & bounds;
        if (part.isEmpty()) {
            continue;
        }
        m_under.emplace_back(part, m_img.copy(part));
        for (int y = part.top(); y <= part.bottom(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(m_img.scanLine(y));
            std::fill(row + part.left(), row + part.right() + 1, QRgb(0xFF000000u));
        }
    }
}

void CPanelWindowImage::RestoreUnderSquares() {
    // In the reverse order of filling: overlapping squares give back what was there first.
    for (auto it = m_under.rbegin(); it != m_under.rend(); ++it) {
        CopyPixels(it->second, it->second.rect(), m_img, it->first.topLeft());
    }
    m_under.clear();
    m_nMarked = render::kSelectNone;
}

CPanelWindowImage::EWork CPanelWindowImage::Render(const CPanel* panel, const SPanelWindow& window,
                                                   int selected) {
    SKey key = KeyOf(panel, window);
    const bool same =
        m_bValid && key.window.rcArea == m_key.window.rcArea && SameDrawing(m_key, key);
    if (same && m_nBaked == render::kSelectNone) {
        if (selected == m_nMarked) {
            return EWork::None;
        }
        if (const auto squares = SquaresOnTop(panel, window, selected)) {
            m_img.setDevicePixelRatio(1.0);
            RestoreUnderSquares();
            FillSquares(*squares);
            m_nMarked = selected;
            m_img.setDevicePixelRatio(window.dRatio);
            return EWork::Marks;
        }
    } else if (same && selected == m_nBaked) {
        return EWork::None;
    }
    m_under.clear();
    m_nMarked = render::kSelectNone;
    if (m_img.size() != window.rcArea.size()) {
        // The size the balloons' painted bounds are worked out for.
        m_img = QImage(window.rcArea.size(), QImage::Format_RGB32);
    }
    m_img.setDevicePixelRatio(1.0);
    const auto squares = SquaresOnTop(panel, window, selected);
    m_nBaked = squares ? render::kSelectNone : selected;
    m_bTiled = DrawWhole(m_img, panel, window, m_nBaked, m_tiles);
    if (squares) {
        m_img.setDevicePixelRatio(1.0);
        FillSquares(*squares);
        m_nMarked = selected;
        m_img.setDevicePixelRatio(window.dRatio);
    }
    m_key = std::move(key);
    m_bValid = true;
    ++m_nWholeDrawings;
    return EWork::Whole;
}

bool CPanelWindowImage::Scroll(const CPanel& panel, const SPanelWindow& window) {
    SKey key = KeyOf(&panel, window);
    if (!m_bValid || !m_bTiled || !SameDrawing(m_key, key)) {
        return false;
    }
    const QRect before = m_key.window.rcArea;
    const QRect& area = window.rcArea;
    const int deviceZoom = DeviceZoom(window.nZoom, window.dRatio);
    const QRect kept = before.intersected(area);
    if (kept.isEmpty() || !CPictureTileCache::Applies(panel, deviceZoom, area)) {
        return false;
    }
    m_img.setDevicePixelRatio(1.0);
    RestoreUnderSquares();
    ShiftPixels(m_img, before.topLeft() - area.topLeft());
    const QRect window0(QPoint(0, 0), area.size());
    const QRegion uncovered = QRegion(window0) - kept.translated(-area.topLeft());
    {
        QPainter painter(&m_img);
        for (const QRect& strip : uncovered) {
            painter.save();
            painter.translate(strip.topLeft());
            m_tiles.Draw(painter, panel, deviceZoom, strip.translated(area.topLeft()), area);
            painter.restore();
        }
        // The balloons are drawn whole, clipped to the strips: their pixels there are those of
        // a whole drawing.
        painter.setClipRegion(uncovered);
        painter.translate(-area.topLeft());
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        DrawDenseOverPicture(painter, panel, window.nZoom, m_nBaked, window.dRatio);
    }
    m_img.setDevicePixelRatio(window.dRatio);
    m_key = std::move(key);
    return true;
}
