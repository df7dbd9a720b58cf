#pragma once
// The main window: menu bar (menu 128 while no document is open, else the active document's
// menu), tool bar, status bar, and the area holding one child frame per open document. It
// routes commands to the active view, its document, its frame, itself and the application.
#include <map>
#include <vector>

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

#include "framework/CmdTarget.h"
#include "framework/DocManager.h"
#include "framework/StringTable.h"

class CVelmoApp;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace fw {
class CCommandRouter;
class CMDIChildWnd;
} // namespace fw

class CMainFrame : public QMainWindow, public fw::CCmdTarget, public fw::IFrameHost {
    Q_OBJECT
public:
    explicit CMainFrame(CVelmoApp& app);
    ~CMainFrame() override;

    fw::CCommandRouter& Router() { return *m_pRouter; }
    const fw::CStringTable& Strings() const { return m_strings; }
    QMdiArea* MdiArea() const { return m_pMdiArea; }
    QToolBar* ToolBar() const { return m_pToolBar; }
    // The frame whose document the commands go to, or null.
    fw::CMDIChildWnd* ActiveFrame() const;
    // The menu resource shown now: 128, 129 or 152.
    int CurrentMenuId() const { return m_nMenuId; }
    // The top-level menus of a menu resource (built on first use).
    const std::vector<QMenu*>& MenusOf(int resourceId);

    // fw::IFrameHost
    QWidget* HostWidget() override { return this; }
    void AddFrame(fw::CMDIChildWnd* frame) override;
    void ActivateFrame(fw::CMDIChildWnd* frame) override;

    // Re-evaluates the menu bar, enabling, check marks and the title for the active window.
    void OnActiveFrameChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Bars (MainFrameBars.cpp).
    void CreateToolBar();
    void CreateStatusBar();
    void UpdateKeyStatePanes();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Menus (MainFrameMenus.cpp).
    void ShowMenu(int resourceId);
    void UpdateRecentFileMenus();
    void UpdateRecentFileMenu(QMenu* fileMenu);
    void UpdateWindowList(QMenu* windowMenu);
    void CascadeWindows();
    void ArrangeIcons();
    void UpdateTitle();
    void GiveDefaultPlace(fw::CMDIChildWnd* frame);

    CVelmoApp& m_app;
    fw::CStringTable m_strings;
    fw::CCommandRouter* m_pRouter = nullptr;
    QMdiArea* m_pMdiArea = nullptr;
    QToolBar* m_pToolBar = nullptr;
    std::vector<QLabel*> m_keyPanes;
    std::map<int, std::vector<QMenu*>> m_menus;
    int m_nMenuId = 0;
    fw::CMDIChildWnd* m_pLastActive = nullptr;
    bool m_bDestroying = false;
    std::vector<QPointer<fw::CMDIChildWnd>> m_pendingDefaultSize;
    // Where the next new child window goes: new windows cascade from the top-left corner.
    QPoint m_ptNextChild;
};
