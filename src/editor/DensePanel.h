#pragma once
// The panel as the view shows it on a screen of any density. The shared renderer draws it in
// device pixels at the zoom times the device pixel ratio, so pictures, curves and text are as
// sharp as an export at that zoom; what is measured in screen pixels rather than panel pixels
// (the balloons' border thickness, the grab squares) is widened by the ratio, so that it looks
// the same as on a screen of ratio 1.
#include <QRect>
#include <QtGlobal>
#include <vector>

class CPanel;
class QPainter;

// The zoom of the device-pixel drawing: the view's zoom times the ratio, rounded.
int DeviceZoom(int zoom, qreal ratio);
// A coordinate of the view (logical pixels) in device pixels.
int ToDevicePixels(int logical, qreal ratio);
// Draws the panel with the selection marked, in device pixels, onto a painter whose unit is one
// device pixel. At ratio 1 this is the renderer's own drawing, unchanged.
void DrawDensePanel(QPainter& painter, const CPanel& panel, int zoom, int selected, qreal ratio);
// What DrawDensePanel draws over the picture layer (the panel's background and its picture):
// the picture's grab squares when it is selected, the balloons by display position and the
// selected balloon's squares, in the same order, so that over a kept picture layer the result is
// the whole drawing.
void DrawDenseOverPicture(QPainter& painter, const CPanel& panel, int zoom, int selected,
                          qreal ratio);
// The grab squares DrawDensePanel fills black for the selection (device pixels of the panel at
// the device zoom), each cut to bounds; none when nothing with squares is selected.
std::vector<QRect> DenseMarkSquares(const CPanel& panel, int zoom, int selected, qreal ratio,
                                    const QRect& bounds);
