#pragma once
// The player's screen-sized canvas: each layer of a show is drawn onto it over what the earlier
// layers left, and the window only shows the canvas.
#include <QImage>
#include <QRect>
#include <QSize>

class CPlayback;
struct CShowLayer;

// A canvas of the screen's size in device pixels, black until the first layer.
QImage MakeScreenCanvas(QSize size);
// Draws one layer of the player's current panel at its zoom and offsets: the background over
// the whole canvas, the picture layer (nothing without a picture), or one balloon, never
// selected.
void DrawShowLayer(QImage& canvas, const CPlayback& playback, const CShowLayer& layer);
// The canvas pixels drawing that layer can change (or a little more): the whole canvas for the
// background, the picture's zoomed body, the balloon's painted bounds; empty for nothing drawn.
QRect ShowLayerBounds(const QImage& canvas, const CPlayback& playback, const CShowLayer& layer);
