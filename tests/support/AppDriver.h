#pragma once
// The application under test, started and driven as a user would.
#include <memory>

#include <QStringList>

class CVelmoApp;

namespace testsupport {

// A fresh application: no session bus, main window shown, the untitled panel of a plain start
// (or the files given); nullptr when it did not start.
std::unique_ptr<CVelmoApp> StartApp(const QStringList& files = {});
// Routes a command id as a menu item would, then lets closed windows go; false when nothing
// handles it.
bool Route(CVelmoApp& app, int id);
// Runs pending events and deferred deletions so that closed windows and documents are gone.
void Settle();

} // namespace testsupport
