#pragma once
// Files for the tests: panels and shows written through the document model, pictures, and raw
// bytes.
#include <QByteArray>
#include <QColor>
#include <QSize>
#include <QString>
#include <QStringList>

#include "model/Panel.h"

namespace testsupport {

// A panel of the size and background colour (0x00BBGGRR) with a picture file imported at
// (50, 50) and then placed on body (an empty body keeps the imported place); no picture when
// picture is empty or cannot be imported.
CPanel MakePanel(int width, int height, COLORREF background, const QString& picture = {},
                 const CRect& body = {});
// A panel saved through the panel document; false when it could not be written.
bool WritePanel(const QString& path, const CPanel& panel);
// The same for a panel made as by MakePanel; false also when the picture cannot be imported.
bool WritePanel(const QString& path, int width, int height, COLORREF background,
                const QString& picture = {});
// A show of these names (UTF-8, without ".vlm") saved through the show document.
bool WriteShow(const QString& path, const QStringList& names);
// A picture of one colour; the format follows the extension (".bmp", ".jpg").
bool WritePicture(const QString& path, QSize size, QColor color);
QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);

} // namespace testsupport
