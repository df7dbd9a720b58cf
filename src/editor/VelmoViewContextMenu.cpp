// The right button of the panel view: select what lies under the pointer and show the context
// menu for it (VelmoViewKeyboard.cpp shows it). The chosen command is carried out by the view
// itself once the menu has closed.
#include <QContextMenuEvent>
#include <QMenu>

#include "ContextMenus.h"
#include "VelmoView.h"
#include "framework/CommandRouter.h"

namespace {

// Items become actions carrying their id; an item is enabled exactly where the view handles
// its id, so the items no one handles ("詳細設定...", "フォント...", "フォントサイズ...")
// stay disabled.
void AddItems(QMenu& menu, const std::vector<fw::MenuItem>& items, const fw::CCmdTarget& view) {
    for (const fw::MenuItem& item : items) {
        switch (item.kind) {
        case fw::MenuItem::Separator:
            menu.addSeparator();
            break;
        case fw::MenuItem::Popup:
            AddItems(*menu.addMenu(item.text), item.children, view);
            break;
        case fw::MenuItem::Command: {
            QAction* action = menu.addAction(item.text);
            action->setData(item.id);
            action->setEnabled(view.HasHandler(item.id));
            break;
        }
        }
    }
}

} // namespace

void CVelmoView::FillContextMenu(QMenu& menu, int menuId) const {
    const fw::MenuResource resource = res::ContextMenu(menuId);
    if (resource.empty()) {
        return;
    }
    // The menu is the resource's first popup.
    menu.setTitle(resource.front().text);
    AddItems(menu, resource.front().children, *this);
}

void CVelmoView::OnRightPress(CPoint point, QPoint globalPos) {
    // A right press on empty space clears the selection. The drag state is left alone.
    m_nSelected = HitTestBody(point);
    ShowContextMenu(globalPos);
}
