#pragma once
// Menus built from tables of (id, text), so that ids and texts stay exactly as the resource
// gives them. Every command item becomes an action bound to the command router, with the
// prompt of its id as status tip.
#include <vector>

#include <QString>

class QMenu;
class QWidget;

namespace fw {

class CCommandRouter;
class CStringTable;

struct MenuItem {
    enum EKind { Command, Separator, Popup };
    EKind kind = Command;
    int id = 0;
    QString text;
    std::vector<MenuItem> children;
};

inline MenuItem MenuCommand(int id, const QString& text) {
    return MenuItem{MenuItem::Command, id, text, {}};
}
inline MenuItem MenuSeparator() {
    return MenuItem{MenuItem::Separator, 0, {}, {}};
}
inline MenuItem MenuPopup(const QString& text, std::vector<MenuItem> children) {
    return MenuItem{MenuItem::Popup, 0, text, std::move(children)};
}

// A menu bar resource: its top-level popups in order.
using MenuResource = std::vector<MenuItem>;

// Fills menu with the items; nested popups become submenus owned by menu.
void BuildMenu(QMenu* menu, const std::vector<MenuItem>& items, CCommandRouter& router,
               const CStringTable& strings);
// Makes the top-level popups of a menu bar resource, each a QMenu owned by parent.
std::vector<QMenu*> BuildMenuBar(QWidget* parent, const MenuResource& resource,
                                 CCommandRouter& router, const CStringTable& strings);

} // namespace fw
