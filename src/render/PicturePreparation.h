#pragma once
// Getting a picture layer ready to be drawn at a zoom without drawing it: the player calls this
// on a worker thread for the next layer, so that the user-interface thread's paint only blits.
class CPanelImage;
class QPainter;

namespace render {

// Decodes the step the picture needs at this zoom and builds its area-averaged picture for the
// zoomed size. Safe on any thread, provided no other thread changes the layer meanwhile.
// False when the layer's picture does not decode: a picture opened under a
// CDeferredPictureCheck whose first decode (this one) failed. The caller then treats the layer
// as one whose picture could not be read.
bool PreparePicture(const CPanelImage& image, int zoom);

// The picture layer as DrawPicture (not selected) places it, from the pixels already decoded
// (at least the coarsest step, decoded when the picture was opened) enlarged, never decoding:
// what the player shows while the sharp picture is still being prepared.
void DrawPictureFromHeld(QPainter& painter, const CPanelImage& image, int zoom, int dx, int dy);

// True when the layer's picture is drawn at this zoom from fewer pixels than the zoom needs,
// enlarged: a picture too large to decode whole at that size.
bool PictureShownReduced(const CPanelImage& image, int zoom);

} // namespace render
