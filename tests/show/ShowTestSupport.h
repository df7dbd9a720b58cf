#pragma once
// Helpers of the slideshow tests: scripted file dialogs, captured message boxes, a stand-in
// for the playback window, panel, show and picture files written through the model, and an
// application started without a session bus.
#include <deque>
#include <memory>
#include <vector>

#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include "framework/MessageBox.h"
#include "framework/Prompter.h"
#include "framework/ShowPlayer.h"
#include "model/Panel.h"

class CVelmoApp;

namespace showtest {

// Answers file dialogs from a queue (an empty queue cancels) and records each request.
class CScriptedPrompter : public fw::IPrompter {
public:
    std::deque<QString> m_files;
    std::vector<fw::FileDialogRequest> m_requests;
    QString ChooseFile(QWidget* parent, const fw::FileDialogRequest& request) override;
    bool ChooseColor(QWidget*, COLORREF&) override { return false; }
};

// Installs a scripted prompter for its lifetime.
class CPrompterScope {
public:
    CPrompterScope();
    ~CPrompterScope();
    CScriptedPrompter* operator->() { return m_pPrompter; }

private:
    CScriptedPrompter* m_pPrompter;
};

// Records every message box while it lives, answering OK (Cancel for a question).
class CMessageCapture {
public:
    CMessageCapture();
    ~CMessageCapture();
    QStringList Texts() const;
    QStringList Captions() const;
    std::vector<fw::MessageRequest> m_requests;
};

// Stands in for the application's playback window while it lives and records each request.
class CFakePlayer : public fw::IShowPlayer {
public:
    struct SCall {
        QString strPath;
        bool bManual = false;
    };
    CFakePlayer();
    ~CFakePlayer() override;
    void PlayDocumentFile(const QString& path, bool bManual) override;
    std::vector<SCall> m_calls;

private:
    fw::IShowPlayer* m_pPrevious;
};

// A panel saved through the panel document; false when it could not be written.
bool WritePanel(const QString& path, const CPanel& panel);
// A panel of the size and background colour (0x00BBGGRR) with a picture file imported at
// (50, 50) and then placed on body; no picture when picture is empty.
CPanel MakePanel(int width, int height, COLORREF background, const QString& picture = {},
                 const CRect& body = {});
// A show of these names (UTF-8, without ".vlm") saved through the show document.
bool WriteShow(const QString& path, const QStringList& names);
// A picture of one colour; the format follows the extension (".bmp", ".jpg").
bool WritePicture(const QString& path, QSize size, QColor color);
QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);

// A fresh application: no session bus, main window shown, the untitled panel of a plain start.
std::unique_ptr<CVelmoApp> StartApp(const QStringList& files = {});
// Routes a command as a menu item would, then lets closed windows go; false when unhandled.
bool Route(CVelmoApp& app, int id);
void Settle();

} // namespace showtest
