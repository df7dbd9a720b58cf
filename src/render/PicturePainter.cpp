// The picture layer: the whole picture stretched into its zoomed body. Below the picture's own
// size the area-averaged picture for that size is blitted (built once, then kept by the
// picture); at or above it, the visible part is drawn straight from the full picture, smoothed.
#include <QPainter>
#include <algorithm>
#include <cstdlib>

#include "DecodedPicture.h"
#include "PaintBounds.h"
#include "PanelRenderer.h"
#include "PicturePlacement.h"
#include "PicturePreparation.h"
#include "model/PanelImage.h"

namespace render {

namespace {

// Above this, an area-averaged copy is not kept: the picture is drawn straight from the source.
constexpr qint64 kMaxScaledBytes = qint64(256) << 20;

bool UsesAreaAverage(const CQtDecodedPicture& picture, const SPicturePlacement& p) {
    return p.nWidth <= picture.Width() && p.nHeight <= picture.Height() &&
           p.nWidth * p.nHeight * 4 <= kMaxScaledBytes;
}

// The visible part of source stretched over the placed body, mapped back to the source in exact
// fractions; smoothed, or (a stand-in that must be quick) each source pixel repeated.
void DrawStretched(QPainter& painter, const QImage& source, const SPicturePlacement& p,
                   const QRect& target, bool bSmooth = true) {
    if (source.isNull()) {
        return;
    }
    const double sx = double(source.width()) / double(p.nWidth);
    const double sy = double(source.height()) / double(p.nHeight);
    const QRectF from((target.left() - p.nLeft) * sx, (target.top() - p.nTop) * sy,
                      target.width() * sx, target.height() * sy);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, bSmooth);
    painter.drawImage(QRectF(target), source, from);
}

void DrawPixels(QPainter& painter, const CQtDecodedPicture& picture, const SPicturePlacement& p,
                bool bHeldOnly) {
    const QRect visible = VisibleBounds(painter);
    const QRect target =
        IntersectEdges(p.nLeft, p.nTop, p.nLeft + p.nWidth, p.nTop + p.nHeight, visible);
    if (target.isEmpty()) {
        return;
    }
    if (bHeldOnly) {
        // Any step held covers a single pixel: the coarsest held is given, nothing is decoded.
        // Smoothing it to a whole screen would cost several times the plain enlargement.
        DrawStretched(painter, picture.PixelsCovering(QSize(1, 1)), p, target, false);
        return;
    }
    if (UsesAreaAverage(picture, p)) {
        const QImage scaled = picture.AreaAveraged(QSize(int(p.nWidth), int(p.nHeight)));
        if (!scaled.isNull()) {
            painter.drawImage(target.topLeft(), scaled,
                              target.translated(-int(p.nLeft), -int(p.nTop)));
        }
        return;
    }
    DrawStretched(painter, picture.PixelsCovering(picture.Size()), p, target);
}

// The picture stretched into its zoomed body, mirrored for an inverted body.
void DrawPlaced(QPainter& painter, const CPanelImage& image, int zoom, int dx, int dy,
                bool bHeldOnly) {
    const auto picture = std::dynamic_pointer_cast<const CQtDecodedPicture>(image.m_bitmap);
    const SPicturePlacement p = PicturePlacementOf(image.GetZoomedRect(zoom, dx, dy));
    if (!picture || p.nWidth <= 0 || p.nHeight <= 0) {
        return;
    }
    painter.save();
    MirrorAboutBody(painter, p);
    DrawPixels(painter, *picture, p, bHeldOnly);
    painter.restore();
}

} // namespace

void DrawPicture(QPainter& painter, const CPanelImage& image, bool selected, int zoom, int dx,
                 int dy) {
    if (!image.m_bitmap) {
        return; // no picture: not even the grab squares
    }
    DrawPlaced(painter, image, zoom, dx, dy, false);
    if (selected) {
        CRect corners[4];
        image.GetCornerHandleRects(zoom, corners);
        const QRect visible = VisibleBounds(painter);
        for (const CRect& square : corners) {
            painter.fillRect(HandleSquareWithin(square.left, square.top, visible), Qt::black);
        }
    }
}

void DrawPictureFromHeld(QPainter& painter, const CPanelImage& image, int zoom, int dx, int dy) {
    DrawPlaced(painter, image, zoom, dx, dy, true);
}

bool PreparePicture(const CPanelImage& image, int zoom) {
    const auto picture = std::dynamic_pointer_cast<const CQtDecodedPicture>(image.m_bitmap);
    if (!picture) {
        return true;
    }
    const SPicturePlacement p = PicturePlacementOf(image.GetZoomedRect(zoom, 0, 0));
    if (p.nWidth > 0 && p.nHeight > 0) {
        if (UsesAreaAverage(*picture, p)) {
            picture->AreaAveraged(QSize(int(p.nWidth), int(p.nHeight)));
        } else {
            picture->PixelsCovering(picture->Size());
        }
    }
    return picture->CheckDecodes();
}

bool PictureShownReduced(const CPanelImage& image, int zoom) {
    const auto picture = std::dynamic_pointer_cast<const CQtDecodedPicture>(image.m_bitmap);
    if (!picture) {
        return false;
    }
    const SPicturePlacement p = PicturePlacementOf(image.GetZoomedRect(zoom, 0, 0));
    if (p.nWidth <= 0 || p.nHeight <= 0) {
        return false;
    }
    // The size drawn from: the zoomed size up to the picture's own.
    const QSize size(int(std::min<qint64>(p.nWidth, picture->Width())),
                     int(std::min<qint64>(p.nHeight, picture->Height())));
    return picture->ShownReducedAt(size);
}

} // namespace render
