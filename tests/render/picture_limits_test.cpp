// Pictures that are hostile or merely huge: files that are no regular files, truncated BMPs,
// decoder messages kept off standard error, the memory a decode holds at its peak (measured in
// a child process), and a 749-megapixel JPEG drawn from the step its zoom needs.
#include <QImageReader>
#include <QPainter>
#include <QScopeGuard>
#include <QtEndian>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestPictures.h"
#include "model/VelmoDoc.h"
#include "render/DecodedPicture.h"
#include "render/DecoderMessages.h"
#include "render/PanelRenderer.h"
#include "render/PicturePreparation.h"
#include "render/QtPictureDecoder.h"

using render::CQtDecodedPicture;
using render::CQtPictureDecoder;

namespace {

constexpr qint64 kMiB = qint64(1) << 20;

long PeakResidentKiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Runs work in a child process and returns how far its peak resident memory rose above what it
// had at the start, in bytes; -1 when work failed (returned false) or the child died.
qint64 PeakGrowthInChild(const std::function<bool()>& work) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        const long before = PeakResidentKiB();
        const bool ok = work();
        const qint64 growth = ok ? qint64(PeakResidentKiB() - before) * 1024 : -1;
        (void)!::write(pipeFds[1], &growth, sizeof growth);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    qint64 growth = -1;
    if (::read(pipeFds[0], &growth, sizeof growth) != sizeof growth) {
        growth = -1;
    }
    ::close(pipeFds[0]);
    ::waitpid(child, nullptr, 0);
    return growth;
}

// A grey baseline JPEG of any size whose every 8 x 8 block costs two bits: one-code Huffman
// tables, a DC difference of 0 (mid grey) and an end of block. 22500 x 33300 is 2.9 MB.
QByteArray FlatGreyJpeg(int width, int height) {
    QByteArray j;
    auto put = [&](std::initializer_list<int> bytes) {
        for (int b : bytes) {
            j.append(char(b));
        }
    };
    put({0xFF, 0xD8});
    put({0xFF, 0xDB, 0x00, 0x43, 0x00}); // quantisation table 0, all ones
    j.append(QByteArray(64, char(1)));
    put({0xFF, 0xC0, 0x00, 0x0B, 0x08, height >> 8, height & 0xFF, width >> 8, width & 0xFF, 0x01,
         0x01, 0x11, 0x00});
    // DC table 0 and AC table 0: one code of length 1, for category 0 and end of block.
    for (int tableClass : {0x00, 0x10}) {
        put({0xFF, 0xC4, 0x00, 0x14, tableClass, 0x01});
        j.append(QByteArray(15, char(0)));
        put({0x00});
    }
    put({0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3F, 0x00});
    const qint64 blocks = qint64((width + 7) / 8) * ((height + 7) / 8);
    j.append(QByteArray((blocks * 2 + 7) / 8, char(0)));
    put({0xFF, 0xD9});
    return j;
}

quint32 Crc32(const QByteArray& bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= static_cast<unsigned char>(ch);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

} // namespace

class CPictureLimitsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    QString Path(const char* name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // A FIFO would block the open for ever; a device would be read without end. (The alarm
    // ends the test when something blocks.)
    void FifoAndDeviceAreRefusedAtOnce() {
        QVERIFY(::mkfifo(Path("fifo.jpg").toUtf8().constData(), 0600) == 0);
        QVERIFY(::symlink("/dev/zero", Path("zero.png").toUtf8().constData()) == 0);
        QVERIFY(::symlink("/dev/urandom", Path("random.bmp").toUtf8().constData()) == 0);
        CQtPictureDecoder decoder;
        ::alarm(60);
        for (const char* name : {"fifo.jpg", "zero.png", "random.bmp"}) {
            QVERIFY2(decoder.Decode(Path(name).toStdString()) == nullptr, name);
            QVERIFY2(CQtDecodedPicture::Open(Path(name)) == nullptr, name);
            CPanelImage image;
            QCOMPARE(image.Import(Path(name).toStdString(), decoder), EImportResult::Undecodable);
        }
        ::alarm(0);
    }

    void TruncatedBmpIsRefused() {
        const QImage photo = testpic::Gradient(640, 480);
        struct SCase {
            const char* name;
            QImage image;
            qsizetype keep; // bytes kept of the file, 0 for all of it
            bool accepted;
        };
        const SCase cases[] = {
            {"whole24.bmp", photo, 0, true},
            {"cut24.bmp", photo, 5000, false},
            {"short24.bmp", photo, -1, false}, // one byte short
            {"whole8.bmp", testpic::Palette8(30, 20), 0, true},
            {"short8.bmp", testpic::Palette8(30, 20), -1, false},
            {"header.bmp", photo, 20, false}, // not even the whole header
        };
        for (const SCase& c : cases) {
            const QString path = testpic::Save(m_dir, c.name, c.image, "BMP");
            QByteArray bytes = testpic::ReadAll(path);
            if (c.keep != 0) {
                bytes.truncate(c.keep > 0 ? c.keep : bytes.size() + c.keep);
                testpic::WriteAll(path, bytes);
            }
            QCOMPARE(CQtDecodedPicture::Open(path) != nullptr, c.accepted);
        }
    }

    // Damaged pictures are refused without a line on standard error: a PNG whose data no
    // longer matches its CRC, one whose CRCs are right but whose data does not inflate, and a
    // JPEG with a stray marker in its scan (whose decoder warnings are filtered).
    void DamagedPicturesStayOffStandardError() {
        const QString png = testpic::Save(m_dir, "damaged.png", testpic::Gradient(64, 48), "PNG");
        QByteArray bytes = testpic::ReadAll(png);
        const qsizetype idat = bytes.indexOf("IDAT");
        QVERIFY(idat > 0);
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + idat - 4);
        QByteArray badCrc = bytes;
        badCrc[idat + 6] = char(badCrc[idat + 6] ^ 0x55);
        testpic::WriteAll(Path("bad-crc.png"), badCrc);
        QByteArray badData = badCrc; // the same damage with its CRC made right
        qToBigEndian<quint32>(Crc32(badData.mid(idat, 4 + length)),
                              badData.data() + idat + 4 + length);
        testpic::WriteAll(Path("bad-data.png"), badData);

        const QString jpeg = testpic::Save(m_dir, "stray.jpg", testpic::Gradient(256, 256), "JPEG");
        QByteArray stray = testpic::ReadAll(jpeg);
        stray.insert(stray.lastIndexOf("\xFF\xD9") - 200, QByteArray("\xFF\xD3\x12\x34", 4));
        testpic::WriteAll(Path("stray.jpg"), stray);

        CQtPictureDecoder decoder;
        const int filteredBefore = render::FilteredDecoderMessages();
        std::fflush(stderr);
        const int savedErr = ::dup(2);
        const QString errPath = Path("stderr.txt");
        const int errFile =
            ::open(errPath.toUtf8().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(errFile, 2);
        const PictureHandle crc = decoder.Decode(Path("bad-crc.png").toStdString());
        const PictureHandle data = decoder.Decode(Path("bad-data.png").toStdString());
        const PictureHandle strayJpeg = decoder.Decode(Path("stray.jpg").toStdString());
        const QImage strayPixels =
            strayJpeg
                ? std::dynamic_pointer_cast<const CQtDecodedPicture>(strayJpeg)->PixelsCovering(
                      QSize(256, 256))
                : QImage();
        std::fflush(stderr);
        ::dup2(savedErr, 2);
        ::close(savedErr);
        ::close(errFile);
        QVERIFY(crc == nullptr);
        QVERIFY(data == nullptr);
        QVERIFY(decoder.Decode(png.toStdString()) != nullptr); // undamaged, it decodes
        QCOMPARE(testpic::ReadAll(errPath), QByteArray());
        QVERIFY(render::FilteredDecoderMessages() > filteredBefore); // the JPEG's warnings
    }

    void DecodePeakCountsEveryCopy() {
        const QSize size(1000, 1000);
        QCOMPARE(render::DecodePeakBytes(size, QImage::Format_ARGB32), 4'000'000); // in place
        QCOMPARE(render::DecodePeakBytes(size, QImage::Format_RGB32), 4'000'000);
        QCOMPARE(render::DecodePeakBytes(size, QImage::Format_RGBA64), 12'000'000);
        QCOMPARE(render::DecodePeakBytes(size, QImage::Format_Grayscale8), 5'000'000);
        QCOMPARE(render::DecodePeakBytes(size, QImage::Format_Invalid), 12'000'000);
    }

    // With a 64 MiB limit: the largest picture of each kind that the accounting lets through
    // is decoded with its peak within the limit (plus the reader's own few megabytes), and one
    // a little larger is refused.
    void PeakMemoryStaysWithinTheLimit_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("acceptedSide");
        QTest::addColumn<int>("refusedSide");
        QTest::newRow("RGBA, 8 bits") << int(QImage::Format_ARGB32) << 4090 << 4100;
        QTest::newRow("RGBA, 16 bits") << int(QImage::Format_RGBA64) << 2362 << 2366;
        QTest::newRow("grey, 8 bits") << int(QImage::Format_Grayscale8) << 3660 << 3665;
    }
    void PeakMemoryStaysWithinTheLimit() {
#if defined(__SANITIZE_ADDRESS__)
        // The address sanitizer's shadow memory and freed-block quarantine add to every peak.
        QSKIP("peak memory is not measurable under AddressSanitizer");
#endif
        QFETCH(int, format);
        QFETCH(int, acceptedSide);
        QFETCH(int, refusedSide);
        constexpr qint64 kLimit = 64 * kMiB;
        const auto fmt = static_cast<QImage::Format>(format);
        QStringList paths;
        for (int side : {acceptedSide, refusedSide}) {
            QImage image(side, side, fmt);
            image.fill(QColor(10, 200, 30, 128));
            const QString name = QStringLiteral("limit-%1-%2.png").arg(format).arg(side);
            paths << testpic::Save(m_dir, name.toUtf8().constData(), image, "PNG", 0);
        }
        QVERIFY(CQtDecodedPicture::Open(paths[1], kLimit) == nullptr);
        const qint64 growth = PeakGrowthInChild([&] {
            const auto picture = CQtDecodedPicture::Open(paths[0], kLimit);
            return picture != nullptr && picture->Size() == QSize(acceptedSide, acceptedSide);
        });
        QVERIFY2(growth > 0, "the picture was not decoded");
        qInfo("peak memory grew by %.1f MiB", double(growth) / kMiB);
        QVERIFY2(growth <= kLimit + 8 * kMiB, qPrintable(QString::number(growth / kMiB)));
    }

    // A PNG or BMP drawn small is decoded in bands straight to a reduction: its pixels at their
    // own size (4000 x 3000 x 4 bytes, 45.8 MiB) are never held, neither opening nor drawing
    // it: the peak is the reduction, a few rows and the readers' own few MiB.
    void APictureDrawnSmallNeverHoldsItsFullSize_data() {
        QTest::addColumn<QString>("format");
        QTest::addRow("PNG") << "PNG";
        QTest::addRow("BMP") << "BMP";
    }
    void APictureDrawnSmallNeverHoldsItsFullSize() {
#if defined(__SANITIZE_ADDRESS__)
        QSKIP("peak memory is not measurable under AddressSanitizer");
#endif
        QFETCH(QString, format);
        QImage image(4000, 3000, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                row[x] = qRgb(x % 251, y % 241, (x ^ y) & 0xFF);
            }
        }
        const QString path =
            testpic::Save(m_dir, ("large." + format.toLower()).toUtf8().constData(), image,
                          format.toUtf8().constData(), 80);
        image = QImage();
        const qint64 full = qint64(4000) * 3000 * 4;
        const qint64 growth = PeakGrowthInChild([&] {
            const auto picture = CQtDecodedPicture::Open(path);
            return picture != nullptr && !picture->AreaAveraged(QSize(300, 225)).isNull();
        });
        qInfo("peak memory grew by %.1f MiB", double(growth) / kMiB);
        QVERIFY2(growth >= 0 && growth <= full / 5, qPrintable(QString::number(growth)));
    }

    // A 22500 x 33300 photograph needs 3 GB decoded whole; at zoom 100 its panel shows it 300
    // pixels wide, which the 1/8 step (2812 x 4162) covers.
    void AHugeJpegOpensAndDrawsFromTheStepItsZoomNeeds() {
        const QString path = Path("huge.jpg");
        testpic::WriteAll(path, FlatGreyJpeg(22500, 33300));
        QVERIFY(testpic::ReadAll(path).size() < 4 * kMiB);
        const qint64 growth = PeakGrowthInChild([&] {
            CQtPictureDecoder decoder;
            CPanel panel;
            testpic::MakeEmptyPanel(panel);
            if (panel.m_image.Import(path.toStdString(), decoder) != EImportResult::Imported) {
                return false;
            }
            QImage canvas(640, 480, QImage::Format_RGB32);
            QPainter painter(&canvas);
            render::DrawPanel(painter, panel, 100, render::kSelectNone);
            painter.end();
            const QRgb middle = canvas.pixel(200, 200); // inside the picture: mid grey
            return panel.m_image.m_bitmap->Width() == 22500 &&
                   panel.m_image.m_bitmap->Height() == 33300 && qGray(middle) > 120 &&
                   qGray(middle) < 136 && !render::PictureShownReduced(panel.m_image, 100);
        });
        QVERIFY2(growth > 0, "the picture did not open or draw");
        qInfo("peak memory grew by %.1f MiB", double(growth) / kMiB);
        QVERIFY2(growth < 256 * kMiB, qPrintable(QString::number(growth / kMiB)));
    }

    // Where the zoom needs a step beyond the limit, the finest step within it is enlarged and
    // the picture is said to be shown reduced.
    void AZoomBeyondTheLimitIsShownReduced() {
        const QString path = Path("reduced.jpg");
        testpic::WriteAll(path, FlatGreyJpeg(22500, 33300));
        const auto picture = CQtDecodedPicture::Open(path, 64 * kMiB);
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->FinestStep(), 8);
        QVERIFY(!picture->ShownReducedAt(QSize(2812, 4162)));
        QVERIFY(picture->ShownReducedAt(QSize(3000, 4000)));
        QCOMPARE(picture->PixelsCovering(QSize(3000, 4000)).size(), QSize(2812, 4162));
        QCOMPARE(picture->StepDecodeCount(), 1);

        CPanelImage image;
        image.m_bitmap = picture;
        image.m_rcBody = CRect{0, 0, 3000, 4440};
        QVERIFY(render::PictureShownReduced(image, 100));
        QVERIFY(!render::PictureShownReduced(image, 50));
        QImage canvas(320, 240, QImage::Format_RGB32);
        QPainter painter(&canvas);
        render::DrawPicture(painter, image, false, 100, 0, 0);
        painter.end();
        QVERIFY(qAbs(qGray(canvas.pixel(100, 100)) - 128) < 8);
        QCOMPARE(picture->StepDecodeCount(), 1);
    }

    // A few bytes declaring a huge picture are refused before any decoding; so is a picture a
    // single step of which exceeds the limit.
    void AJpegTooSmallForItsDeclaredSizeIsRefused() {
        const QByteArray whole = FlatGreyJpeg(4000, 4000); // 62,500 bytes of scan data
        testpic::WriteAll(Path("whole.jpg"), whole);
        QVERIFY(CQtDecodedPicture::Open(Path("whole.jpg")) != nullptr);
        // The 1/8 step alone (500 x 500 grey, widened) exceeds a 1 MiB limit.
        QVERIFY(CQtDecodedPicture::Open(Path("whole.jpg"), 1 * kMiB) == nullptr);
        QByteArray thin = whole;
        thin.remove(thin.size() - 2 - 50'000, 50'000); // too few bits for its 250,000 blocks
        testpic::WriteAll(Path("thin.jpg"), thin);
        QVERIFY(CQtDecodedPicture::Open(Path("thin.jpg")) == nullptr);
    }

    // A GIF whose header gives the reader a small size but whose logical screen is far larger
    // (found by fuzzing): the limit holds for the pixels the decoder delivers.
    void APictureLargerThanItsHeaderSaysIsHeldToTheLimit() {
        const QByteArray gif = QByteArray::fromBase64(
            "R0lGODlh6An3/vMAAP8AAOgAF9EALrkARqIAC////////yUAokYAuS4A0RcA6AAA/wAAAAAAAAAAAAAAAC"
            "H5BAAAAAAAIf8LSW1hZ2VNYWdpY2sNZ2FtbS8qNS40NTQ1NQAsAAAAABAADAAABDkQyEkrCDjrHYT/YCgM"
            "ZGmeA6GubEsUcCzPhWHfeG4cfO8=");
        testpic::WriteAll(Path("screen.gif"), gif);
        // Qt's reader allowed as much as the program allows it.
        const int qtLimit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(render::kDecoderAllocationLimitMb);
        const auto restore = qScopeGuard([qtLimit] { QImageReader::setAllocationLimit(qtLimit); });
        const auto whole = CQtDecodedPicture::Open(Path("screen.gif"));
        QVERIFY(whole != nullptr);
        const qint64 bytes = qint64(whole->Width()) * whole->Height() * 4;
        QVERIFY(bytes > 4 * kMiB);
        QVERIFY(CQtDecodedPicture::Open(Path("screen.gif"), bytes - 1) == nullptr);
        QVERIFY(CQtDecodedPicture::Open(Path("screen.gif"), bytes) != nullptr);
    }
};

QTEST_MAIN(CPictureLimitsTest)
#include "picture_limits_test.moc"
