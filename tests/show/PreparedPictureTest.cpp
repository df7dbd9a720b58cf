// How the player's worker gets a picture ready: when it decodes the coarsest step ahead of the
// step the screen needs, how a step smaller than the size drawn is stretched onto the screen,
// and the screen-sized images it draws into.
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "model/Playback.h"
#include "render/DecodedPicture.h"
#include "render/JpegScaledDecoder.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"
#include "show/PanelPreparer.h"
#include "show/ScreenCanvas.h"
#include "show/ScreenWnd.h"

using namespace testsupport;

namespace {

// Bit 3 of DecodedSteps: the coarsest step (1/8); bit 1 the half step; bit 0 the full picture.
constexpr unsigned kEighth = 1u << 3;
constexpr unsigned kHalf = 1u << 1;
constexpr unsigned kFull = 1u;

// A smooth picture, so that two smooth enlargements of it differ only by rounding.
bool WriteGradient(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y,
                           qRgb(40 + 170 * x / size.width(), 60 + 150 * y / size.height(),
                                200 - 120 * (x + y) / (size.width() + size.height())));
        }
    }
    return image.save(path, "JPEG", 95);
}

// The largest difference of one channel between two images over rc.
int LargestDifference(const QImage& a, const QImage& b, const QRect& rc) {
    int most = 0;
    for (int y = rc.top(); y <= rc.bottom(); ++y) {
        for (int x = rc.left(); x <= rc.right(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return most;
}

} // namespace

class CPreparedPictureTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    // How soon the next panel's turn may come: by hand the wait of the layer shown last, in an
    // automatic show the wait counting down and those of the layers still to come.
    void theNextPanelsTurnIsEstimatedFromTheWaits() {
        render::CQtPictureDecoder decoder;
        CPlayback playback(decoder, 640, 480);
        playback.m_panel = MakePanel(320, 240, MakeRgb(0, 0, 0));
        playback.m_panel.m_nFirstWait = 5;
        playback.m_panel.m_image.m_nWait = 7;
        playback.m_panel.m_fuki[2].m_nOrder = 1;
        playback.m_panel.m_fuki[2].m_nWait = 3;
        playback.m_panel.m_fuki[0].m_nOrder = 2;
        playback.m_panel.m_fuki[0].m_nWait = 4;
        struct SRow {
            bool bManual;
            int nStep;      // the layer drawn next
            int nWaitTicks; // ticks still to wait after the layer drawn last
            std::int64_t nMs;
        };
        const SRow rows[] = {
            {true, 1, 5, 500},                    // the background shown: its own wait
            {true, 2, 0, 700},                    // the picture shown
            {true, 4, 0, 400},                    // the last balloon shown
            {false, 1, 5, 500 + 700 + 300 + 400}, // all the waits left
            {false, 1, 2, 200 + 700 + 300 + 400}, // the background's wait partly gone
            {false, 3, 1, 100 + 400},             // after the first balloon
            {false, 4, 0, 0},                     // the last layer's wait is over
        };
        for (const SRow& row : rows) {
            playback.m_bManual = row.bManual;
            playback.m_nStep = row.nStep;
            playback.m_nWaitTicks = row.nWaitTicks;
            QCOMPARE(MsBeforeNextPanel(playback), row.nMs);
        }

        // The coarse step is decoded first only when the turn may come within twice the time
        // a preparation is expected to take, and never for a panel without a picture.
        QVERIFY(CoarseStepWanted(0, 24.0, 10.0));
        QVERIFY(CoarseStepWanted(479, 24.0, 10.0));
        QVERIFY(!CoarseStepWanted(480, 24.0, 10.0));
        QVERIFY(!CoarseStepWanted(3000, 24.0, 10.0));
        QVERIFY(!CoarseStepWanted(0, 0.0, 10.0));
    }

    // With time to spare before its turn the next panel's picture is decoded once, at the step
    // the screen needs (that decode proves it); with none, its coarsest step first. Either way
    // the advance onto it decodes nothing more and shows the screen made ahead.
    void theNextPanelsPictureIsDecodedOnceUnlessItsTurnMayComeFirst() {
        QVERIFY(WriteGradient(Path("photo.jpg"), QSize(1600, 1200)));
        QVERIFY(WritePanel(Path("photo.vlm"), MakePanel(320, 240, MakeRgb(0, 0, 80),
                                                        Path("photo.jpg"), CRect{0, 0, 320, 240})));
        QVERIFY(WriteShow(Path("two.vls"), {"lead", "photo"}));
        for (const int wait : {30, 0}) {
            CPanel lead = MakePanel(320, 240, MakeRgb(200, 0, 0));
            lead.m_nFirstWait = wait;
            lead.m_image.m_nWait = wait;
            QVERIFY(WritePanel(Path("lead.vlm"), lead));
            render::CQtPictureDecoder decoder;
            CScreenWnd wnd(decoder);
            wnd.Create(QSize(640, 520));
            wnd.PlayDocumentFile(Path("two.vls"), true);
            wnd.Preparer().Wait();
            const PictureHandle prepared = wnd.Preparer().PreparedPicture();
            const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(prepared.get());
            QVERIFY(picture);
            // 640 x 480 on the screen: the half step (800 x 600), area-averaged.
            QCOMPARE(picture->DecodedSteps(), wait > 0 ? kHalf : kHalf | kEighth);
            const int decodes = picture->StepDecodeCount();
            QCOMPARE(decodes, wait > 0 ? 1 : 2);

            QTest::mouseClick(&wnd, Qt::LeftButton); // "lead": its empty picture layer
            QTest::mouseClick(&wnd, Qt::LeftButton); // "photo": the background made ahead
            QTest::mouseClick(&wnd, Qt::LeftButton); // its picture layer
            QCOMPARE(wnd.Playback().m_nIndex, 1);
            QCOMPARE(wnd.Playback().m_nStep, 2);
            QVERIFY(wnd.Playback().m_panel.m_image.m_bitmap == prepared);
            QCOMPARE(picture->StepDecodeCount(), decodes);
            QVERIFY(!wnd.ShowsCoarsePicture());
            QImage drawn = MakeScreenCanvas(wnd.ScreenSize());
            for (const CShowLayer& layer : wnd.Playback().GetShownLayers()) {
                DrawShowLayer(drawn, wnd.Playback(), layer);
            }
            QVERIFY(wnd.Canvas() == drawn);
            wnd.OnKey(true);
        }
    }

    // A half step a little smaller than the body is stretched smoothly onto the screen: close to
    // the area-averaged enlargement drawn elsewhere, mirrored for an inverted body, nothing
    // drawn outside the body, the full picture never decoded and no enlarged copy kept.
    void aStepSmallerThanTheBodyIsStretchedOntoTheScreen() {
        QVERIFY(WriteGradient(Path("gradient.jpg"), QSize(1000, 800)));
        render::CQtPictureDecoder decoder;
        struct SRow {
            CRect rcBody;
            bool bMirrored;
        };
        // 540 x 432 from the 500 x 400 half step (short by 1.08), upright and inverted.
        const SRow rows[] = {{CRect{10, 20, 550, 452}, false}, {CRect{550, 20, 10, 452}, true}};
        QImage upright;
        for (const SRow& row : rows) {
            decoder.ClearCache();
            CPanelImage image;
            QCOMPARE(image.Import(Path("gradient.jpg").toStdString(), decoder),
                     EImportResult::Imported);
            image.m_rcBody = row.rcBody;
            const auto* picture =
                dynamic_cast<const render::CQtDecodedPicture*>(image.m_bitmap.get());
            QVERIFY(picture);
            QVERIFY(PrepareScreenPicture(image, 100));
            QCOMPARE(picture->DecodedSteps(), kHalf | kEighth);
            QVERIFY(!(picture->DecodedSteps() & kFull));
            const qint64 held = picture->MemoryBytes();

            QImage screen(600, 500, QImage::Format_RGB32);
            screen.fill(qRgb(1, 2, 3));
            {
                QPainter painter(&screen);
                DrawScreenPicture(painter, image, 100, 0, 0);
            }
            QCOMPARE(picture->MemoryBytes(), held); // nothing enlarged was kept
            const QRect body(10, 20, 540, 432);
            QCOMPARE(screen.pixel(5, 5), qRgb(1, 2, 3));
            QCOMPARE(screen.pixel(body.right() + 2, body.bottom() + 2), qRgb(1, 2, 3));
            QVERIFY(screen.pixel(body.center()) != qRgb(1, 2, 3));
            if (!row.bMirrored) {
                QImage averaged(600, 500, QImage::Format_RGB32);
                averaged.fill(qRgb(1, 2, 3));
                {
                    QPainter painter(&averaged);
                    render::DrawPicture(painter, image, false, 100, 0, 0);
                }
                QVERIFY(LargestDifference(screen, averaged, body.adjusted(1, 1, -1, -1)) <= 3);
                upright = screen;
            } else {
                // The upright drawing reflected about the body.
                QImage reflected(600, 500, QImage::Format_RGB32);
                reflected.fill(qRgb(1, 2, 3));
                for (int y = body.top(); y <= body.bottom(); ++y) {
                    for (int x = body.left(); x <= body.right(); ++x) {
                        reflected.setPixel(x, y, upright.pixel(body.left() + body.right() - x, y));
                    }
                }
                QVERIFY(LargestDifference(screen, reflected, body) <= 1);
            }
        }
    }

    // Once the worker has drawn the next panel's picture screen, a large step it decoded for it
    // is let go (the screen shows it from then on); a small one, or one decoded before (by the
    // editor), stays. Either way the advances show the screens made ahead, exactly the layers.
    void aLargeStepDecodedForTheScreenIsLetGoOnceDrawn() {
        struct SRow {
            const char* name;
            QSize picture;
            QSize screen;
            bool bDecodedBefore;
            bool bLetGo;
        };
        // 3000 x 2000 at full size on the screen: its full step takes 22.9 MiB.
        const SRow rows[] = {{"large.jpg", QSize(3000, 2000), QSize(3000, 2000), false, true},
                             {"large.jpg", QSize(3000, 2000), QSize(3000, 2000), true, false},
                             {"small.jpg", QSize(1600, 1200), QSize(640, 520), false, false}};
        for (const SRow& row : rows) {
            QVERIFY(WriteGradient(Path(row.name), row.picture));
            QVERIFY(
                WritePanel(Path("photo.vlm"), MakePanel(300, 200, MakeRgb(0, 0, 80), Path(row.name),
                                                        CRect{0, 0, 300, 200})));
            QVERIFY(WritePanel(Path("lead.vlm"), MakePanel(300, 200, MakeRgb(200, 0, 0))));
            QVERIFY(WriteShow(Path("two.vls"), {"lead", "photo"}));
            render::CQtPictureDecoder decoder;
            CPanelImage editors;
            if (row.bDecodedBefore) {
                QCOMPARE(editors.Import(Path(row.name).toStdString(), decoder),
                         EImportResult::Imported);
                const auto* picture =
                    dynamic_cast<const render::CQtDecodedPicture*>(editors.m_bitmap.get());
                QVERIFY(picture && !picture->PixelsCovering(row.picture).isNull());
            }
            CScreenWnd wnd(decoder);
            wnd.Create(row.screen);
            wnd.PlayDocumentFile(Path("two.vls"), true);
            wnd.Preparer().Wait();
            const PictureHandle prepared = wnd.Preparer().PreparedPicture();
            const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(prepared.get());
            QVERIFY(picture);
            QCOMPARE(picture->StepDecodeCount() > 0, true);
            if (row.bLetGo) {
                QCOMPARE(picture->DecodedSteps() & (kFull | kHalf), 0u);
                QVERIFY(picture->MemoryBytes() < (qint64(16) << 20));
            } else {
                QVERIFY(picture->DecodedSteps() & (kFull | kHalf));
            }
            QTest::mouseClick(&wnd, Qt::LeftButton); // "lead": its empty picture layer
            QTest::mouseClick(&wnd, Qt::LeftButton); // "photo": the background made ahead
            QTest::mouseClick(&wnd, Qt::LeftButton); // its picture layer made ahead
            QCOMPARE(wnd.Playback().m_nIndex, 1);
            QCOMPARE(wnd.Playback().m_nStep, 2);
            QVERIFY(wnd.Playback().m_panel.m_image.m_bitmap == prepared);
            QImage drawn = MakeScreenCanvas(wnd.ScreenSize());
            for (const CShowLayer& layer : wnd.Playback().GetShownLayers()) {
                DrawShowLayer(drawn, wnd.Playback(), layer); // decodes again where let go
            }
            QVERIFY(wnd.Canvas() == drawn);
            QVERIFY(drawn.pixel(drawn.rect().center()) != drawn.pixel(0, 0));
            wnd.OnKey(true);
        }
    }

    // Letting go of a picture's large pixels leaves copies in use valid and the small ones held.
    void lettingGoOfPixelsKeepsCopiesInUse() {
        QVERIFY(WriteGradient(Path("gradient.jpg"), QSize(1600, 1200)));
        const auto picture = render::CQtDecodedPicture::Open(Path("gradient.jpg"));
        QVERIFY(picture);
        const QImage half = picture->PixelsCovering(QSize(800, 600));
        QCOMPARE(picture->DecodedSteps(), kHalf | kEighth);
        const QImage copy = half.copy();
        picture->LetGoPixels(half.sizeInBytes());
        QCOMPARE(picture->DecodedSteps(), kEighth);
        QVERIFY(half == copy);
        QCOMPARE(picture->PixelsCovering(QSize(800, 600)), copy); // decoded again, the same
        QCOMPARE(picture->DecodedSteps(), kHalf | kEighth);
    }

    // Screen-sized images: the size and format asked for, rows of their own that can be
    // written, and refused for formats of other than 32 bits or an empty size.
    void largeImagesAreOrdinaryImages() {
        for (const QSize size : {QSize(3840, 2160), QSize(17, 3)}) {
            QImage image = render::NewLargeImage(size);
            QCOMPARE(image.size(), size);
            QCOMPARE(image.format(), QImage::Format_RGB32);
            QCOMPARE(image.bytesPerLine(), qsizetype(size.width()) * 4);
            image.fill(qRgb(9, 8, 7));
            image.setPixel(size.width() - 1, size.height() - 1, qRgb(1, 1, 1));
            QCOMPARE(image.pixel(0, 0), qRgb(9, 8, 7));
            QCOMPARE(image.pixel(size.width() - 1, size.height() - 1), qRgb(1, 1, 1));
            const QImage copy = image.copy();
            image.fill(Qt::black);
            QCOMPARE(copy.pixel(0, 0), qRgb(9, 8, 7)); // a copy keeps its own pixels
        }
        QCOMPARE(render::NewLargeImage(QSize(64, 64), QImage::Format_ARGB32_Premultiplied).format(),
                 QImage::Format_ARGB32_Premultiplied);
        QVERIFY(render::NewLargeImage(QSize(64, 64), QImage::Format_RGB888).isNull());
        QVERIFY(render::NewLargeImage(QSize(0, 64)).isNull());
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(CPreparedPictureTest)
#include "PreparedPictureTest.moc"
