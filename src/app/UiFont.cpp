#include "UiFont.h"

#include <QApplication>
#include <QFontDatabase>

#include "render/FukiFont.h"

namespace {

bool WritesJapanese(const QString& family) {
    return QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese);
}

// Proportional faces first: menus and labels set Latin letters as the desktop's own font does.
// Empty when no Japanese face is installed.
QString JapaneseUiFace() {
    static const char* const kCandidates[] = {
        "IPAPGothic",   "IPAexGothic", "Noto Sans CJK JP",  "Noto Sans JP",
        "TakaoPGothic", "VL PGothic",  "Source Han Sans JP"};
    for (const char* candidate : kCandidates) {
        const QString face = QString::fromLatin1(candidate);
        if (QFontDatabase::hasFamily(face)) {
            return face;
        }
    }
    const QString standard = render::DefaultGothicFace();
    return WritesJapanese(standard) ? standard : QString();
}

} // namespace

QFont JapaneseUiFont(const QFont& desktopFont) {
    if (WritesJapanese(desktopFont.family())) {
        return desktopFont;
    }
    const QString gothic = JapaneseUiFace();
    if (gothic.isEmpty()) {
        return desktopFont; // no Japanese face installed: the fallback search is all there is
    }
    QFont font = desktopFont;
    font.setFamilies({gothic});
    return font;
}

void UseJapaneseUiFont() {
    const QFont desktopFont = QApplication::font();
    const QFont font = JapaneseUiFont(desktopFont);
    if (font != desktopFont) {
        QApplication::setFont(font);
    }
}
