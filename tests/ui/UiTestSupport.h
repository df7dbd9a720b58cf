#pragma once
// Helpers shared by the Qt tests of the application: a scripted prompter, captured message
// boxes, an application started without a session bus, sample panel files, and permission
// checks that hold even when the tests run as root.
#include <deque>
#include <memory>
#include <vector>

#include <QString>
#include <QStringList>

#include "framework/MessageBox.h"
#include "framework/Prompter.h"

class CVelmoApp;
class CMainFrame;
class CVelmoView;
class QAction;
class QMenu;

namespace fw {
class CDocument;
}

namespace uitest {

// Answers file dialogs from a queue (an empty answer is a cancel) and records each request.
class CScriptedPrompter : public fw::IPrompter {
public:
    std::deque<QString> m_files;
    std::deque<std::pair<bool, COLORREF>> m_colors;
    std::vector<fw::FileDialogRequest> m_fileRequests;

    QString ChooseFile(QWidget* parent, const fw::FileDialogRequest& request) override;
    bool ChooseColor(QWidget* parent, COLORREF& color) override;
};

// Installs a scripted prompter for its lifetime and gives access to it.
class CPrompterScope {
public:
    CPrompterScope();
    ~CPrompterScope();
    CScriptedPrompter& operator*() { return *m_pPrompter; }
    CScriptedPrompter* operator->() { return m_pPrompter; }

private:
    CScriptedPrompter* m_pPrompter;
};

// Records every message box and answers from a queue (OK, or Cancel for a question, when the
// queue is empty).
class CMessageCapture {
public:
    CMessageCapture();
    ~CMessageCapture();
    std::vector<fw::MessageRequest> m_requests;
    std::deque<fw::EMsgResult> m_answers;
    QStringList Texts() const;
};

// Removes the right to bypass file permissions from the calling thread, so that a read-only
// folder or an unreadable file refuses access also when the tests run as root.
void HonourFilePermissions();

// A fresh application: no session bus, main window shown, the untitled panel of a plain start.
std::unique_ptr<CVelmoApp> StartApp(const QStringList& files = {});
CMainFrame* MainFrameOf(CVelmoApp& app);
fw::CDocument* ActiveDocument(CVelmoApp& app);
CVelmoView* ActiveView(CVelmoApp& app);
// Routes a command id as a menu item would; false when nothing handles it.
bool Route(CVelmoApp& app, int id);
// Runs deferred deletions so that closed windows and documents are gone.
void Settle();

// Writes a panel file of width x height with the background colour (0x00BBGGRR) through the
// document model, optionally with a picture file imported at (50, 50).
bool WritePanel(const QString& path, int width, int height, unsigned background,
                const QString& picture = {});
QByteArray ReadBytes(const QString& path);

// A flat, comparable description of a menu: "id|text" per command, "-" per separator,
// ">text" opening a submenu and "<" closing it. Items the menus add themselves (recent files,
// the window list) are left out.
QStringList Describe(const QMenu* menu);
QAction* FindAction(const QMenu* menu, int id);

} // namespace uitest
