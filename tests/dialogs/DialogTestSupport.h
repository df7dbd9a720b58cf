#pragma once
// Helpers for driving the editor's dialogs in tests: captured message boxes, a scripted colour
// chooser, and typing into and clicking the controls named by their ids.
#include <deque>
#include <optional>
#include <vector>

#include <QList>
#include <QStringList>

#include "framework/MessageBox.h"
#include "framework/Prompter.h"

class QDialog;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Outside a CMessageLog every message box is answered with OK and kept here, so that no test
// ever waits for a real one; each test class checks after every test that none came.
void InstallUnexpectedMessageGuard();
QStringList TakeUnexpectedMessages();

// Records every message box (answered with OK) while it lives.
class CMessageLog {
public:
    CMessageLog();
    ~CMessageLog();
    CMessageLog(const CMessageLog&) = delete;
    CMessageLog& operator=(const CMessageLog&) = delete;

    QStringList Texts() const;
    void Clear() { m_requests.clear(); }

    QList<fw::MessageRequest> m_requests;
};

// The colour chooser answers from a script: a colour for OK, nothing for cancel.
class CScriptedPrompter : public fw::IPrompter {
public:
    QString ChooseFile(QWidget*, const fw::FileDialogRequest&) override { return {}; }
    bool ChooseColor(QWidget* parent, COLORREF& color) override;

    std::deque<std::optional<COLORREF>> m_answers;
    std::vector<COLORREF> m_offered; // the colour each chooser opened with
};
// Installs a new scripted prompter (owned by the framework) and returns it.
CScriptedPrompter* InstallScriptedPrompter();

QLineEdit* EditOf(const QWidget* dialog, int id);
QPlainTextEdit* TextEditOf(const QWidget* dialog, int id);
// Shows the dialog as the active window, which runs its showing exchange.
bool ShowActive(QDialog& dialog);
// Types any text into the widget, one key event per character.
void TypeKeys(QWidget* widget, const QString& text);
// Replaces an edit's text by typing, as a user would (select all, then keys).
void Type(QLineEdit* edit, const QString& text);
void Click(const QWidget* dialog, int id);
// The focus is on the edit and its whole text is selected.
bool IsRefusedField(QLineEdit* edit);
// Object names of the widgets the Tab key reaches from the first one, first included.
QStringList TabChain(QWidget* first, int count);
