#pragma once
// Bounds on values from files before the drawing layer computes with them. Every coordinate,
// size and stroke is taken wide (64 bits) and clamped to a range in which no later sum,
// difference or product can overflow; the ranges lie far beyond anything a device shows, so
// clamping changes nothing that can be seen.
#include <QtGlobal>
#include <algorithm>

namespace render {

// Coordinates handed to the region builders: sums and differences of two stay far inside 64
// bits, and a pixel row or column within any device lies well inside.
constexpr qint64 kMaxCoordinate = qint64(1) << 40;
// A stroke wider than any visible area frames the whole shape already.
constexpr qint64 kMaxStroke = qint64(1) << 20;
// Text is laid out at most this wide: wider than any device, and inside the text engine's own
// fixed-point range.
constexpr qint64 kMaxTextWidth = qint64(1) << 24;
// The largest character height drawn; a stored size cannot ask for more.
constexpr qint64 kMaxFontPixels = qint64(1) << 14;

constexpr qint64 ClampCoordinate(qint64 v) {
    return std::clamp(v, -kMaxCoordinate, kMaxCoordinate);
}

// |v| limited to max (which must be positive); defined for every v, the most negative too.
constexpr qint64 ClampMagnitude(qint64 v, qint64 max) {
    return v < 0 ? (v < -max ? max : -v) : std::min(v, max);
}

// The width of a text rectangle from its stored edges: 0 when inverted, at most kMaxTextWidth.
constexpr qint64 TextLineWidth(qint64 left, qint64 right) {
    return std::clamp<qint64>(right - left, 0, kMaxTextWidth);
}

// The character height in pixels for a stored size in tenths of a point, at a zoom in percent
// on a device of dpiY dots per inch: the size at the zoom truncated to tenths, then its height.
// Each factor is clamped first so that the products stay in 64 bits; 0 when below one pixel.
int FontPixelSize(qint64 tenths, qint64 zoom, qint64 dpiY);

} // namespace render
