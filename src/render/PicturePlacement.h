#pragma once
// Where a picture layer's body lies on the drawing surface: its edges in order, and whether an
// inverted body shows the picture mirrored. Every way of drawing the picture places it so.
#include <QtGlobal>

#include "model/Types.h"

class QPainter;

namespace render {

struct SPicturePlacement {
    qint64 nLeft = 0; // the body with its edges in order
    qint64 nTop = 0;
    qint64 nWidth = 0;
    qint64 nHeight = 0;
    bool bMirrorX = false; // an inverted body shows the picture mirrored
    bool bMirrorY = false;
};

SPicturePlacement PicturePlacementOf(const CRect& zoomedBody);

// Reflects the painter about the body, so that a picture drawn into the ordered rectangle shows
// mirrored where the body is inverted. Does nothing for a body that is not.
void MirrorAboutBody(QPainter& painter, const SPicturePlacement& p);

} // namespace render
