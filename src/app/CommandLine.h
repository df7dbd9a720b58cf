#pragma once
// The command line of the editor: file names to open, "--register" to install the desktop
// entry and file types for the current user, "--help". The headless commands are handled
// before this, by the command-line library.
#include <QString>
#include <QStringList>

struct SCommandLine {
    enum EAction { Run, Register, Help, Error };
    EAction action = Run;
    QStringList files;
    QString strError;
};

// args without the program name.
SCommandLine ParseCommandLine(const QStringList& args);
QString UsageText();
