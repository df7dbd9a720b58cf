// The main window's menu bars: one per menu resource, switched with the active document; the
// recent-file items in each File menu; the list of open windows in each Window menu.
#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "MainFrame.h"
#include "Resources.h"
#include "VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/MDIChildWnd.h"
#include "show/PlayerScreens.h"

namespace {

// Menu item texts of the recent-file list are at most this long.
constexpr int kRecentDisplayLength = 30;
// Property marking actions the menus add and remove themselves.
const char* const kDynamicItem = "velmoDynamicItem";

QAction* FindCommand(QMenu* menu, int id) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->property(kDynamicItem).toBool() && fw::CCommandRouter::IdOf(action) == id) {
            return action;
        }
    }
    return nullptr;
}

void RemoveDynamicItems(QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->property(kDynamicItem).toBool()) {
            menu->removeAction(action);
            action->deleteLater();
        }
    }
}

// The "表示する画面" submenu of a menu, or null.
QMenu* FindScreenMenu(QMenu* menu) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (action->menu() && FindCommand(action->menu(), cmd::ID_PLAYER_SCREEN_WINDOW)) {
            return action->menu();
        }
    }
    return nullptr;
}

// One item per screen present, named after it; the submenu only with more than one screen.
void UpdateScreenMenu(QMenu* screenMenu) {
    const QList<QScreen*> screens = ListedScreens();
    screenMenu->menuAction()->setVisible(screens.size() > 1);
    for (int id = cmd::ID_PLAYER_SCREEN_FIRST; id <= cmd::ID_PLAYER_SCREEN_LAST; ++id) {
        QAction* item = FindCommand(screenMenu, id);
        const int index = id - cmd::ID_PLAYER_SCREEN_FIRST;
        if (!item) {
            continue;
        }
        item->setVisible(index < screens.size());
        if (index < screens.size()) {
            item->setText(ScreenItemText(index, screens[index]));
        }
    }
}

} // namespace

const std::vector<QMenu*>& CMainFrame::MenusOf(int resourceId) {
    auto found = m_menus.find(resourceId);
    if (found == m_menus.end()) {
        std::vector<QMenu*> menus =
            fw::BuildMenuBar(this, res::Menu(resourceId), *m_pRouter, m_strings);
        for (QMenu* menu : menus) {
            if (FindCommand(menu, cmd::ID_FILE_MRU_FILE1)) {
                UpdateRecentFileMenu(menu);
            }
            if (FindCommand(menu, cmd::ID_WINDOW_CASCADE)) {
                connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateWindowList(menu); });
            }
            if (QMenu* screenMenu = FindScreenMenu(menu)) {
                UpdateScreenMenu(screenMenu);
                connect(menu, &QMenu::aboutToShow, this,
                        [screenMenu] { UpdateScreenMenu(screenMenu); });
            }
            connect(menu, &QMenu::aboutToShow, m_pRouter, &fw::CCommandRouter::UpdateActions);
        }
        found = m_menus.emplace(resourceId, std::move(menus)).first;
    }
    return found->second;
}

void CMainFrame::ShowMenu(int resourceId) {
    if (resourceId == m_nMenuId) {
        return;
    }
    const std::vector<QMenu*>& menus = MenusOf(resourceId);
    if (menus.empty()) {
        return;
    }
    menuBar()->clear();
    for (QMenu* menu : menus) {
        menuBar()->addMenu(menu);
    }
    m_nMenuId = resourceId;
}

void CMainFrame::UpdateRecentFileMenus() {
    for (auto& [id, menus] : m_menus) {
        for (QMenu* menu : menus) {
            if (FindCommand(menu, cmd::ID_FILE_MRU_FILE1)) {
                UpdateRecentFileMenu(menu);
            }
        }
    }
    m_pRouter->UpdateActions();
}

void CMainFrame::UpdateRecentFileMenu(QMenu* fileMenu) {
    // The item "最近使ったファイル" stands in for the list: shown (disabled) while the list is
    // empty, replaced by the entries otherwise.
    QAction* placeholder = FindCommand(fileMenu, cmd::ID_FILE_MRU_FILE1);
    RemoveDynamicItems(fileMenu);
    const fw::CRecentFileList& recent = m_app.DocManager().RecentFiles();
    placeholder->setVisible(recent.IsEmpty());
    const QString currentDir = QDir::currentPath();
    for (int i = 0; i < recent.GetSize(); ++i) {
        const QString text = QStringLiteral("&%1 %2").arg(i + 1).arg(
            fw::CRecentFileList::DisplayName(recent.At(i), currentDir, kRecentDisplayLength));
        auto* action = new QAction(text, fileMenu);
        action->setProperty(kDynamicItem, true);
        action->setStatusTip(m_strings.Prompt(cmd::ID_FILE_MRU_FILE1 + i));
        fileMenu->insertAction(placeholder, action);
        m_pRouter->Bind(action, cmd::ID_FILE_MRU_FILE1 + i);
    }
}

void CMainFrame::UpdateWindowList(QMenu* windowMenu) {
    // The open windows follow the fixed items, the active one checked, as in any
    // multiple-document program.
    RemoveDynamicItems(windowMenu);
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    if (windows.isEmpty()) {
        return;
    }
    QAction* separator = windowMenu->addSeparator();
    separator->setProperty(kDynamicItem, true);
    fw::CMDIChildWnd* active = ActiveFrame();
    int number = 1;
    for (QMdiSubWindow* window : windows) {
        QString title = window->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = windowMenu->addAction(QStringLiteral("&%1 %2").arg(number++).arg(title));
        action->setProperty(kDynamicItem, true);
        action->setCheckable(true);
        action->setChecked(window == active);
        connect(action, &QAction::triggered, this, [this, target = QPointer(window)] {
            if (auto* frame = qobject_cast<fw::CMDIChildWnd*>(target.data())) {
                ActivateFrame(frame);
            }
        });
    }
}

void CMainFrame::CascadeWindows() {
    // The windows that are not minimised are laid one over another from the top-left corner, a
    // caption height apart, each at the default size of a new window (the show window keeps its
    // fixed size), the front-most last. The area's own cascade shrank them to their size hints.
    m_ptNextChild = QPoint(0, 0);
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList(QMdiArea::StackingOrder);
    for (QMdiSubWindow* window : windows) {
        auto* frame = qobject_cast<fw::CMDIChildWnd*>(window);
        if (!frame || frame->isMinimized()) {
            continue;
        }
        if (frame->isMaximized()) {
            frame->showNormal();
        }
        GiveDefaultPlace(frame);
    }
}

void CMainFrame::ArrangeIcons() {
    // Minimised windows are lined up along the bottom edge of the area, left to right.
    int x = 0;
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (!window->isMinimized()) {
            continue;
        }
        const QSize size = window->size();
        window->move(x, m_pMdiArea->viewport()->height() - size.height());
        x += size.width();
    }
}
