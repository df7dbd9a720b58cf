#pragma once
// "--register": installs the desktop entry, the two file types (by extension only: the files
// have no signature) and the icons for the current user with the desktop's xdg tools, and makes
// Velmo the default program of both types.
#include <QString>

// Runs the registration for the executable at executablePath. Progress and failures go to the
// standard error stream; returns the process exit status (0 on success).
int RegisterForCurrentUser(const QString& executablePath);

// The desktop entry with its Exec line naming executablePath.
QString DesktopEntryFor(const QString& executablePath);
