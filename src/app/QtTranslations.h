#pragma once
// Qt's own texts (the standard buttons of message boxes, the file, print and colour dialogs) in
// the desktop's language. The program's own texts are Japanese already and are not translated.
#include <QLocale>
#include <QString>

// The folder Qt's translation catalogues are installed in.
QString QtTranslationsFolder();
// Loads Qt's catalogue for the locale's languages from that folder and installs it in the
// running application; false (and nothing installed) when there is none for the language.
bool InstallQtTranslations(const QLocale& locale);
