#include "MainFrame.h"

#include <algorithm>

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "Resources.h"
#include "VelmoApp.h"
#include "framework/AcceleratorTable.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "framework/View.h"

CMainFrame::CMainFrame(CVelmoApp& app) : m_app(app) {
    setObjectName(QStringLiteral("128"));
    setWindowTitle(res::kMainTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/velmo-48.png")));
    setAcceptDrops(true);
    res::LoadStringTable(m_strings);

    m_pRouter = new fw::CCommandRouter(
        [this]() -> std::vector<fw::CCmdTarget*> {
            std::vector<fw::CCmdTarget*> route;
            if (fw::CMDIChildWnd* frame = ActiveFrame()) {
                route.push_back(frame->GetView());
                route.push_back(frame->GetDocument());
                route.push_back(frame);
            }
            route.push_back(this);
            route.push_back(&m_app);
            return route;
        },
        this);

    m_pMdiArea = new QMdiArea(this);
    m_pMdiArea->setAccessibleName(QStringLiteral("書類ウィンドウ"));
    m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_pMdiArea);
    connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* window) {
        if (auto* frame = qobject_cast<fw::CMDIChildWnd*>(window)) {
            m_pLastActive = frame;
        }
        OnActiveFrameChanged();
    });

    // The Window menu, carried out by the frame.
    AddHandler(cmd::ID_WINDOW_CASCADE, [this] { CascadeWindows(); });
    AddHandler(cmd::ID_WINDOW_TILE_HORZ, [this] { m_pMdiArea->tileSubWindows(); });
    AddHandler(cmd::ID_WINDOW_ARRANGE, [this] { ArrangeIcons(); });

    CreateToolBar();
    CreateStatusBar();
    fw::InstallAccelerators(this, res::Accelerators(), *m_pRouter);
    // The menus come with the first active-frame change (OnActiveFrameChanged), before the
    // window is shown: a start that opens a panel builds only the panel's menus, and those of
    // no document are built when they are first shown.

    connect(&m_app.DocManager(), &fw::CDocManager::documentsChanged, this,
            [this] { OnActiveFrameChanged(); });
    connect(&m_app.DocManager(), &fw::CDocManager::recentFilesChanged, this,
            [this] { UpdateRecentFileMenus(); });
    resize(900, 680);
}

CMainFrame::~CMainFrame() {
    // The child frames and their documents go with the area after this part of the window is
    // gone: nothing is to be re-evaluated for them, and none of their signals may reach it.
    m_bDestroying = true;
    disconnect(m_pMdiArea, nullptr, this, nullptr);
    disconnect(&m_app.DocManager(), nullptr, this, nullptr);
    // Every frame below the area, also one no longer listed by it.
    const QList<fw::CMDIChildWnd*> frames = m_pMdiArea->findChildren<fw::CMDIChildWnd*>();
    for (fw::CMDIChildWnd* frame : frames) {
        disconnect(frame, nullptr, this, nullptr);
        if (frame->GetDocument()) {
            disconnect(frame->GetDocument(), nullptr, this, nullptr);
        }
    }
}

fw::CMDIChildWnd* CMainFrame::ActiveFrame() const {
    if (auto* frame = qobject_cast<fw::CMDIChildWnd*>(m_pMdiArea->currentSubWindow())) {
        return frame;
    }
    // While the program is not the active application the area reports no current window;
    // commands still go to the one last activated, as long as it is open.
    const QList<QMdiSubWindow*> windows = m_pMdiArea->subWindowList();
    for (QMdiSubWindow* window : windows) {
        if (window == m_pLastActive) {
            return m_pLastActive;
        }
    }
    return nullptr;
}

void CMainFrame::AddFrame(fw::CMDIChildWnd* frame) {
    m_pMdiArea->addSubWindow(frame);
    if (isVisible()) {
        GiveDefaultPlace(frame);
    } else {
        // Windows opened during start-up are sized once the main window has its own size.
        m_pendingDefaultSize.emplace_back(frame);
    }
    connect(frame->GetDocument(), &fw::CDocument::titleChanged, this, [this] { UpdateTitle(); });
    connect(frame, &QMdiSubWindow::windowStateChanged, this, [this] { UpdateTitle(); });
    connect(frame, &QObject::destroyed, this, [this, frame] {
        if (m_bDestroying) {
            return;
        }
        if (m_pLastActive == frame) {
            m_pLastActive = nullptr;
        }
        OnActiveFrameChanged();
    });
}

void CMainFrame::GiveDefaultPlace(fw::CMDIChildWnd* frame) {
    // A new child window takes the platform's default size, three quarters of the area, and
    // its default position: one caption height right of and below the previous new window,
    // back at the top-left corner when it would no longer fit. (The area's own placement
    // chose a spot for the window's size before this one, which left most of it outside.)
    const QSize area = m_pMdiArea->viewport()->size();
    frame->resize(std::max(area.width() * 3 / 4, 200), std::max(area.height() * 3 / 4, 150));
    if (m_ptNextChild.x() + frame->width() > area.width() ||
        m_ptNextChild.y() + frame->height() > area.height()) {
        m_ptNextChild = QPoint(0, 0);
    }
    frame->move(m_ptNextChild);
    const int step =
        std::max(frame->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, frame), 8);
    m_ptNextChild += QPoint(step, step);
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_pendingDefaultSize.empty()) {
        return;
    }
    QTimer::singleShot(0, this, [this] {
        for (const QPointer<fw::CMDIChildWnd>& frame : m_pendingDefaultSize) {
            if (frame && !frame->isMaximized() && !frame->isMinimized()) {
                GiveDefaultPlace(frame);
            }
        }
        m_pendingDefaultSize.clear();
    });
}

void CMainFrame::ActivateFrame(fw::CMDIChildWnd* frame) {
    if (frame->isMinimized()) {
        frame->showNormal();
    }
    m_pMdiArea->setActiveSubWindow(frame);
    m_pLastActive = frame;
    OnActiveFrameChanged();
}

void CMainFrame::OnActiveFrameChanged() {
    fw::CMDIChildWnd* frame = ActiveFrame();
    fw::CDocument* document = frame ? frame->GetDocument() : nullptr;
    ShowMenu(document ? document->GetDocTemplate().GetResourceId() : int(cmd::IDR_MAINFRAME));
    UpdateTitle();
    m_pRouter->UpdateActions();
}

void CMainFrame::UpdateTitle() {
    fw::CMDIChildWnd* frame = ActiveFrame();
    fw::CDocument* document = frame ? frame->GetDocument() : nullptr;
    if (!document) {
        setWindowTitle(res::kMainTitle);
    } else if (frame->isMaximized()) {
        // A maximised window has no caption of its own: its title stands in brackets, once.
        // (The area's own caption for this case would add it after the document's name.)
        setWindowTitle(res::kMainTitle + QStringLiteral(" - [") + document->GetTitle() +
                       QStringLiteral("]"));
    } else {
        setWindowTitle(res::kMainTitle + QStringLiteral(" - ") + document->GetTitle());
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    fw::CDocManager& manager = m_app.DocManager();
    if (!manager.SaveAllModified()) {
        event->ignore();
        return;
    }
    manager.CloseAllDocuments();
    manager.SaveRecentFiles();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
    }
}

void CMainFrame::dropEvent(QDropEvent* event) {
    QStringList paths;
    const QList<QUrl> urls = event->mimeData()->urls();
    for (const QUrl& url : urls) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    activateWindow();
    for (const QString& path : paths) {
        m_app.DocManager().OpenDocumentFile(path);
    }
}
