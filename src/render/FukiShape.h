#pragma once
// The outline of a balloon as regions of device pixels: a rounded body and a tail triangle,
// united and framed. Regions are built row by row and only within given bounds, so that the
// cost follows what can be seen, never the values stored in a file.
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <functional>

namespace render {

// The rectangle with these edges (put in order when inverted), its corners rounded by an ellipse
// of width cw and height ch (signs ignored, at most the rectangle's own size). A pixel belongs
// to it when its centre lies inside.
QRegion RoundRectRegion(qint64 left, qint64 top, qint64 right, qint64 bottom, qint64 cw, qint64 ch,
                        const QRect& bounds);

// The pixels whose centres lie inside the triangle; empty when the three points are collinear.
QRegion TriangleRegion(QPoint a, QPoint b, QPoint c, const QRect& bounds);

// The border of a region drawn with vertical strokes w pixels wide and horizontal strokes h
// pixels high: the region less its erosion by the region shifted w left and right and h up and
// down. The whole shape is framed at once, so no stroke runs between parts that touch.
QRegion FrameRegion(const QRegion& region, int w, int h);

// A shape's fill and frame (as FrameRegion) within visible, from shape(bounds), which gives
// the shape's part within bounds. The erosion needs the shape only around four copies of
// visible shifted by the strokes, so a stroke of any width costs five visible areas, never the
// band of its width around them.
struct SFramedShape {
    QRegion fill;
    QRegion frame;
};
SFramedShape FramedShapeWithin(const std::function<QRegion(const QRect&)>& shape,
                               const QRect& visible, int w, int h);

} // namespace render
