// The JPEG decoder that decodes at n/8 straight into the drawing format: its pixels against Qt's
// reader at each scale, the photo's orientation, grey and four-colour pictures, damaged streams
// refused without a word on standard error, and the decode deferred to the size drawn.
#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <jpeglib.h>
#include <unistd.h>

#include "TestPictures.h"
#include "model/PanelImage.h"
#include "render/DecodedPicture.h"
#include "render/JpegScaledDecoder.h"
#include "render/PicturePreparation.h"
#include "render/QtPictureDecoder.h"

using render::CQtDecodedPicture;
using render::CQtPictureDecoder;
using render::EJpegDecode;

namespace {

// Detail at several frequencies over a gradient, so that a wrong scale or a shifted row shows.
QImage Detailed(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const double a = std::sin(x * 0.21) * std::cos(y * 0.17);
            const double b = std::sin((x + 2 * y) * 0.05);
            row[x] = qRgb(int(127 + 60 * a + 50.0 * x / w), int(127 + 90 * b),
                          int(127 + 40 * a - 60 * b + 20.0 * y / h));
        }
    }
    return image;
}

QByteArray Encoded(const QImage& image, int quality = 92) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

QImage QtDecoded(const QByteArray& bytes, QSize scaled = {}) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(true);
    if (scaled.isValid()) {
        reader.setScaledSize(scaled);
    }
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Peak signal to noise over the three colour channels; infinity for equal pictures.
double Psnr(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) {
        return -1;
    }
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            for (const int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) {
                sum += double(d) * d;
            }
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

// The exact area average: each target pixel the mean of its fractional footprint.
QImage ExactAreaAverage(const QImage& source, QSize size) {
    const int sw = source.width();
    const int sh = source.height();
    const double fx = double(sw) / size.width();
    const double fy = double(sh) / size.height();
    std::vector<double> columns(std::size_t(size.width()) * sh * 3);
    for (int y = 0; y < sh; ++y) {
        for (int x = 0; x < size.width(); ++x) {
            double acc[3] = {};
            for (int s = int(x * fx); s < std::min(sw, int(std::ceil((x + 1) * fx))); ++s) {
                const double w =
                    std::min<double>(s + 1, (x + 1) * fx) - std::max<double>(s, x * fx);
                const QRgb p = source.pixel(s, y);
                acc[0] += w * qRed(p);
                acc[1] += w * qGreen(p);
                acc[2] += w * qBlue(p);
            }
            for (int c = 0; c < 3; ++c) {
                columns[(std::size_t(y) * size.width() + x) * 3 + c] = acc[c] / fx;
            }
        }
    }
    QImage out(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            double acc[3] = {};
            for (int s = int(y * fy); s < std::min(sh, int(std::ceil((y + 1) * fy))); ++s) {
                const double w =
                    std::min<double>(s + 1, (y + 1) * fy) - std::max<double>(s, y * fy);
                for (int c = 0; c < 3; ++c) {
                    acc[c] += w * columns[(std::size_t(s) * size.width() + x) * 3 + c];
                }
            }
            out.setPixel(x, y,
                         qRgb(int(std::lround(acc[0] / fy)), int(std::lround(acc[1] / fy)),
                              int(std::lround(acc[2] / fy))));
        }
    }
    return out;
}

// A four-colour (CMYK) JPEG, which the fast path leaves to Qt's reader.
QByteArray CmykJpeg(int w, int h) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(std::size_t(w) * 4);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (int x = 0; x < w; ++x) {
            row[std::size_t(x) * 4 + 0] = static_cast<unsigned char>(x * 255 / w);
            row[std::size_t(x) * 4 + 1] = static_cast<unsigned char>(cinfo.next_scanline * 255 / h);
            row[std::size_t(x) * 4 + 2] = 60;
            row[std::size_t(x) * 4 + 3] = 200;
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char*>(out), qsizetype(size));
    std::free(out);
    return bytes;
}

