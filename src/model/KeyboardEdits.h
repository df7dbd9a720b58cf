#pragma once
// The editor's keyboard edits of the selected layer: the arrow keys move it by whole panel
// pixels, and with Alt move its bottom-right corner. Presses of one key in a row make one
// history step (RepeatedStep.h).
#include <cstdint>

#include "Panel.h"

class CVelmoDoc;

// What a press asks for: the layer (a balloon slot 0..9, or kNudgePicture), the distance in
// panel pixels, and whether the bottom-right corner moves instead of the whole layer.
constexpr int kNudgePicture = 100;
struct SNudge {
    int nTarget = -1;
    CPoint ptDelta;
    bool bResize = false;
};

// Applies a nudge to a panel: a balloon's body moves and its tail tip stays on the spot it
// points at (as a drag with the mouse leaves it); a corner moved across the opposite one
// orders the edges again; the picture keeps its proportions. False (the panel untouched) for a
// free slot, a missing picture, or a nudge that changes nothing.
bool ApplyNudge(CPanel& panel, const SNudge& nudge);
