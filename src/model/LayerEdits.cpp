#include "LayerEdits.h"

void MoveFukiBody(CFuki& fuki, CPoint delta) {
    fuki.m_rcBody = OffsetRect(fuki.m_rcBody, delta);
}

void ResizeFukiBody(CFuki& fuki, int handle, CPoint to) {
    fuki.m_rcBody = PutCorner(fuki.m_rcBody, handle, to);
    fuki.Normalize();
}

void MovePictureBody(CPanelImage& image, CPoint delta) {
    image.m_rcBody = OffsetRect(image.m_rcBody, delta);
}

void ResizePictureBody(CPanelImage& image, int handle, CPoint to) {
    CRect r = PutCorner(image.m_rcBody, handle, to);
    image.FitToAspect(r, handle);
    image.m_rcBody = NormalizedRect(r);
}

namespace {

bool IsCorner(int handle) {
    return handle >= HANDLE_TOP_RIGHT && handle <= HANDLE_BOTTOM_LEFT;
}

CFuki* DraggedFuki(CPanel& panel, const CDrag& drag) {
    if (drag.m_nSlot < 0 || drag.m_nSlot >= kFukiSlots) {
        return nullptr;
    }
    CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(drag.m_nSlot)];
    return fuki.IsInUse() ? &fuki : nullptr;
}

} // namespace

bool ApplyDragTo(CPanel& panel, const CDrag& drag, CPoint current) {
    if (current == drag.m_ptStart) {
        return false;
    }
    CPoint delta{WrapSub(current.x, drag.m_ptStart.x), WrapSub(current.y, drag.m_ptStart.y)};
    CPoint to = current;
    CLayerItem::UnzoomPoint(drag.m_nZoom, delta);
    CLayerItem::UnzoomPoint(drag.m_nZoom, to);

    if (drag.m_nMode == DRAG_MOVE_PICTURE || drag.m_nMode == DRAG_SIZE_PICTURE) {
        CPanelImage& image = panel.m_image;
        if (!image.HasPicture()) {
            return false;
        }
        const CRect before = image.m_rcBody;
        if (drag.m_nMode == DRAG_MOVE_PICTURE) {
            MovePictureBody(image, delta);
        } else if (IsCorner(drag.m_nHandle)) {
            ResizePictureBody(image, drag.m_nHandle, to);
        }
        return !(image.m_rcBody == before);
    }

    CFuki* fuki = DraggedFuki(panel, drag);
    if (!fuki) {
        return false;
    }
    const CFuki before = *fuki;
    switch (drag.m_nMode) {
    case DRAG_MOVE_FUKI:
        MoveFukiBody(*fuki, delta);
        break;
    case DRAG_SIZE_FUKI:
        if (IsCorner(drag.m_nHandle)) {
            ResizeFukiBody(*fuki, drag.m_nHandle, to);
        }
        break;
    case DRAG_TAIL:
        fuki->m_ptTail = to;
        break;
    default:
        break;
    }
    return !(*fuki == before);
}

CRect DragFrame(const CPanel& panel, const CDrag& drag, CPoint current) {
    // A copy keeps the decoded picture (its size fits the aspect); only the copy is changed.
    CPanel after = panel;
    ApplyDragTo(after, drag, current);
    switch (drag.m_nMode) {
    case DRAG_MOVE_PICTURE:
    case DRAG_SIZE_PICTURE:
        return after.m_image.GetZoomedRect(drag.m_nZoom, 0, 0);
    case DRAG_MOVE_FUKI:
    case DRAG_SIZE_FUKI:
    case DRAG_TAIL:
        if (const CFuki* fuki = DraggedFuki(after, drag)) {
            return drag.m_nMode == DRAG_TAIL ? fuki->GetTailHandleRect(drag.m_nZoom)
                                             : fuki->GetZoomedRect(drag.m_nZoom, 0, 0);
        }
        break;
    default:
        break;
    }
    return CRect{};
}
