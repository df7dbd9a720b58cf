#pragma once
// The panel editor under test: the application started without a session bus, its panel view
// at a known client size, a scripted file and colour prompter, captured message boxes, and
// drivers for the modal dialogs and context menus the commands open.
#include <functional>
#include <memory>

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include "MessageCapture.h"
#include "ScriptedPrompter.h"

class CVelmoApp;
class CVelmoDoc;
class CVelmoView;
class QDialog;
class QMenu;

namespace edtest {

// One application with one untitled panel; prompter and message capture installed.
class CEditorFixture {
public:
    CEditorFixture();
    ~CEditorFixture();

    CVelmoView& View();
    CVelmoDoc& Doc();
    QWidget* Viewport();
    // Routes a command as a menu item would.
    bool Route(int id);
    bool IsEnabled(int id);
    int Steps();
    // Selects by a left click at a view point (zoomed panel pixels; the view is not scrolled).
    void ClickAt(QPoint point);
    // A picture file of w x h in the fixture's folder; its path, or nothing when not written.
    QString PictureFile(const QString& name, int w, int h);
    // Drags with the left button from one view point to another: press, one move, release.
    void Drag(QPoint from, QPoint to);

    // Declared before the application, so that they outlive it.
    testsupport::CPrompterScope m_prompter;
    testsupport::CMessageCapture m_messages;
    std::unique_ptr<CVelmoApp> m_app;
    QTemporaryDir m_dir;
};

// Runs trigger; the first modal dialog it opens is handed to action (which accepts or rejects
// it). True when a dialog opened.
bool WithDialog(const std::function<void()>& trigger, const std::function<void(QDialog&)>& action);
// Replaces an edit's text of a dialog by typing, as a user would.
void TypeInto(QDialog& dialog, int id, const QString& text);

// Runs trigger; the context menu it opens is described into items ("text" per command,
// "text [off]" when disabled, "-" per separator, ">text" for a submenu with its items, "<"
// after them), then choice is chosen (none: the menu is closed).
QStringList WithContextMenu(const std::function<void()>& trigger, const QString& choice);

} // namespace edtest
