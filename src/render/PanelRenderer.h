#pragma once
// Drawing of a panel, its picture layer and one balloon onto any QPainter: the editor view,
// printing, the full-screen player and PNG export all draw through these functions.
#include <QRect>

class QPainter;
class QPaintDevice;
class CPanel;
class CPanelImage;
class CFuki;

namespace render {

// Selection values of the editor: -1 nothing, 0..9 a balloon slot, 100 the picture.
constexpr int kSelectNone = -1;
constexpr int kSelectPicture = 100;

// The picture stretched into its zoomed body moved by (dx, dy); corner squares when selected.
void DrawPicture(QPainter& painter, const CPanelImage& image, bool selected, int zoom, int dx,
                 int dy);
// One balloon: fill, frame, text, and its grab squares when selected.
void DrawFuki(QPainter& painter, const CFuki& fuki, bool selected, int zoom, int dx, int dy);
// The pixels DrawFuki (not selected, no transform) can change on the device, or a little more:
// the fill and frame exactly, the text with a margin of its font size.
QRect FukiPaintedBounds(const QPaintDevice& device, const CFuki& fuki, int zoom, int dx, int dy);
// Background over the zoomed overall rectangle, the picture, then balloons by display position.
void DrawPanel(QPainter& painter, const CPanel& panel, int zoom, int selected, int dx = 0,
               int dy = 0);

} // namespace render
