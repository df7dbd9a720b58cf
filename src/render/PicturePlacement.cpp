#include "PicturePlacement.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace render {

SPicturePlacement PicturePlacementOf(const CRect& z) {
    SPicturePlacement p;
    p.nLeft = std::min(z.left, z.right);
    p.nTop = std::min(z.top, z.bottom);
    p.nWidth = std::llabs(qint64(z.right) - z.left);
    p.nHeight = std::llabs(qint64(z.bottom) - z.top);
    p.bMirrorX = z.right < z.left;
    p.bMirrorY = z.bottom < z.top;
    return p;
}

void MirrorAboutBody(QPainter& painter, const SPicturePlacement& p) {
    if (!p.bMirrorX && !p.bMirrorY) {
        return;
    }
    painter.translate(p.bMirrorX ? double(2 * p.nLeft + p.nWidth) : 0.0,
                      p.bMirrorY ? double(2 * p.nTop + p.nHeight) : 0.0);
    painter.scale(p.bMirrorX ? -1.0 : 1.0, p.bMirrorY ? -1.0 : 1.0);
}

} // namespace render
