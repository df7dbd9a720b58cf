#pragma once
// The font of a balloon's text: the stored face when installed, else a Japanese gothic face, at
// a character height of (tenths x zoom / 100) x dpi / 720 pixels.
#include <QFont>
#include <QString>
#include <QStringList>
#include <string>

namespace render {

// The face drawn for a stored face name (code page 932, at most its first 31 bytes used): the
// face itself when installed, else the default Japanese gothic face.
QString ResolveFukiFace(const std::string& faceCp932);
// The Japanese gothic face used when a balloon names none (or one that is not installed).
QString DefaultGothicFace();

// Character height in pixels for a size in tenths of a point at a zoom on a device of the given
// vertical dpi; 0 when the text would be less than one pixel high.
int FukiFontPixelSize(qint64 tenths, int zoom, int dpiY);

// The installed families that cover Japanese (fontconfig's answer through Qt) whose names a
// balloon can store (code page 932, at most 31 bytes), the default face first.
QStringList JapaneseFukiFaces();
// Whether a stored face name (not empty) names an installed family.
bool IsFukiFaceInstalled(const std::string& faceCp932);

QFont MakeFukiFont(const std::string& faceCp932, int pixelSize);

// Loads the font database and draws a few glyphs once, so that the first balloon drawn does not
// pay for it. The application calls this at start-up.
void WarmUpFonts();

} // namespace render
