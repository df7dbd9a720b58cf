// PNGs and BMPs decoded in bands: each kind of pixel at each reduction against a box average of
// Qt's decode, the kinds left to Qt's reader, files cut short, and the steps a panel draws from.
#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <QtTest>
#include <png.h>

#include "TestPictures.h"
#include "render/BmpBandDecoder.h"
#include "render/DecodedPicture.h"
#include "render/PngBandDecoder.h"

using render::CQtDecodedPicture;
using render::EBmpBands;
using render::EPngBands;

namespace {

QImage Detailed(int w, int h, int alphaEvery = 0) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int alpha = alphaEvery > 0 ? (x * 7 + y * 3) % 256 : 255;
            image.setPixel(x, y, qRgba((x * 13 + y) % 256, (x * y) % 256, (y * 5) % 256, alpha));
        }
    }
    return image;
}

// The mean of each factor x factor block (a last partial block left out), premultiplied.
QImage BoxAverage(const QImage& sourceAny, int factor) {
    const QImage source = sourceAny.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = std::max(1, source.width() / factor);
    const int h = std::max(1, source.height() / factor);
    const int bw = std::min(factor, source.width());
    const int bh = std::min(factor, source.height());
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum[4] = {};
            for (int j = 0; j < bh; ++j) {
                for (int i = 0; i < bw; ++i) {
                    const QRgb p = source.pixel(x * factor + i, y * factor + j);
                    sum[0] += qRed(p);
                    sum[1] += qGreen(p);
                    sum[2] += qBlue(p);
                    sum[3] += qAlpha(p);
                }
            }
            const int n = bw * bh;
            out.setPixel(x, y,
                         qRgba((sum[0] + n / 2) / n, (sum[1] + n / 2) / n, (sum[2] + n / 2) / n,
                               (sum[3] + n / 2) / n));
        }
    }
    return out;
}

int LargestDifference(const QImage& a, const QImage& b) {
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, testpic::ColorDistance(p, q), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return most;
}

// An interlaced (Adam7) RGB PNG, which Qt's writer does not make.
QByteArray InterlacedPng(const QImage& image) {
    QByteArray bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, std::size_t length) {
            static_cast<QByteArray*>(png_get_io_ptr(p))
                ->append(reinterpret_cast<const char*>(data), qsizetype(length));
        },
        nullptr);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_ADAM7, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<png_bytep> rows;
    for (int y = 0; y < rgb.height(); ++y) {
        rows.push_back(const_cast<png_bytep>(rgb.constScanLine(y)));
    }
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

// Qt's bottom-up 24-bit BMP turned into the same picture stored top down.
QByteArray TopDownBmp(const QByteArray& bottomUp, int width, int height) {
    const qsizetype offset = qFromLittleEndian<quint32>(bottomUp.constData() + 10);
    const qsizetype rowBytes = (qsizetype(width) * 3 + 3) / 4 * 4;
    QByteArray out = bottomUp.left(offset);
    qToLittleEndian<qint32>(-height, out.data() + 22);
    for (int y = height - 1; y >= 0; --y) {
        out += bottomUp.mid(offset + y * rowBytes, rowBytes);
    }
    return out;
}

} // namespace

class CPictureBandsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    void EachKindOfPixelAtEachReduction_data() {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<int>("factor");
        const QImage rgba = Detailed(103, 61, 1);
        const struct {
            const char* name;
            QImage image;
        } kinds[] = {
            {"RGB", Detailed(103, 61).convertToFormat(QImage::Format_RGB32)},
            {"RGBA", rgba},
            {"RGBA 16 bits", rgba.convertToFormat(QImage::Format_RGBA64)},
            {"grey", Detailed(103, 61).convertToFormat(QImage::Format_Grayscale8)},
            {"palette", testpic::Palette8(103, 61)},
            {"one bit", Detailed(103, 61).convertToFormat(QImage::Format_Mono)},
            {"narrower than a block", Detailed(5, 3).convertToFormat(QImage::Format_RGB32)},
        };
        for (const auto& kind : kinds) {
            for (const int factor : {1, 2, 4, 8}) {
                QTest::addRow("%s, 1/%d", kind.name, factor) << kind.image << factor;
            }
        }
    }
    void EachKindOfPixelAtEachReduction() {
        QFETCH(QImage, image);
        QFETCH(int, factor);
        const QString path = testpic::Save(m_dir, "kind.png", image, "PNG");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QImage reduced;
        QCOMPARE(render::DecodePngReduced(file, factor, reduced), EPngBands::Decoded);
        const QImage qt = QImageReader(path).read();
        const QImage expected = BoxAverage(qt, factor);
        QCOMPARE(reduced.size(), expected.size());
        QCOMPARE(reduced.hasAlphaChannel(), qt.hasAlphaChannel());
        // Premultiplying before or after the average rounds differently by at most one or two.
        QVERIFY2(LargestDifference(reduced, expected) <= (qt.hasAlphaChannel() ? 2 : 0),
                 qPrintable(QString::number(LargestDifference(reduced, expected))));
    }

    void BmpRowsAtEachReduction_data() {
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("factor");
        for (const bool topDown : {false, true}) {
            for (const QSize size : {QSize(103, 61), QSize(5, 3)}) {
                for (const int factor : {1, 2, 4, 8}) {
                    QTest::addRow("%s %dx%d, 1/%d", topDown ? "top down" : "bottom up",
                                  size.width(), size.height(), factor)
                        << topDown << size << factor;
                }
            }
        }
    }
    void BmpRowsAtEachReduction() {
        QFETCH(bool, topDown);
        QFETCH(QSize, size);
        QFETCH(int, factor);
        const QImage image =
            Detailed(size.width(), size.height()).convertToFormat(QImage::Format_RGB32);
        const QString path = testpic::Save(m_dir, "rows.bmp", image, "BMP");
        if (topDown) {
            testpic::WriteAll(path,
                              TopDownBmp(testpic::ReadAll(path), size.width(), size.height()));
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QImage reduced;
        QCOMPARE(render::DecodeBmpReduced(file, factor, reduced), EBmpBands::Decoded);
        const QImage expected = BoxAverage(image, factor);
        QCOMPARE(reduced.size(), expected.size());
        QCOMPARE(LargestDifference(reduced, expected), 0);
    }

    // What the band decoders do not read goes to Qt's reader; files cut short are refused.
    void OtherKindsAndShortFiles() {
        const QString palette =
            testpic::Save(m_dir, "palette.bmp", testpic::Palette8(30, 20), "BMP");
        QFile file(palette);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QImage reduced;
        QCOMPARE(render::DecodeBmpReduced(file, 2, reduced), EBmpBands::Unsupported);
        file.close();

        const QImage image = Detailed(64, 40).convertToFormat(QImage::Format_RGB32);
        for (const char* format : {"BMP", "PNG"}) {
            const QString path =
                testpic::Save(m_dir, QStringLiteral("cut.%1").arg(format), image, format);
            testpic::WriteAll(path, testpic::ReadAll(path).chopped(200));
            QFile cut(path);
            QVERIFY(cut.open(QIODevice::ReadOnly));
            const bool refused =
                QByteArray(format) == "BMP"
                    ? render::DecodeBmpReduced(cut, 1, reduced) == EBmpBands::Failed
                    : render::DecodePngReduced(cut, 1, reduced) == EPngBands::Failed;
            QVERIFY2(refused && reduced.isNull(), format);
            QVERIFY(CQtDecodedPicture::Open(path) == nullptr);
        }
    }

    void InterlacedPngIsLeftToQt() {
        const QImage image = Detailed(64, 40).convertToFormat(QImage::Format_RGB32);
        const QString path = m_dir.filePath("interlaced.png");
        testpic::WriteAll(path, InterlacedPng(image));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QImage reduced;
        QCOMPARE(render::DecodePngReduced(file, 2, reduced), EPngBands::Unsupported);
        const auto picture = CQtDecodedPicture::Open(path);
        QVERIFY(picture != nullptr);
        QCOMPARE(LargestDifference(picture->PixelsCovering(QSize(64, 40)), image), 0);
    }

    // A panel draws from the coarsest reduction covering its size; the full picture is decoded
    // only when it is drawn at its own size.
    void StepsFollowTheSizeDrawn_data() {
        QTest::addColumn<QString>("format");
        QTest::addRow("PNG") << "PNG";
        QTest::addRow("BMP") << "BMP";
    }
    void StepsFollowTheSizeDrawn() {
        QFETCH(QString, format);
        const QImage image = Detailed(800, 600).convertToFormat(QImage::Format_RGB32);
        const QString path =
            testpic::Save(m_dir, "steps." + format.toLower(), image, format.toUtf8().constData());
        const auto picture = CQtDecodedPicture::Open(path);
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->Size(), QSize(800, 600));
        QCOMPARE(picture->DecodedSteps(), 1u << 3); // 1/8 proves that it decodes
        QCOMPARE(picture->AreaAveraged(QSize(300, 225)).size(), QSize(300, 225));
        QCOMPARE(picture->DecodedSteps(), (1u << 3) | (1u << 1));
        QCOMPARE(LargestDifference(picture->PixelsCovering(QSize(800, 600)), image), 0);
        QCOMPARE(picture->StepDecodeCount(), 3);
    }
};

QTEST_MAIN(CPictureBandsTest)
#include "picture_bands_test.moc"
