#pragma once
// The player's screen-sized canvas: each layer of a show is drawn onto it over what the earlier
// layers left, and the window only shows the canvas.
#include <QImage>
#include <QRect>
#include <QSize>

class CPanelImage;
class CPlayback;
class QPainter;
struct CShowLayer;

// A canvas of the screen's size in device pixels, black until the first layer.
QImage MakeScreenCanvas(QSize size);
// Draws one layer of the player's current panel at its zoom and offsets: the background over
// the whole canvas, the picture layer (nothing without a picture), or one balloon, never
// selected.
void DrawShowLayer(QImage& canvas, const CPlayback& playback, const CShowLayer& layer);
// Draws a picture layer on a screen, never selected. Where the step of the picture decoded for
// the size drawn is smaller than that size (a JPEG's half step standing in for the whole
// picture, or the finest step a picture too large to decode whole allows), the step is
// stretched smoothly straight onto the screen: no enlarged copy is made or kept. Otherwise it is
// drawn as everywhere else (render::DrawPicture: the area-averaged picture, or above the
// picture's own size the picture stretched).
void DrawScreenPicture(QPainter& painter, const CPanelImage& image, int zoom, int dx, int dy);
// Gets a picture layer ready to be drawn by DrawScreenPicture at this zoom (decoded, and
// area-averaged where it is drawn that way); safe on any thread. False when the picture does not
// decode (see render::PreparePicture).
bool PrepareScreenPicture(const CPanelImage& image, int zoom);
// The canvas pixels drawing that layer can change (or a little more): the whole canvas for the
// background, the picture's zoomed body, the balloon's painted bounds; empty for nothing drawn.
QRect ShowLayerBounds(const QImage& canvas, const CPlayback& playback, const CShowLayer& layer);
