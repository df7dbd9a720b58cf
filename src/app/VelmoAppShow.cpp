// The show document type and the application's show commands: "新規ショー設定..." (32835)
// creates an empty show file and opens it in a new window, "ショー設定を開く..." (32836) opens
// a file of either type; and the full-screen playback window, created hidden at the end of
// start-up and owned for the whole run.
#include <algorithm>

#include <QFileInfo>
#include <QScreen>

#include "ChildFrameShow.h"
#include "MainFrame.h"
#include "Resources.h"
#include "VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/FileMessages.h"
#include "framework/Prompter.h"
#include "framework/ShowPlayer.h"
#include "model/FileSystem.h"
#include "model/VelmoShowDoc.h"
#include "show/PlayerScreens.h"
#include "show/PlayerSettings.h"
#include "show/ScreenWnd.h"
#include "show/ShowPropView.h"

namespace {

// "ベルモショーの書類 (*.vls)|*.vls|すべての書類 (*.*)|*.*||" as the file dialogs take it.
fw::FileDialogRequest ShowFileRequest(bool bSave) {
    fw::FileDialogRequest request;
    request.bSave = bSave;
    request.filters << QStringLiteral("ベルモショーの書類 (*.vls)")
                    << QStringLiteral("すべての書類 (*.*)");
    request.defaultExtension = QStringLiteral("vls");
    return request;
}

// Creates the file, or replaces it with an empty one the way a save does (a kill or a failure
// leaves the old file whole); 0 or the errno value.
int CreateEmptyFile(const QString& path) {
    int err = 0;
    return WriteFileAtomically(QFile::encodeName(path).toStdString(), {}, err) ? 0 : err;
}

} // namespace

void CVelmoApp::RegisterShowType() {
    m_pDocManager->AddDocTemplate(std::make_unique<fw::CDocTemplate>(
        cmd::IDR_VELMOSHOWTYPE, res::ShowDocStrings(),
        [] { return std::make_unique<CVelmoShowDoc>(); }, [] { return new CChildFrameShow; },
        [this] { return new CShowPropView(m_decoder); }));
    AddHandler(cmd::ID_SHOW_NEW, [this] { OnShowNew(); });
    AddHandler(cmd::ID_SHOW_OPEN, [this] { OnShowOpen(); });
    RegisterPlayerScreens();
}

void CVelmoApp::RegisterPlayerScreens() {
    // "表示する画面": the window's screen (no choice), or one screen by its name.
    AddHandler(cmd::ID_PLAYER_SCREEN_WINDOW, [] { SetChosenScreenName(QString()); });
    AddCheck(cmd::ID_PLAYER_SCREEN_WINDOW, [] {
        const QString chosen = ChosenScreenName();
        const QList<QScreen*> screens = ListedScreens();
        return std::none_of(screens.begin(), screens.end(),
                            [&](const QScreen* screen) { return screen->name() == chosen; });
    });
    for (int id = cmd::ID_PLAYER_SCREEN_FIRST; id <= cmd::ID_PLAYER_SCREEN_LAST; ++id) {
        const int index = id - cmd::ID_PLAYER_SCREEN_FIRST;
        AddHandler(id, [index] {
            const QList<QScreen*> screens = ListedScreens();
            if (index < screens.size()) {
                SetChosenScreenName(screens[index]->name());
            }
        });
        AddCheck(id, [index] {
            const QList<QScreen*> screens = ListedScreens();
            return index < screens.size() && screens[index]->name() == ChosenScreenName();
        });
    }
}

void CVelmoApp::OnShowNew() {
    const QString chosen = fw::Prompter().ChooseFile(m_pMainFrame.get(), ShowFileRequest(true));
    if (chosen.isEmpty()) {
        return;
    }
    const QString path = QFileInfo(chosen).absoluteFilePath();
    for (const auto& docTemplate : m_pDocManager->Templates()) {
        if (docTemplate->GetDocString(fw::CDocTemplate::filterExt) != QStringLiteral(".vls")) {
            continue;
        }
        // The file exists from the start, so that the show's folder is known to its view; a
        // file of 0 bytes is an empty show.
        if (const int err = CreateEmptyFile(path)) {
            fw::ReportOutcome(m_pMainFrame.get(), OutcomeFromErrno(err, true), path, true);
            return;
        }
        m_pDocManager->OpenDocumentFileWith(*docTemplate, path);
        return;
    }
}

void CVelmoApp::OnShowOpen() {
    const QString chosen = fw::Prompter().ChooseFile(m_pMainFrame.get(), ShowFileRequest(false));
    if (!chosen.isEmpty()) {
        // The general open: the type follows the extension, and an open file comes to the front.
        m_pDocManager->OpenDocumentFile(chosen);
    }
}

void CVelmoApp::CreateScreenWnd() {
    m_pScreenWnd = std::make_unique<CScreenWnd>(m_decoder);
    m_pScreenWnd->Create();
    fw::SetShowPlayer(m_pScreenWnd.get());
}

void CVelmoApp::DestroyScreenWnd() {
    if (fw::ShowPlayer() == m_pScreenWnd.get()) {
        fw::SetShowPlayer(nullptr);
    }
    m_pScreenWnd.reset();
}
