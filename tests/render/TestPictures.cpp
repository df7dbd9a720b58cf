#include "TestPictures.h"

#include <QBuffer>
#include <QFile>
#include <QtTest>
#include <algorithm>
#include <cstdlib>

#include "model/Panel.h"

namespace testpic {

QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y,
                           qRgb(x * 255 / std::max(1, w - 1), y * 255 / std::max(1, h - 1), 128));
        }
    }
    return image;
}

QImage Solid(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QImage Palette8(int w, int h) {
    QImage image(w, h, QImage::Format_Indexed8);
    // More than 16 entries, so that the picture is written with 8 bits per pixel.
    QList<QRgb> table = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int i = 4; i < 32; ++i) {
        table.append(qRgb(i * 8, i * 4, i * 2));
    }
    image.setColorTable(table);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, static_cast<uint>(((x / 2) + (y / 2)) % 4));
        }
    }
    return image;
}

QString Save(const QTemporaryDir& dir, const QString& name, const QImage& image, const char* format,
             int quality) {
    const QString path = dir.filePath(name);
    if (!image.save(path, format, quality)) {
        qFatal("cannot write test picture %s", qPrintable(path));
    }
    return path;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s", qPrintable(path));
    }
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write %s", qPrintable(path));
    }
}

QByteArray JpegDeclaring(int declaredW, int declaredH) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Solid(16, 16, Qt::gray).save(&buffer, "JPEG", 90);
    // The baseline frame header: FF C0, length, precision, height, width (big-endian).
    const qsizetype sof = bytes.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0) {
        qFatal("no frame header in the test JPEG");
    }
    bytes[sof + 5] = char(declaredH >> 8);
    bytes[sof + 6] = char(declaredH & 0xFF);
    bytes[sof + 7] = char(declaredW >> 8);
    bytes[sof + 8] = char(declaredW & 0xFF);
    return bytes;
}

QByteArray WithExifOrientation(const QByteArray& jpeg, int orientation) {
    // APP1 "Exif", little-endian TIFF header, one IFD entry: orientation (0x0112).
    QByteArray exif = QByteArray::fromHex("FFE10022"
                                          "457869660000"
                                          "49492A0008000000"
                                          "0100"
                                          "120103000100000006000000"
                                          "00000000");
    exif[4 + 6 + 8 + 2 + 8] = static_cast<char>(orientation);
    return jpeg.left(2) + exif + jpeg.mid(2);
}

QByteArray WithExifOrientation6(const QByteArray& jpeg) {
    return WithExifOrientation(jpeg, 6);
}

int ColorDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

void MakeEmptyPanel(CPanel& panel, int w, int h) {
    panel.Reset();
    panel.m_rcTotal = CRect{0, 0, w, h};
    panel.m_crBack = 0x00FFFFFF;
}

} // namespace testpic
