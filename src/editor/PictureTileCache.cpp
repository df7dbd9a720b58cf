#include "PictureTileCache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Panel.h"
#include "render/PanelRenderer.h"
#include "render/RenderColor.h"

namespace {

// The tile holding a device coordinate (floor division: areas may start left of zero).
int TileIndex(int coordinate) {
    return coordinate >= 0 ? coordinate / CPictureTileCache::kTileSide
                           : -((-coordinate - 1) / CPictureTileCache::kTileSide) - 1;
}

QRect ZoomedTotal(const CPanel& panel, int deviceZoom) {
    CRect total = panel.m_rcTotal;
    CLayerItem::ZoomRect(deviceZoom, total, 0, 0);
    return QRect(QPoint(total.left, total.top), QPoint(total.right - 1, total.bottom - 1));
}

} // namespace

bool CPictureTileCache::Applies(const CPanel& panel, int deviceZoom, const QRect& area) {
    const CDecodedPicture* picture = panel.m_image.m_bitmap.get();
    if (picture == nullptr || picture->Width() <= 0 || picture->Height() <= 0 || area.isEmpty()) {
        return false;
    }
    const CRect body = panel.m_image.GetZoomedRect(deviceZoom, 0, 0);
    const qint64 width = std::llabs(qint64(body.right) - body.left);
    const qint64 height = std::llabs(qint64(body.bottom) - body.top);
    const bool enlarged = width > picture->Width() || height > picture->Height();
    return enlarged && ZoomedTotal(panel, deviceZoom).contains(area);
}

CPictureTileCache::SLayerKey CPictureTileCache::KeyOf(const CPanel& panel, int deviceZoom) {
    SLayerKey key;
    key.pPicture = panel.m_image.m_bitmap.get();
    key.rcBody = panel.m_image.GetZoomedRect(deviceZoom, 0, 0);
    key.rcTotal = panel.m_rcTotal;
    CLayerItem::ZoomRect(deviceZoom, key.rcTotal, 0, 0);
    key.crBack = panel.m_crBack;
    return key;
}

void CPictureTileCache::Clear() {
    m_tiles.clear();
    m_key = SLayerKey{};
}

QImage CPictureTileCache::DrawTile(const CPanel& panel, int deviceZoom, QPoint tile) const {
    // The tile is drawn with a margin of a few picture pixels on every side and then cut out:
    // the smoothing near its edges then reads the same neighbours as a drawing of the whole
    // window does, so no seam shows between tiles.
    const CDecodedPicture& picture = *panel.m_image.m_bitmap;
    const CRect body = m_key.rcBody;
    const double scaleX = std::abs(double(body.right) - body.left) / picture.Width();
    const double scaleY = std::abs(double(body.bottom) - body.top) / picture.Height();
    const int margin = std::min(kTileSide, int(std::ceil(std::max(scaleX, scaleY))) + 2);
    const QPoint origin(tile.x() * kTileSide - margin, tile.y() * kTileSide - margin);
    QImage drawn(kTileSide + 2 * margin, kTileSide + 2 * margin, QImage::Format_RGB32);
    drawn.fill(render::ToQColor(panel.m_crBack));
    {
        QPainter painter(&drawn);
        painter.translate(-origin);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        render::DrawPicture(painter, panel.m_image, false, deviceZoom, 0, 0);
    }
    return drawn.copy(margin, margin, kTileSide, kTileSide);
}

void CPictureTileCache::Draw(QPainter& painter, const CPanel& panel, int deviceZoom,
                             const QRect& area, const QRect& window) {
    const SLayerKey key = KeyOf(panel, deviceZoom);
    if (!(key == m_key)) {
        m_tiles.clear();
        m_key = key;
    }
    const int firstColumn = TileIndex(area.left());
    const int lastColumn = TileIndex(area.right());
    const int firstRow = TileIndex(area.top());
    const int lastRow = TileIndex(area.bottom());
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int column = firstColumn; column <= lastColumn; ++column) {
            const QPoint index(column, row);
            auto found = m_tiles.find(index);
            if (found == m_tiles.end()) {
                found = m_tiles.insert(index, DrawTile(panel, deviceZoom, index));
                ++m_nTilesDrawn;
            }
            const QRect tileRect(column * kTileSide, row * kTileSide, kTileSide, kTileSide);
            const QRect part = tileRect.intersected(area);
            painter.drawImage(part.topLeft() - area.topLeft(), *found,
                              part.translated(-tileRect.topLeft()));
        }
    }
    // Tiles more than one tile away from the window are dropped: memory stays near the window's.
    const QRect shown = window.isEmpty() ? area : window;
    const int keepLeft = TileIndex(shown.left()) - 1;
    const int keepRight = TileIndex(shown.right()) + 1;
    const int keepTop = TileIndex(shown.top()) - 1;
    const int keepBottom = TileIndex(shown.bottom()) + 1;
    for (auto it = m_tiles.begin(); it != m_tiles.end();) {
        const QPoint index = it.key();
        const bool near = index.x() >= keepLeft && index.x() <= keepRight && index.y() >= keepTop &&
                          index.y() <= keepBottom;
        it = near ? std::next(it) : m_tiles.erase(it);
    }
}
