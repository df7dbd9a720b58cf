#pragma once
// Area-averaging reduction of a picture: the quality the picture layer is drawn in at every
// size below the picture's own.
#include <QImage>
#include <QSize>

namespace render {

// The picture in one of the two formats drawing works on: 32-bit opaque, or premultiplied
// 32-bit when the source has an alpha channel.
QImage ToDrawingFormat(const QImage& image);

// Each pixel the mean of a 2 x 2 block (an odd last row or column is left out).
QImage HalveImage(const QImage& image);

// The picture reduced to exactly `size` (each side at most the source's) by area averaging:
// halved while both sides stay at least twice the target, then averaged over the remaining
// fractional footprint.
QImage AreaAverageScaled(const QImage& image, QSize size);

} // namespace render
