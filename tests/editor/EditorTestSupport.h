#pragma once
// The panel editor under test: the application started without a session bus, its panel view
// at a known client size, a scripted file and colour prompter, captured message boxes, and
// drivers for the modal dialogs and context menus the commands open.
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QPoint>
#include <QStringList>
#include <QTemporaryDir>

#include "framework/MessageBox.h"
#include "framework/Prompter.h"

class CVelmoApp;
class CVelmoDoc;
class CVelmoView;
class QDialog;
class QMenu;

namespace edtest {

// File dialogs answer from m_files (empty = cancel), colour choosers from m_colors (nothing =
// cancel); every request is recorded.
class CScriptedPrompter : public fw::IPrompter {
public:
    std::deque<QString> m_files;
    std::deque<std::optional<COLORREF>> m_colors;
    std::vector<fw::FileDialogRequest> m_fileRequests;
    std::vector<COLORREF> m_colorsOffered;

    QString ChooseFile(QWidget* parent, const fw::FileDialogRequest& request) override;
    bool ChooseColor(QWidget* parent, COLORREF& color) override;
};

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
    // Drags with the left button from one view point to another: press, one move, release.
    void Drag(QPoint from, QPoint to);

    std::unique_ptr<CVelmoApp> m_app;
    CScriptedPrompter* m_pPrompter = nullptr;
    std::vector<fw::MessageRequest> m_messages;
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

// Writes a picture file of w x h in format ("JPEG", "BMP") and returns its path.
QString WritePicture(const QTemporaryDir& dir, const QString& name, int w, int h,
                     const char* format);

} // namespace edtest
