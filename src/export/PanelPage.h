#pragma once
// A panel on a printed or PDF page: at its on-screen physical size (one view pixel at zoom 100
// is 1/96 inch) when it fits the printable area, otherwise scaled down with its aspect kept;
// centred. The whole panel, balloon text included, goes through one transform, so the text
// keeps its place in its balloon exactly as on screen.
#include <QRectF>

class QPainter;
class QPagedPaintDevice;
class CPanel;

namespace exporting {

// The resolution pages are laid out in: the editor screen's, so that a balloon's text has the
// size it has in the view relative to its balloon.
constexpr int kPageDpi = 96;
// Pictures on a printed page are drawn at this many dots per inch of the page.
constexpr int kPrintPictureDpi = 300;

// Where a panel of width x height view pixels lands in an area of areaWidth x areaHeight
// (both at 96 dpi): the size at zoom 100 when it fits, else scaled down; centred.
QRectF FitPanelOnPage(double width, double height, double areaWidth, double areaHeight);

// The zoom DrawPanelOnPage draws the panel at in that area (0 when it draws nothing).
int PanelPageZoom(const CPanel& panel, const QRectF& area, int pictureDpi);

// Draws the panel with nothing selected into the page area (device pixels of a device at
// kPageDpi), with its picture at pictureDpi dots per inch of the page.
void DrawPanelOnPage(QPainter& painter, const CPanel& panel, const QRectF& area, int pictureDpi);

// Prepares a printer or PDF writer for DrawPanelOnPage: sets kPageDpi; the caller passes the
// device's own setResolution, as QPagedPaintDevice has none.
template <class TDevice> void UsePageDpi(TDevice& device) {
    device.setResolution(kPageDpi);
}

// One page holding the panel, fitted into the device's printable area. The device must be at
// kPageDpi (UsePageDpi). False when no painter could be opened on it.
bool PaintPanelPage(QPagedPaintDevice& device, const CPanel& panel, int pictureDpi);

} // namespace exporting
