#pragma once
// The geometry of the editor's direct changes to one layer, and of a mouse drag: the drag's
// result is computed here once, for the panel operation that applies it and for the frame the
// view shows while it is under way, so the two can never disagree.
#include "Panel.h"

// Moves a balloon's body; the tail tip stays on the spot of the panel it points at.
void MoveFukiBody(CFuki& fuki, CPoint delta);
// Puts a corner (1..4) of a balloon's body on a point and orders its edges and tail bases.
void ResizeFukiBody(CFuki& fuki, int handle, CPoint to);
void MovePictureBody(CPanelImage& image, CPoint delta);
// Puts a corner (1..4) of the picture on a point, keeping the picture's proportions and the
// opposite corner, and orders the edges.
void ResizePictureBody(CPanelImage& image, int handle, CPoint to);

enum EDragMode : int {
    DRAG_NONE = 0,
    DRAG_MOVE_FUKI = 1,
    DRAG_SIZE_FUKI = 2,
    DRAG_TAIL = 3,
    DRAG_MOVE_PICTURE = 4,
    DRAG_SIZE_PICTURE = 5,
};

// A drag as the view started it: what is dragged, by which handle, from which point of the
// zoomed panel (view coordinates without the scroll offset), at which zoom.
struct CDrag {
    int m_nMode = DRAG_NONE;
    int m_nSlot = -1; // the balloon of a balloon drag
    int m_nHandle = HANDLE_NONE;
    CPoint m_ptStart;
    int m_nZoom = 100;
};

// Applies a drag with the pointer at a zoomed point to a panel. The distance is measured from
// the start and taken back to panel pixels, truncated toward zero; a corner or the tail tip goes
// to the pointer's panel pixel. The pointer still on the start point changes nothing. False when
// the panel did not change (also for a drag of a free slot or a missing picture).
bool ApplyDragTo(CPanel& panel, const CDrag& drag, CPoint current);
// The frame shown with the pointer at a zoomed point: the dragged body as ApplyDragTo would leave
// it, zoomed (for the tail, the square around its zoomed tip). Without offset or scroll.
CRect DragFrame(const CPanel& panel, const CDrag& drag, CPoint current);
