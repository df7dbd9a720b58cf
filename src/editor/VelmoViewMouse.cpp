// Direct manipulation in the panel view. A left press grabs a square of the current selection
// or picks the object under the pointer and starts a drag; while the pointer moves only a
// 1-pixel inverting frame is drawn over the painted panel; the release applies the drag to the
// panel once and records it. The view holds the mouse for the whole drag, so a release outside
// the window still ends it.
#include <QMouseEvent>

#include "VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

namespace {

// The area of the window a frame covers.
QRect FrameArea(const CRect& r) {
    const CRect o = NormalizedRect(r);
    return QRect(QPoint(o.left, o.top), QPoint(o.right, o.bottom));
}

} // namespace

int CVelmoView::HitTestBody(CPoint point) const {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return SEL_NONE;
    }
    const CPanel& panel = doc->m_panel;
    // Only bodies count; the last match, the front-most, wins.
    int result = SEL_NONE;
    if (panel.m_image.HasPicture() && panel.m_image.GetZoomedRect(m_nZoom, 0, 0).Contains(point)) {
        result = SEL_PICTURE;
    }
    for (int slot : FukiInDisplayOrder(panel)) {
        if (panel.m_fuki[static_cast<std::size_t>(slot)]
                .GetZoomedRect(m_nZoom, 0, 0)
                .Contains(point)) {
            result = slot;
        }
    }
    return result;
}

int CVelmoView::GetSelectedFuki() const {
    const CVelmoDoc* doc = GetDocument();
    if (!doc || m_nSelected < 0 || m_nSelected >= kFukiSlots) {
        return -1;
    }
    return doc->GetFuki(m_nSelected) ? m_nSelected : -1;
}

void CVelmoView::ValidateSelection() {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    if (m_nSelected == SEL_PICTURE ? !doc->m_panel.m_image.HasPicture()
                                   : m_nSelected != SEL_NONE && GetSelectedFuki() < 0) {
        m_nSelected = SEL_NONE;
    }
}

void CVelmoView::CancelDrag() {
    if (m_nDragMode == DRAG_NONE) {
        return;
    }
    m_nDragMode = DRAG_NONE;
    viewport()->releaseMouse();
    // Wipes the frame; the panel itself is painted from the cached image.
    viewport()->update(FrameArea(m_rcTrack));
}

CPoint CVelmoView::EventPoint(const QMouseEvent* event) const {
    const QPoint view = ClientToView(event->position().toPoint());
    return CPoint{view.x(), view.y()};
}

void CVelmoView::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton) {
        OnLeftPress(EventPoint(event));
    } else if (event->button() == Qt::RightButton) {
        OnRightPress(EventPoint(event), event->globalPosition().toPoint());
    }
}

void CVelmoView::OnLeftPress(CPoint point) {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    const CPanel& panel = doc->m_panel;
    // A drag a second press interrupts (another button held) is dropped, never applied twice.
    CancelDrag();

    // The grab squares of the current selection are tried first; they leave the selection.
    int mode = DRAG_NONE;
    CRect track;
    const int fuki = GetSelectedFuki();
    if (fuki >= 0) {
        const CFuki& balloon = panel.m_fuki[static_cast<std::size_t>(fuki)];
        m_nHandle = balloon.HitTestHandle(m_nZoom, point);
        if (m_nHandle != HANDLE_NONE) {
            mode = m_nHandle == HANDLE_TAIL ? DRAG_TAIL : DRAG_SIZE_FUKI;
            // The grabbed square until the pointer moves.
            track = balloon.GetHandleRect(m_nZoom, m_nHandle);
        }
    } else if (m_nSelected == SEL_PICTURE && panel.m_image.HasPicture()) {
        m_nHandle = panel.m_image.HitTestCorner(m_nZoom, point);
        if (m_nHandle != HANDLE_NONE) {
            mode = DRAG_SIZE_PICTURE;
            track = panel.m_image.GetZoomedRect(m_nZoom, 0, 0);
        }
    }
    if (mode == DRAG_NONE) {
        const int hit = HitTestBody(point);
        if (hit == SEL_PICTURE) {
            m_nSelected = hit;
            mode = DRAG_MOVE_PICTURE;
            track = panel.m_image.GetZoomedRect(m_nZoom, 0, 0);
        } else if (hit != SEL_NONE) {
            m_nSelected = hit;
            mode = DRAG_MOVE_FUKI;
            track = panel.m_fuki[static_cast<std::size_t>(hit)].GetZoomedRect(m_nZoom, 0, 0);
        }
    }
    if (mode == DRAG_NONE) {
        m_nSelected = SEL_NONE;
        InvalidateView();
        return;
    }
    m_ptPress = point;
    m_nDragMode = mode;
    m_rcTrack = ViewToClient(track);
    viewport()->grabMouse();
    // Only the frame is drawn; the panel is not painted again until the release.
    viewport()->update(FrameArea(m_rcTrack));
}

CDrag CVelmoView::CurrentDrag() const {
    return CDrag{m_nDragMode, m_nSelected, m_nHandle, m_ptPress, m_nZoom};
}

CRect CVelmoView::TrackRectAt(CPoint point) const {
    // Measured from the press, not from the last move, so the frame never drifts; the frame is
    // where the release would put the body.
    return ViewToClient(DragFrame(GetDocument()->m_panel, CurrentDrag(), point));
}

void CVelmoView::MoveTrack(const CRect& rect) {
    // The old frame is wiped from the cached panel image and the new one drawn over it.
    viewport()->update(FrameArea(m_rcTrack));
    m_rcTrack = rect;
    viewport()->update(FrameArea(m_rcTrack));
}

void CVelmoView::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (m_nDragMode == DRAG_NONE || !GetDocument()) {
        return;
    }
    MoveTrack(TrackRectAt(EventPoint(event)));
}

void CVelmoView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || m_nDragMode == DRAG_NONE) {
        return;
    }
    const CDrag drag = CurrentDrag();
    m_nDragMode = DRAG_NONE;
    viewport()->releaseMouse();
    // A release where the press was moves nothing: no history step, nothing modified.
    if (CVelmoDoc* doc = GetDocument()) {
        doc->ApplyDrag(drag, EventPoint(event));
    }
    // The whole window is painted again, which also wipes the frame.
    InvalidateView();
}

void CVelmoView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton) {
        return;
    }
    // The second press of the double click may have started a drag; the detail settings take
    // over instead.
    CancelDrag();
    m_nSelected = HitTestBody(EventPoint(event));
    InvalidateView();
    if (GetSelectedFuki() >= 0) {
        Execute(cmd::ID_FUKI_PROPERTIES);
    }
}