// Runs work with standard error going to a file; returns what was written there.
QByteArray StandardErrorOf(const QString& path, const std::function<void()>& work) {
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int file = ::open(path.toUtf8().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(file, 2);
    work();
    std::fflush(stderr);
    ::dup2(saved, 2);
    ::close(saved);
    ::close(file);
    return testpic::ReadAll(path);
}

// The entropy-coded data of a baseline JPEG: from after the start-of-scan segment to the end.
qsizetype ScanStart(const QByteArray& jpeg) {
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    const int length = (uchar(jpeg[sos + 2]) << 8) | uchar(jpeg[sos + 3]);
    return sos + 2 + length;
}

} // namespace

class CJpegDecodeTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void init() { QVERIFY(m_dir.isValid()); }

    // Each scale against Qt's reader asked for the same size: both run the same library, so
    // they may differ only by the colour conversion's rounding.
    void EachScaleMatchesQtsDecode_data() {
        QTest::addColumn<int>("eighths");
        QTest::addColumn<bool>("grey");
        for (const int eighths : {1, 2, 4, 8}) {
            QTest::addRow("%d/8 colour", eighths) << eighths << false;
            QTest::addRow("%d/8 grey", eighths) << eighths << true;
        }
        QTest::addRow("3/8 colour") << 3 << false; // a scale only this decoder offers
    }
    void EachScaleMatchesQtsDecode() {
        QFETCH(int, eighths);
        QFETCH(bool, grey);
        QImage source = Detailed(808, 600);
        if (grey) {
            source = source.convertToFormat(QImage::Format_Grayscale8);
        }
        const QByteArray bytes = Encoded(source);
        QImage pixels;
        QCOMPARE(render::DecodeJpegScaled(bytes, eighths, pixels), EJpegDecode::Decoded);
        QCOMPARE(pixels.format(), QImage::Format_RGB32);
        QCOMPARE(pixels.size(), QSize(808 * eighths / 8, 600 * eighths / 8));
        QCOMPARE(qAlpha(pixels.pixel(pixels.width() - 1, pixels.height() - 1)), 255);
        if (eighths == 3) {
            // Qt's reader cannot decode at 3/8: against an exact reduction of the full picture.
            const QImage reference = ExactAreaAverage(QtDecoded(bytes), pixels.size());
            QVERIFY2(Psnr(pixels, reference) >= 30,
                     qPrintable(QString::number(Psnr(pixels, reference))));
            return;
        }
        const QImage qt = QtDecoded(bytes, eighths == 8 ? QSize() : pixels.size());
        const double psnr = Psnr(pixels, qt);
        QVERIFY2(psnr >= 45, qPrintable(QString::number(psnr)));
        if (grey) {
            const QRgb p = pixels.pixel(100 * eighths / 8, 50 * eighths / 8);
            QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
    }

    // While reuse is on, a decode takes the buffer of a picture of its size let go of before,
    // and gives the same pixels as a decode into fresh memory; a buffer still in use is never
    // taken, and a decode of another size gets its own.
    void ReusedBuffersGiveTheSamePixels() {
        const QImage detailed = Detailed(1200, 900); // 4.3 MB decoded: a large buffer
        const QByteArray first = Encoded(detailed);
        const QByteArray second = Encoded(detailed.mirrored(true, true), 80);
        const QByteArray larger = Encoded(Detailed(1600, 1300)); // 8.3 MB: another size
        QImage freshFirst, freshSecond, freshLarger;
        QCOMPARE(render::DecodeJpegScaled(first, 8, freshFirst), EJpegDecode::Decoded);
        QCOMPARE(render::DecodeJpegScaled(second, 8, freshSecond), EJpegDecode::Decoded);
        QCOMPARE(render::DecodeJpegScaled(larger, 8, freshLarger), EJpegDecode::Decoded);
        freshFirst = freshFirst.copy();
        freshSecond = freshSecond.copy();
        freshLarger = freshLarger.copy();
        QVERIFY(freshFirst != freshSecond);

        const render::CPixelBufferReuse reuse;
        QImage a;
        QCOMPARE(render::DecodeJpegScaled(first, 8, a), EJpegDecode::Decoded);
        const uchar* const bits = a.constBits();
        a = QImage(); // let go of: kept
        QImage b;
        QCOMPARE(render::DecodeJpegScaled(second, 8, b), EJpegDecode::Decoded);
        QCOMPARE(b.constBits(), bits);
        QVERIFY(b == freshSecond);
        // b still holds the kept buffer: the next decode gets memory of its own.
        QImage c;
        QCOMPARE(render::DecodeJpegScaled(first, 8, c), EJpegDecode::Decoded);
        QVERIFY(c.constBits() != b.constBits());
        QVERIFY(c == freshFirst);
        // A picture of another size is not given the buffer kept (c's is kept now, too small).
        c = QImage();
        QImage large;
        QCOMPARE(render::DecodeJpegScaled(larger, 8, large), EJpegDecode::Decoded);
        QVERIFY(large.constBits() != bits);
        QVERIFY(large == freshLarger);
    }

    // Every EXIF orientation gives the picture Qt's reader shows, at the full size and at 1/8.
    void OrientationIsApplied_data() {
        QTest::addColumn<int>("orientation");
        for (int o = 1; o <= 8; ++o) {
            QTest::addRow("orientation %d", o) << o;
        }
    }
    void OrientationIsApplied() {
        QFETCH(int, orientation);
        const QByteArray bytes =
            testpic::WithExifOrientation(Encoded(Detailed(160, 96)), orientation);
        const QString path = m_dir.filePath(QStringLiteral("o%1.jpg").arg(orientation));
        testpic::WriteAll(path, bytes);
        const auto picture = CQtDecodedPicture::Open(path);
        QVERIFY(picture != nullptr);
        const QImage qt = QtDecoded(bytes);
        QCOMPARE(picture->Size(), qt.size());
        const QImage eighth = picture->PixelsCovering(qt.size() / 8);
        QCOMPARE(eighth.size(), qt.size() / 8);
        const double eighthPsnr = Psnr(eighth, ExactAreaAverage(qt, eighth.size()));
        QVERIFY2(eighthPsnr >= 30, qPrintable(QString::number(eighthPsnr)));
        const double psnr = Psnr(picture->PixelsCovering(qt.size()), qt);
        QVERIFY2(psnr >= 45, qPrintable(QString::number(psnr)));
    }

    // Damaged streams: refused, nothing printed, the process goes on.
    void DamagedStreamsAreRefusedSilently_data() {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray good = Encoded(Detailed(256, 192));
        const qsizetype scan = ScanStart(good);
        QTest::addRow("cut in the scan") << good.left(scan + (good.size() - scan) / 2);
        QTest::addRow("cut before the scan") << good.left(scan - 4);
        QByteArray noise = good;
        for (qsizetype i = scan + 10; i < noise.size() - 10; i += 7) {
            noise[i] = char(0xFF ^ (i & 0x7F)); // codes that do not exist, and stray markers
        }
        QTest::addRow("garbled entropy data") << noise;
        QByteArray badHeader = good;
        badHeader[badHeader.indexOf("\xFF\xC0") + 9] = 7; // a component count the frame cannot have
        QTest::addRow("bad frame header") << badHeader;
        QTest::addRow("not a JPEG") << QByteArray("\xFF\xD8 not really a picture");
    }
    void DamagedStreamsAreRefusedSilently() {
        QFETCH(QByteArray, bytes);
        EJpegDecode result = EJpegDecode::Decoded;
        const QByteArray printed = StandardErrorOf(m_dir.filePath("stderr.txt"), [&] {
            for (const int eighths : {1, 8}) {
                QImage pixels;
                result = render::DecodeJpegScaled(bytes, eighths, pixels);
                QVERIFY(pixels.isNull());
            }
        });
        QCOMPARE(result, EJpegDecode::Failed);
        QCOMPARE(printed, QByteArray());
    }

    // A four-colour JPEG is left to Qt's reader and still opens and decodes at a step.
    void FourColourJpegFallsBackToQt() {
        const QByteArray bytes = CmykJpeg(120, 80);
        QImage pixels;
        QCOMPARE(render::DecodeJpegScaled(bytes, 8, pixels), EJpegDecode::Unsupported);
        const QString path = m_dir.filePath("cmyk.jpg");
        testpic::WriteAll(path, bytes);
        const auto picture = CQtDecodedPicture::Open(path);
        QVERIFY(picture != nullptr);
        const QImage full = picture->PixelsCovering(QSize(120, 80));
        QCOMPARE(full.size(), QSize(120, 80));
        QVERIFY(Psnr(full, QtDecoded(bytes)) >= 45);
    }

    // Opened for a known size, a picture is decoded once, at that size: the decode that draws
    // it is also the one that proves it decodes. One that does not is refused at that point
    // and, asked for again without a size, is not handed out from the cache.
    void DeferredCheckDecodesOnceAtTheSizeDrawn_data() {
        QTest::addColumn<bool>("damaged");
        QTest::addRow("sound") << false;
        QTest::addRow("garbled entropy data") << true;
    }
    void DeferredCheckDecodesOnceAtTheSizeDrawn() {
        QFETCH(bool, damaged);
        QByteArray bytes = Encoded(Detailed(800, 600));
        if (damaged) {
            // Codes that do not exist, no byte a marker: the structure stays sound.
            for (qsizetype i = ScanStart(bytes) + 10; i < bytes.size() - 10; ++i) {
                bytes[i] = char(i % 2 == 0 ? 0x7F : 0xFE);
            }
        }
        const QString path = m_dir.filePath(damaged ? "damaged.jpg" : "sound.jpg");
        testpic::WriteAll(path, bytes);
        CQtPictureDecoder decoder;
        CPanelImage image;
        {
            render::CDeferredPictureCheck deferred;
            image.m_bitmap = decoder.Decode(path.toStdString());
        }
        const auto picture = std::dynamic_pointer_cast<const CQtDecodedPicture>(image.m_bitmap);
        QVERIFY(picture != nullptr); // the structure is sound in both
        QCOMPARE(picture->StepDecodeCount(), 0);
        image.m_rcBody = CRect{0, 0, 300, 225}; // at zoom 100 it needs the half step
        QCOMPARE(render::PreparePicture(image, 100), !damaged);
        QCOMPARE(picture->CheckDecodes(), !damaged);
        QCOMPARE(picture->DecodedSteps(), damaged ? 0u : 1u << 1);
        QCOMPARE(picture->StepDecodeCount(), damaged ? 0 : 1);
        const PictureHandle again = decoder.Decode(path.toStdString());
        QCOMPARE(again != nullptr, !damaged);
        QCOMPARE(decoder.FilesOpened(), 1);
    }

    // Slightly above the half (quarter) step, that step is enlarged instead of decoding the
    // next finer one, and the result stays close to an exact area average of the full picture.
    void StepStandsInJustBelowTheSizeDrawn_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<unsigned>("steps");
        QTest::addRow("1.077 x the half step") << QSize(431, 323) << (1u << 1);
        QTest::addRow("1.2 x the half step") << QSize(480, 360) << 1u;
        QTest::addRow("1.08 x the quarter step") << QSize(216, 162) << (1u << 2);
        QTest::addRow("1.1 x the quarter step, one side") << QSize(220, 150) << (1u << 2);
        QTest::addRow("1.12 x the quarter step") << QSize(224, 168) << (1u << 1);
        QTest::addRow("1.1 x the eighth step") << QSize(110, 82) << (1u << 2);
    }
    void StepStandsInJustBelowTheSizeDrawn() {
        QFETCH(QSize, size);
        QFETCH(unsigned, steps);
        const QByteArray bytes = Encoded(Detailed(800, 600), 95);
        const QString path = m_dir.filePath("photo.jpg");
        testpic::WriteAll(path, bytes);
        const auto picture = CQtDecodedPicture::Open(path, render::kMaxPictureBytes, false);
        QVERIFY(picture != nullptr);
        const QImage drawn = picture->AreaAveraged(size);
        QCOMPARE(drawn.size(), size);
        QCOMPARE(picture->DecodedSteps(), steps);
        const double psnr = Psnr(drawn, ExactAreaAverage(QtDecoded(bytes), size));
        QVERIFY2(psnr >= 40, qPrintable(QString::number(psnr)));
    }
};

QTEST_MAIN(CJpegDecodeTest)
#include "jpeg_decode_test.moc"
