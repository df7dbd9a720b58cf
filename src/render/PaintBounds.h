#pragma once
// The part of a painter's logical space that can show anything: shapes and pictures are
// worked out only there, so values from a hostile file (huge bodies, corners, zooms) never make
// drawing walk billions of rows.
#include <QRect>

class QPainter;

namespace render {

// The device area (for images, pixmaps and windows) mapped back through the painter's
// transform, narrowed by its clip; for other devices (printers, recordings) a wide fixed area.
QRect VisibleBounds(const QPainter& painter);

// The part of the rectangle with these edges (right and bottom exclusive, computed wide) that
// lies within bounds; empty when the edges are inverted or nothing is within.
QRect IntersectEdges(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect& bounds);

// A grab square (10 x 10 about a zoomed point, its edges possibly wrapped at the ends of the
// 32-bit range) as the part of it within bounds.
QRect HandleSquareWithin(int left, int top, const QRect& bounds);

} // namespace render
