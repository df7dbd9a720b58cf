#pragma once
// Pictures and panels made inside the tests: every picture file is written into a temporary
// folder from a QImage, so no binary fixture is needed.
#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>

class CPanel;

namespace testpic {

// A picture whose colour changes smoothly with x and y (JPEG-friendly).
QImage Gradient(int w, int h);
// One colour everywhere.
QImage Solid(int w, int h, QColor color);
// An 8-bit palette picture using 4 of its colours, in 2 x 2 blocks.
QImage Palette8(int w, int h);

// Writes image in format ("JPEG", "BMP", "PNG") to dir/name and returns the path.
QString Save(const QTemporaryDir& dir, const QString& name, const QImage& image, const char* format,
             int quality = 95);
QByteArray ReadAll(const QString& path);
void WriteAll(const QString& path, const QByteArray& bytes);

// A JPEG of w x h whose first frame header is rewritten to declare declaredW x declaredH.
QByteArray JpegDeclaring(int declaredW, int declaredH);
// A JPEG with an EXIF block giving the stored picture the orientation (1 to 8) it is shown in.
QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation);
// The same with orientation 6: shown turned a quarter clockwise.
QByteArray WithExifOrientation6(const QByteArray& jpeg);

// The difference of two colours: the largest difference of one channel.
int ColorDistance(QRgb a, QRgb b);

// A white panel of the given size with no balloons and no picture.
void MakeEmptyPanel(CPanel& panel, int w = 640, int h = 480);

} // namespace testpic
