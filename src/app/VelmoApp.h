#pragma once
// The application object: start-up, the document templates, the main window, and the
// commands the application handles itself (new, open, recent files, About, exit).
#include <memory>
#include <string>
#include <vector>

#include <QObject>
#include <QStringList>

#include "framework/CmdTarget.h"
#include "render/QtPictureDecoder.h"

class CMainFrame;
class CScreenWnd;

namespace fw {
class CRecoveryKeeper;
class CDocManager;
class CDocTemplate;
class CSingleInstance;
} // namespace fw

class CVelmoApp : public QObject, public fw::CCmdTarget {
    Q_OBJECT
public:
    struct SStartup {
        // Files named on the command line; none means a new untitled panel document.
        QStringList files;
        // Answer shell requests (files handed over by later starts) on the session bus.
        bool bServeShellRequests = true;
        bool bShowMainWindow = true;
        // Keep recovery copies of modified documents and offer those of a copy that ended
        // without saving (the program does; tests that do not check it leave it off).
        bool bKeepRecovery = false;
    };

    CVelmoApp();
    ~CVelmoApp() override;

    // Start-up in order: profile, recent files, templates, main window (which accepts dropped
    // files), shell requests, the command line, showing the main window. False ends the
    // program (a named file could not be opened).
    bool InitInstance(const SStartup& startup);

    fw::CDocManager& DocManager() { return *m_pDocManager; }
    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    // The panel document template, registered first.
    fw::CDocTemplate* PanelTemplate() const;

    // "新規作成": a new untitled document of the first template whose extension is ".vlm".
    void OnFileNew();
    void OnAppAbout();
    // "新規ショー設定..." and "ショー設定を開く..." (VelmoAppShow.cpp).
    void OnShowNew();
    void OnShowOpen();
    // The full-screen playback window, created hidden at the end of start-up.
    CScreenWnd* ScreenWnd() const { return m_pScreenWnd.get(); }
    // Opens files handed over by the shell or dropped, and brings the main window forward.
    void OpenFiles(const QStringList& paths);
    // The keeper of recovery copies, while recovery is on (VelmoAppRecovery.cpp).
    fw::CRecoveryKeeper* RecoveryKeeper() const { return m_pRecovery.get(); }
    // Asks about the recovery copies taken over at start-up ("前回、保存されていない変更が
    // あります"); shown once the main window is up.
    void OfferRecovery(const std::vector<std::string>& files);

private:
    void RegisterDocTemplates();
    void RegisterShowType();
    void RegisterPlayerScreens();
    void CreateScreenWnd();
    void DestroyScreenWnd();
    void UpdateRecentFileHandlers();
    void BringToFront();
    void StartRecovery();

    // Decodes the pictures of every document, the player and the show export: one decode cache
    // for the whole run. First, so that it outlives everything it is handed to.
    render::CQtPictureDecoder m_decoder;
    std::unique_ptr<fw::CDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<CScreenWnd> m_pScreenWnd;
    fw::CSingleInstance* m_pShellRequests = nullptr;
    std::unique_ptr<fw::CRecoveryKeeper> m_pRecovery;
};
