#pragma once
// The picture layer of an enlarged panel (its background and its picture, without balloons or
// grab squares) kept by the view in square tiles of device pixels, so that a repaint, a scroll
// within the tiles kept and an edit of a balloon blit the layer and draw only the balloons over
// it. Enlarging is the costly way of drawing a picture (the visible part smoothed from the full
// pixels on every paint); below the picture's own size the renderer already blits a scaled copy,
// and the view does not keep tiles.
//
// The tiles belong to one drawing of the layer: a change of the zoom, the device pixel ratio,
// the picture, its body, the panel's size or its background colour drops them all. Tiles far
// from the visible area are dropped as it moves.
#include <QHash>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "model/Types.h"

class CPanel;
class QPainter;

class CPictureTileCache {
public:
    static constexpr int kTileSide = 256;

    // Whether the panel's picture layer over area (device pixels of the panel drawn at
    // deviceZoom) is drawn from tiles: the picture is enlarged there and the area lies wholly
    // within the panel, so that the layer covers all of it.
    static bool Applies(const CPanel& panel, int deviceZoom, const QRect& area);
    // Draws the picture layer of area with its top-left corner at the painter's origin, drawing
    // the tiles it lacks first. Only for an area where Applies holds. Tiles more than one tile
    // away from window (the whole window shown; area itself when empty) are dropped.
    void Draw(QPainter& painter, const CPanel& panel, int deviceZoom, const QRect& area,
              const QRect& window = QRect());
    void Clear();
    int TileCount() const { return static_cast<int>(m_tiles.size()); }
    // Tiles drawn since the cache was made (a repaint that blits draws none).
    int TilesDrawn() const { return m_nTilesDrawn; }

private:
    // What the layer's pixels depend on.
    struct SLayerKey {
        const void* pPicture = nullptr;
        CRect rcBody;  // the picture's body at the device zoom
        CRect rcTotal; // the panel at the device zoom
        COLORREF crBack = 0;
        bool operator==(const SLayerKey&) const = default;
    };
    static SLayerKey KeyOf(const CPanel& panel, int deviceZoom);
    QImage DrawTile(const CPanel& panel, int deviceZoom, QPoint tile) const;

    SLayerKey m_key;
    QHash<QPoint, QImage> m_tiles; // by tile column and row
    int m_nTilesDrawn = 0;
};
