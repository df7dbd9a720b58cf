// The export's own PNG writer: what Qt's reader reads back is the image written (opaque, with
// alpha, from any format), the density survives, and the files stay near the size of a
// thoroughly compressed PNG of the same frame.
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QtTest>

#include "export/PngWriter.h"

using exporting::CPngBytes;
using exporting::EncodePng;

namespace {

// Smooth colour with noise of a few levels: compresses like a photograph.
QImage PhotoLike(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int n = int(random.bounded(9)) - 4;
            row[x] = qRgb(qBound(0, x * 255 / width + n, 255), qBound(0, y * 255 / height - n, 255),
                          qBound(0, (x + y) * 127 / (width + height) + 64 + n, 255));
        }
    }
    return image;
}

// Flat fills with dark outlines and text: compresses like a drawing.
QImage FlatDrawing(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(244, 240, 224));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 6));
    painter.setBrush(QColor(48, 112, 192));
    painter.drawRect(0, height * 2 / 3, width, height / 3);
    painter.setBrush(QColor(255, 208, 64));
    painter.drawEllipse(QPoint(width * 4 / 5, height / 4), width / 16, width / 16);
    painter.setBrush(QColor(192, 64, 64));
    painter.drawRoundedRect(width / 2, height / 2, width / 5, height / 3, 40, 40);
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(width / 3, height / 5), width / 5, height / 8);
    QFont font = painter.font();
    font.setPixelSize(height / 20);
    painter.setFont(font);
    painter.drawText(QRect(width / 6, height / 7, width / 3, height / 10), Qt::AlignCenter,
                     QStringLiteral("A flat frame"));
    return image;
}

// Every alpha with colours that premultiplying would lose.
QImage Translucent(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = qRgba((x * 37) & 255, (y * 91) & 255, (x ^ y) & 255, (x * 7 + y * 3) & 255);
        }
    }
    return image;
}

QByteArray Encoded(const QImage& image) {
    CPngBytes png;
    std::string error;
    if (!EncodePng(image, png, error)) {
        return {};
    }
    return {png.Data(), qsizetype(png.Size())};
}

QImage Decoded(const QByteArray& bytes) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    return reader.read();
}

qsizetype QtDefaultSize(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? bytes.size() : -1;
}

} // namespace

class CPngWriterTest : public QObject {
    Q_OBJECT

private slots:
    // Read back pixel for pixel: RGB for opaque formats, straight (not premultiplied) RGBA
    // for formats with alpha, at sizes with a single row or column too.
    void ReadsBackAsWritten_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<bool>("alpha");
        const QImage photo = PhotoLike(257, 33);
        QTest::newRow("rgb32") << photo << false;
        QTest::newRow("one pixel") << PhotoLike(1, 1) << false;
        QTest::newRow("one row") << PhotoLike(301, 1) << false;
        QTest::newRow("one column") << PhotoLike(1, 45) << false;
        QTest::newRow("rgb888") << photo.convertToFormat(QImage::Format_RGB888) << false;
        QTest::newRow("grey") << photo.convertToFormat(QImage::Format_Grayscale8) << false;
        QTest::newRow("argb32") << Translucent(131, 29) << true;
        QTest::newRow("argb32 one column") << Translucent(1, 17) << true;
        QTest::newRow("premultiplied")
            << Translucent(64, 64).convertToFormat(QImage::Format_ARGB32_Premultiplied) << true;
    }
    void ReadsBackAsWritten() {
        QFETCH(QImage, image);
        QFETCH(bool, alpha);
        const QByteArray bytes = Encoded(image);
        QVERIFY(bytes.startsWith("\x89PNG\r\n\x1a\n"));
        const QImage read = Decoded(bytes);
        QCOMPARE(read.size(), image.size());
        QCOMPARE(read.hasAlphaChannel(), alpha);
        const QImage::Format format = alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        QCOMPARE(read.convertToFormat(format), image.convertToFormat(format));
    }

    void KeepsTheDensity() {
        QImage image = PhotoLike(40, 30);
        image.setDotsPerMeterX(3780);
        image.setDotsPerMeterY(5906);
        const QImage read = Decoded(Encoded(image));
        QCOMPARE(read.dotsPerMeterX(), 3780);
        QCOMPARE(read.dotsPerMeterY(), 5906);
    }

    // At most 1.3 times the size of Qt's writer at its default zlib level 6 with every filter.
    void StaysNearTheDefaultLevelsSize_data() {
        QTest::addColumn<QImage>("image");
        QTest::newRow("photograph-like 1620 x 1080") << PhotoLike(1620, 1080);
        QTest::newRow("drawing 1620 x 1080") << FlatDrawing(1620, 1080);
    }
    void StaysNearTheDefaultLevelsSize() {
        QFETCH(QImage, image);
        const qsizetype reference = QtDefaultSize(image);
        const qsizetype size = Encoded(image).size();
        QVERIFY(reference > 0 && size > 0);
        QVERIFY2(double(size) <= 1.3 * double(reference),
                 qPrintable(QStringLiteral("%1 against %2 bytes").arg(size).arg(reference)));
    }

    void RefusesANullImage() {
        CPngBytes png;
        std::string error;
        QVERIFY(!EncodePng(QImage(), png, error));
        QVERIFY(!error.empty());
        QCOMPARE(png.Size(), std::size_t(0));
    }
};

QTEST_MAIN(CPngWriterTest)
#include "png_writer_test.moc"
