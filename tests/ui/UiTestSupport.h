#pragma once
// Helpers of the Qt tests of the application, on top of the shared test support: the main
// window's active document and view, and menus described for comparison.
#include <QStringList>

#include "AppDriver.h"
#include "FilePermissions.h"
#include "MessageCapture.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"

class CVelmoApp;
class CVelmoView;
class QAction;
class QMenu;

namespace fw {
class CDocument;
}

namespace uitest {

fw::CDocument* ActiveDocument(CVelmoApp& app);
CVelmoView* ActiveView(CVelmoApp& app);

// A flat, comparable description of a menu: "id|text" per command, "-" per separator,
// ">text" opening a submenu and "<" closing it. Items the menus add themselves (recent files,
// the window list) are left out.
QStringList Describe(const QMenu* menu);
QAction* FindAction(const QMenu* menu, int id);

} // namespace uitest
