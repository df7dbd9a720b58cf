// The panel view from the keyboard: Tab and Shift+Tab walk the selection through the balloons
// in display order and then the picture; the arrow keys move the selection by one panel pixel
// (ten with Shift) and with Alt move its bottom-right corner; the Menu key and Shift+F10 open
// the selection's context menu at its place. With nothing selected the arrows scroll as before.
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>
#include <utility>
#include <vector>

#include "ContextMenus.h"
#include "VelmoView.h"
#include "framework/CommandRouter.h"
#include "model/KeyboardEdits.h"
#include "model/VelmoDoc.h"

namespace {

constexpr int kStep = 1;
constexpr int kShiftStep = 10;

// The layers Tab walks through: the balloons by display position (backmost first), then the
// picture when there is one.
std::vector<int> TabOrder(const CPanel& panel) {
    std::vector<int> order;
    for (int position = 1; position <= kFukiSlots; ++position) {
        const int slot = panel.FindFuki(position);
        if (slot >= 0 && slot < kFukiSlots) {
            order.push_back(slot);
        }
    }
    if (panel.m_image.HasPicture()) {
        order.push_back(CVelmoView::SEL_PICTURE);
    }
    return order;
}

bool IsArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

CPoint ArrowDelta(int key, int step) {
    switch (key) {
    case Qt::Key_Left:
        return CPoint{-step, 0};
    case Qt::Key_Right:
        return CPoint{step, 0};
    case Qt::Key_Up:
        return CPoint{0, -step};
    default:
        return CPoint{0, step};
    }
}

} // namespace

bool CVelmoView::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab stay in the view: they move the selection.
    CycleSelection(next);
    return true;
}

void CVelmoView::CycleSelection(bool forward) {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return;
    }
    const std::vector<int> order = TabOrder(doc->m_panel);
    if (order.empty()) {
        return;
    }
    CancelDrag();
    const auto at = std::find(order.begin(), order.end(), m_nSelected);
    const int count = static_cast<int>(order.size());
    int index = 0;
    if (at == order.end()) {
        index = forward ? 0 : count - 1;
    } else {
        index = (static_cast<int>(at - order.begin()) + (forward ? 1 : count - 1)) % count;
    }
    m_nSelected = order[static_cast<std::size_t>(index)];
    ScrollToSelection();
    InvalidateView();
}

CRect CVelmoView::SelectionRect() const {
    const CVelmoDoc* doc = GetDocument();
    if (!doc) {
        return CRect{};
    }
    if (m_nSelected == SEL_PICTURE && doc->m_panel.m_image.HasPicture()) {
        return doc->m_panel.m_image.GetZoomedRect(m_nZoom, 0, 0);
    }
    const int slot = GetSelectedFuki();
    if (slot >= 0) {
        return doc->m_panel.m_fuki[static_cast<std::size_t>(slot)].GetZoomedRect(m_nZoom, 0, 0);
    }
    return CRect{};
}

void CVelmoView::ScrollToSelection() {
    const CRect r = SelectionRect();
    if (r.IsEmpty()) {
        return;
    }
    // The selection's top-left corner is brought into the window when it lies outside.
    const QPoint scroll = GetScrollPosition();
    const QSize client = viewport()->size();
    if (r.left < scroll.x() || r.left >= scroll.x() + client.width()) {
        horizontalScrollBar()->setValue(r.left);
    }
    if (r.top < scroll.y() || r.top >= scroll.y() + client.height()) {
        verticalScrollBar()->setValue(r.top);
    }
}

bool CVelmoView::HandleKeyboardEdit(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::AltModifier | Qt::ControlModifier);
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
        m_bKeyMenuShown = true;
        OpenSelectionContextMenu();
        return true;
    }
    m_bKeyMenuShown = false;
    if (!IsArrow(key) || mods.testFlag(Qt::ControlModifier)) {
        return false;
    }
    CVelmoDoc* doc = GetDocument();
    int target = -1;
    if (m_nSelected == SEL_PICTURE && doc && doc->m_panel.m_image.HasPicture()) {
        target = kNudgePicture;
    } else {
        target = GetSelectedFuki();
    }
    if (!doc || target < 0) {
        return false; // nothing selected: the arrows scroll
    }
    CancelDrag();
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    const bool alt = mods.testFlag(Qt::AltModifier);
    const SNudge nudge{target, ArrowDelta(key, shift ? kShiftStep : kStep), alt};
    // One run of presses is one step only for the same key, modifiers and layer.
    const int runKey =
        (target + 1) * 0x100 + (key - Qt::Key_Left) * 4 + (shift ? 1 : 0) + (alt ? 2 : 0);
    if (doc->Nudge(nudge, runKey, static_cast<std::int64_t>(event->timestamp()))) {
        InvalidateView();
    }
    return true;
}

void CVelmoView::OpenSelectionContextMenu() {
    CancelDrag();
    ValidateSelection();
    // At the middle of the selection as the window shows it, kept inside the window; with
    // nothing selected, at the middle of the window.
    const QRect client(QPoint(0, 0), viewport()->size());
    QPoint at = client.center();
    const CRect r = SelectionRect();
    if (!r.IsEmpty()) {
        const CRect shown = ViewToClient(r);
        at =
            QPoint(std::clamp((shown.left + shown.right) / 2, 0, std::max(0, client.width() - 1)),
                   std::clamp((shown.top + shown.bottom) / 2, 0, std::max(0, client.height() - 1)));
    }
    ShowContextMenu(viewport()->mapToGlobal(at));
}

void CVelmoView::ShowContextMenu(QPoint globalPos) {
    int menuId = res::IDR_POPUP_FUKI;
    if (m_nSelected == SEL_NONE) {
        menuId = res::IDR_POPUP_PANEL;
    } else if (m_nSelected == SEL_PICTURE) {
        menuId = res::IDR_POPUP_PICTURE;
    }
    QMenu menu(this);
    FillContextMenu(menu, menuId);
    const QAction* chosen = menu.exec(globalPos);
    // Whether or not a command was chosen, the view shows the selection.
    InvalidateView();
    if (chosen) {
        Execute(fw::CCommandRouter::IdOf(chosen));
    }
}

void CVelmoView::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse's context menu belongs to the right press, and a menu the keys opened already
    // is not opened twice; a keyboard request of the window system opens it here.
    event->accept();
    if (event->reason() == QContextMenuEvent::Keyboard && !std::exchange(m_bKeyMenuShown, false)) {
        OpenSelectionContextMenu();
    }
}
