#include "VelmoApp.h"

#include <QCoreApplication>

#include "AboutDialog.h"
#include "ChildFrame.h"
#include "MainFrame.h"
#include "Resources.h"
#include "editor/EditorPanelDoc.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/RecoveryKeeper.h"
#include "framework/SingleInstance.h"
#include "model/VelmoDoc.h"
#include "show/ScreenWnd.h"

CVelmoApp::CVelmoApp() : m_pDocManager(std::make_unique<fw::CDocManager>()) {
    AddHandler(cmd::ID_FILE_NEW, [this] { OnFileNew(); });
    AddHandler(cmd::ID_FILE_OPEN, [this] { m_pDocManager->OnFileOpen(); });
    AddHandler(cmd::ID_APP_ABOUT, [this] { OnAppAbout(); });
    AddHandler(cmd::ID_APP_EXIT, [this] {
        if (m_pMainFrame) {
            m_pMainFrame->close();
        }
    });
    connect(m_pDocManager.get(), &fw::CDocManager::recentFilesChanged, this,
            [this] { UpdateRecentFileHandlers(); });
}

CVelmoApp::~CVelmoApp() {
    DestroyScreenWnd();
    m_pMainFrame.reset();
    m_pRecovery.reset();
}

void CVelmoApp::RegisterDocTemplates() {
    m_pDocManager->AddDocTemplate(std::make_unique<fw::CDocTemplate>(
        cmd::IDR_VELMOTYPE, res::PanelDocStrings(),
        [this] { return std::make_unique<CEditorPanelDoc>(m_decoder); },
        [] { return new CChildFrame; }, [] { return new CVelmoView; }));
    RegisterShowType();
}

fw::CDocTemplate* CVelmoApp::PanelTemplate() const {
    const auto& templates = m_pDocManager->Templates();
    return templates.empty() ? nullptr : templates.front().get();
}

bool CVelmoApp::InitInstance(const SStartup& startup) {
    // The profile lives under the company key and the application name.
    QCoreApplication::setOrganizationName(res::kCompany);
    QCoreApplication::setApplicationName(res::kAppName);
    m_pDocManager->LoadRecentFiles();

    RegisterDocTemplates();

    m_pMainFrame = std::make_unique<CMainFrame>(*this);
    m_pDocManager->SetFrameHost(m_pMainFrame.get());
    UpdateRecentFileHandlers();

    if (startup.bServeShellRequests) {
        m_pShellRequests = new fw::CSingleInstance(this);
        connect(m_pShellRequests, &fw::CSingleInstance::openRequested, this, &CVelmoApp::OpenFiles);
        connect(m_pShellRequests, &fw::CSingleInstance::activateRequested, this,
                &CVelmoApp::BringToFront);
        // Without a session bus, or with the name taken, the program simply runs alone.
        m_pShellRequests->Serve();
    }

    if (startup.files.isEmpty()) {
        OnFileNew();
    } else {
        int opened = 0;
        for (const QString& path : startup.files) {
            if (m_pDocManager->OpenDocumentFile(path)) {
                ++opened;
            }
        }
        if (opened == 0) {
            return false;
        }
    }

    // The menus of the active document, or of none (the first active-frame change).
    m_pMainFrame->OnActiveFrameChanged();
    if (startup.bShowMainWindow) {
        m_pMainFrame->show();
    }
    CreateScreenWnd();
    if (startup.bKeepRecovery) {
        StartRecovery();
    }
    return true;
}

void CVelmoApp::OnFileNew() {
    for (const auto& docTemplate : m_pDocManager->Templates()) {
        if (docTemplate->GetDocString(fw::CDocTemplate::filterExt) == QStringLiteral(".vlm")) {
            m_pDocManager->OpenNewDocument(*docTemplate);
            return;
        }
    }
}

void CVelmoApp::OnAppAbout() {
    CAboutDialog about(m_pMainFrame.get());
    about.exec();
}

void CVelmoApp::OpenFiles(const QStringList& paths) {
    BringToFront();
    for (const QString& path : paths) {
        m_pDocManager->OpenDocumentFile(path);
    }
}

void CVelmoApp::BringToFront() {
    if (!m_pMainFrame) {
        return;
    }
    if (m_pMainFrame->isMinimized()) {
        m_pMainFrame->showNormal();
    }
    m_pMainFrame->raise();
    m_pMainFrame->activateWindow();
}

void CVelmoApp::UpdateRecentFileHandlers() {
    // A recent-file item has a handler only while its entry exists, so that the stand-in item
    // is disabled while the list is empty.
    const int size = m_pDocManager->RecentFiles().GetSize();
    for (int i = 0; i < cmd::kRecentFileCount; ++i) {
        const int id = cmd::ID_FILE_MRU_FILE1 + i;
        if (i < size) {
            AddHandler(id, [this, i] { m_pDocManager->OpenRecentFile(i); });
        } else {
            RemoveHandler(id);
        }
    }
}
