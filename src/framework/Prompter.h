#pragma once
// The standard file and colour dialogs behind one small interface that tests can script.
#include <memory>

#include <QString>
#include <QStringList>

#include "model/Types.h"

class QWidget;

namespace fw {

struct FileDialogRequest {
    bool bSave = false;       // save-as dialog rather than open dialog
    QString title;            // e.g. "Open", "Save As"; empty for the platform's default
    QStringList filters;      // Qt filter strings, first selected at first
    QString defaultExtension; // without the dot, appended when the user typed none
    QString initialPath;
};

class IPrompter {
public:
    virtual ~IPrompter() = default;
    // Returns the chosen path (UTF-8 absolute), or an empty string when cancelled.
    virtual QString ChooseFile(QWidget* parent, const FileDialogRequest& request) = 0;
    // The system colour chooser, starting from color; true and the new colour on OK.
    virtual bool ChooseColor(QWidget* parent, COLORREF& color) = 0;
};

// The prompter in use (real dialogs unless a test installed another).
IPrompter& Prompter();
// Tests install a scripted prompter; nullptr restores the real dialogs.
void SetPrompter(std::unique_ptr<IPrompter> prompter);

} // namespace fw
