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

CPoint Difference(CPoint a, CPoint b) {
    return CPoint{WrapSub(a.x, b.x), WrapSub(a.y, b.y)};
}

CRect Offset(CRect r, CPoint d) {
    return CRect{WrapAdd(r.left, d.x), WrapAdd(r.top, d.y), WrapAdd(r.right, d.x),
                 WrapAdd(r.bottom, d.y)};
}

// Moves the two edges that meet at a corner by d (the frame while a corner is dragged).
void MoveCorner(CRect& r, int corner, CPoint d) {
    const bool top = corner == HANDLE_TOP_RIGHT || corner == HANDLE_TOP_LEFT;
    const bool right = corner == HANDLE_TOP_RIGHT || corner == HANDLE_BOTTOM_RIGHT;
    (top ? r.top : r.bottom) = WrapAdd(top ? r.top : r.bottom, d.y);
    (right ? r.right : r.left) = WrapAdd(right ? r.right : r.left, d.x);
}

// Puts a corner on a point (the drop of a corner drag).
void PutCorner(CRect& r, int corner, CPoint p) {
    const bool top = corner == HANDLE_TOP_RIGHT || corner == HANDLE_TOP_LEFT;
    const bool right = corner == HANDLE_TOP_RIGHT || corner == HANDLE_BOTTOM_RIGHT;
    (top ? r.top : r.bottom) = p.y;
    (right ? r.right : r.left) = p.x;
}

CRect Ordered(CRect r) {
    if (r.left > r.right) {
        std::swap(r.left, r.right);
    }
    if (r.top > r.bottom) {
        std::swap(r.top, r.bottom);
    }
    return r;
}

// The area of the window a frame covers.
QRect FrameArea(const CRect& r) {
    const CRect o = Ordered(r);
    return QRect(QPoint(o.left, o.top), QPoint(o.right, o.bottom));
}

bool SameGeometry(const CFuki& a, const CFuki& b) {
    return a.m_rcBody == b.m_rcBody && a.m_ptTail == b.m_ptTail &&
           a.m_nTailBase1 == b.m_nTailBase1 && a.m_nTailBase2 == b.m_nTailBase2;
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
    for (int position = 1; position <= kFukiSlots; ++position) {
        const int slot = panel.FindFuki(position);
        if (slot >= 0 && panel.m_fuki[static_cast<std::size_t>(slot)]
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
    return doc->m_panel.m_fuki[static_cast<std::size_t>(m_nSelected)].IsInUse() ? m_nSelected : -1;
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

CRect CVelmoView::TrackRectAt(CPoint point) const {
    const CVelmoDoc* doc = GetDocument();
    const CPanel& panel = doc->m_panel;
    // Measured from the press, not from the last move, so the frame never drifts.
    const CPoint d = Difference(point, m_ptPress);
    const CFuki* balloon = m_nSelected >= 0 && m_nSelected < kFukiSlots
                               ? &panel.m_fuki[static_cast<std::size_t>(m_nSelected)]
                               : nullptr;
    if (!balloon && m_nDragMode != DRAG_MOVE_PICTURE && m_nDragMode != DRAG_SIZE_PICTURE) {
        return m_rcTrack;
    }
    CRect r;
    switch (m_nDragMode) {
    case DRAG_MOVE_FUKI:
        r = Offset(balloon->GetZoomedRect(m_nZoom, 0, 0), d);
        break;
    case DRAG_SIZE_FUKI:
        r = balloon->GetZoomedRect(m_nZoom, 0, 0);
        MoveCorner(r, m_nHandle, d);
        break;
    case DRAG_TAIL:
        r = Offset(balloon->GetHandleRect(m_nZoom, HANDLE_TAIL), d);
        break;
    case DRAG_MOVE_PICTURE:
        r = Offset(panel.m_image.GetZoomedRect(m_nZoom, 0, 0), d);
        break;
    case DRAG_SIZE_PICTURE:
        r = panel.m_image.GetZoomedRect(m_nZoom, 0, 0);
        MoveCorner(r, m_nHandle, d);
        panel.m_image.FitToAspect(r, m_nHandle);
        break;
    default:
        return m_rcTrack;
    }
    r = ViewToClient(r);
    if (m_nDragMode == DRAG_SIZE_FUKI || m_nDragMode == DRAG_SIZE_PICTURE) {
        r = Ordered(r);
    }
    return r;
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
    const int mode = m_nDragMode;
    m_nDragMode = DRAG_NONE;
    viewport()->releaseMouse();
    CVelmoDoc* doc = GetDocument();
    // A release where the press was moves nothing: no history step, nothing modified.
    const CPoint point = EventPoint(event);
    if (doc && !(point == m_ptPress) && ApplyDrag(mode, point)) {
        doc->RecordChange(true, false);
    }
    // The whole window is painted again, which also wipes the frame.
    InvalidateView();
}

bool CVelmoView::ApplyDrag(int mode, CPoint point) {
    CPanel& panel = GetDocument()->m_panel;
    CPoint d = Difference(point, m_ptPress);
    CPoint p = point;
    CLayerItem::UnzoomPoint(m_nZoom, d);
    CLayerItem::UnzoomPoint(m_nZoom, p);

    if (mode == DRAG_MOVE_PICTURE || mode == DRAG_SIZE_PICTURE) {
        CPanelImage& image = panel.m_image;
        const CRect before = image.m_rcBody;
        if (mode == DRAG_MOVE_PICTURE) {
            image.m_rcBody = Offset(image.m_rcBody, d);
        } else {
            CRect r = image.m_rcBody;
            PutCorner(r, m_nHandle, p);
            image.FitToAspect(r, m_nHandle);
            image.m_rcBody = r;
            image.NormalizeRect();
        }
        return !(image.m_rcBody == before);
    }

    if (m_nSelected < 0 || m_nSelected >= kFukiSlots) {
        return false;
    }
    CFuki& balloon = panel.m_fuki[static_cast<std::size_t>(m_nSelected)];
    const CFuki before = balloon;
    switch (mode) {
    case DRAG_MOVE_FUKI:
        // The tail tip stays on the spot of the panel it points at.
        balloon.m_rcBody = Offset(balloon.m_rcBody, d);
        break;
    case DRAG_SIZE_FUKI:
        PutCorner(balloon.m_rcBody, m_nHandle, p);
        balloon.Normalize();
        break;
    case DRAG_TAIL:
        balloon.m_ptTail = p;
        break;
    default:
        break;
    }
    return !SameGeometry(balloon, before);
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
