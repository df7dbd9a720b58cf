#include "MenuTable.h"

#include <QAction>
#include <QMenu>

#include "CommandRouter.h"
#include "StringTable.h"

namespace fw {

void BuildMenu(QMenu* menu, const std::vector<MenuItem>& items, CCommandRouter& router,
               const CStringTable& strings) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItem::Separator:
            menu->addSeparator();
            break;
        case MenuItem::Popup: {
            QMenu* sub = menu->addMenu(item.text);
            BuildMenu(sub, item.children, router, strings);
            break;
        }
        case MenuItem::Command: {
            QAction* action = menu->addAction(item.text);
            action->setStatusTip(strings.Prompt(item.id));
            router.Bind(action, item.id);
            break;
        }
        }
    }
}

std::vector<QMenu*> BuildMenuBar(QWidget* parent, const MenuResource& resource,
                                 CCommandRouter& router, const CStringTable& strings) {
    std::vector<QMenu*> menus;
    for (const MenuItem& popup : resource) {
        auto* menu = new QMenu(popup.text, parent);
        BuildMenu(menu, popup.children, router, strings);
        menus.push_back(menu);
    }
    return menus;
}

} // namespace fw
