// The full-screen player offscreen: the canvas after each layer, repaints that advance nothing,
// Escape and close requests, the timer of the automatic mode counted in explicit ticks, damaged
// files, and the next panel's picture prepared ahead on the worker thread; the presenter's keys
// (back, pause, go to) and a looping show.
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "model/FukiStyle.h"
#include "model/TextCodec.h"
#include "render/QtPictureDecoder.h"
#include "show/PlayerSettings.h"
#include "show/ScreenCanvas.h"
#include "show/ScreenWnd.h"

using namespace showtest;
using namespace testsupport;

namespace {

constexpr COLORREF kRed = MakeRgb(255, 0, 0);
constexpr COLORREF kYellow = MakeRgb(255, 255, 0);
constexpr COLORREF kBlue = MakeRgb(0, 0, 255);
const QRgb kGreen = qRgb(0, 255, 0);
// 640 x 520 fits a 320 x 240 panel at zoom 200 between two strips of 20 pixels.
const QSize kScreen(640, 520);

QRgb Pixel(const CScreenWnd& wnd, int x, int y) {
    return wnd.Canvas().pixel(x, y) | 0xFF000000;
}

bool CanvasIsOneColour(const CScreenWnd& wnd, QRgb colour) {
    const QImage& canvas = wnd.Canvas();
    for (int y = 0; y < canvas.height(); y += 7) {
        for (int x = 0; x < canvas.width(); x += 7) {
            if ((canvas.pixel(x, y) | 0xFF000000) != colour) {
                return false;
            }
        }
    }
    return true;
}

// A photograph's colour comes back from JPEG within a step or two.
bool IsNear(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3 &&
           std::abs(qBlue(a) - qBlue(b)) <= 3;
}

QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

// Fails every picture it is asked for: a later panel's reading that throws.
class CThrowingDecoder : public IPictureDecoder {
public:
    PictureHandle Decode(const std::string&) override { throw std::runtime_error("no memory"); }
};

// What the window shows, grabbed.
QImage Shown(CScreenWnd& wnd) {
    return wnd.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class CScreenWndTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    CThrowingDecoder m_throwing;
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(WritePicture(Path("green.bmp"), QSize(60, 40), QColor(kGreen)));
        // "first": red, the picture at (10, 10)-(70, 50), a blue balloon at display position 1.
        CPanel first = MakePanel(320, 240, kRed, Path("green.bmp"), CRect{10, 10, 70, 50});
        QVERIFY(first.m_image.HasPicture());
        CFuki& balloon = first.m_fuki[3];
        balloon.m_nOrder = 1;
        balloon.m_rcBody = CRect{100, 100, 200, 160};
        balloon.m_ptTail = CPoint{150, 200};
        balloon.m_crFill = kBlue;
        balloon.m_nWait = 10;
        first.m_nFirstWait = 30;
        first.m_image.m_nWait = 20;
        QVERIFY(WritePanel(Path("first.vlm"), first));
        QVERIFY(WritePanel(Path("second.vlm"), MakePanel(320, 240, kYellow)));
        QVERIFY(WriteShow(Path("two.vls"), {"first", "second"}));
    }

    void cleanup() { m_wnd.reset(); }

    void createdHiddenFramelessTopmostWithBlankPointer() {
        CScreenWnd& wnd = Window();
        QVERIFY(!wnd.isVisible());
        QVERIFY(wnd.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(wnd.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(wnd.cursor().shape(), Qt::BlankCursor);
        QCOMPARE(wnd.ScreenSize(), kScreen);
        QVERIFY(wnd.Canvas().isNull()); // made when a show plays, not at start-up
        QCOMPARE(wnd.Timer().interval(), 100);
        QCOMPARE(wnd.Timer().timerType(), Qt::PreciseTimer);
        QVERIFY(!wnd.IsTimerActive());

        // At start-up the window takes the primary screen's size.
        CScreenWnd primary(m_decoder);
        primary.Create();
        QCOMPARE(primary.ScreenSize(), QGuiApplication::primaryScreen()->size());
        QVERIFY(!primary.isVisible());
    }

    void manualShowDrawsOneLayerPerClickOntoTheCanvas() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), true);
        QVERIFY(wnd.isVisible());
        QVERIFY(wnd.isFullScreen());
        QVERIFY(!wnd.IsTimerActive());
        QCOMPARE(wnd.Playback().m_nZoom, 200);
        QCOMPARE(wnd.Playback().m_nOffsetY, 20);
        // Layer 0: the background over the whole screen, strips included.
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kRed)));

        Click(wnd);
        // Layer 1: the picture at twice its body, 20 pixels down; the rest untouched.
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
        QCOMPARE(Pixel(wnd, 21, 41), kGreen);
        QCOMPARE(Pixel(wnd, 19, 80), Rgb(kRed));
        QCOMPARE(Pixel(wnd, 80, 121), Rgb(kRed));
        QCOMPARE(Pixel(wnd, 300, 280), Rgb(kRed));

        Click(wnd);
        // Layer 2: the balloon, drawn over what is there.
        QCOMPARE(Pixel(wnd, 300, 280), Rgb(kBlue));
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);

        Click(wnd);
        // No balloon at position 2: the next panel's background at once.
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        Click(wnd); // its picture step: nothing to draw
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        QVERIFY(wnd.isVisible());

        Click(wnd);
        // Past the last layer of the last panel: hidden, nothing drawn.
        QVERIFY(!wnd.isVisible());
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
    }

    void repaintsNotAskedForByTheShowChangeNothing() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), true);
        Click(wnd);
        const QImage before = wnd.Canvas().copy();
        const int step = wnd.Playback().m_nStep;
        // A window going away, a notification: the platform asks for paints.
        wnd.repaint();
        wnd.update();
        QCoreApplication::processEvents();
        const QImage shown = wnd.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(wnd.Playback().m_nStep, step);
        QCOMPARE(wnd.Playback().m_nIndex, 0);
        QVERIFY(wnd.Canvas() == before);
        // What the window shows is the canvas itself (the full-screen window may be larger than
        // the screen it was created for: the rest is black).
        QVERIFY(shown.copy(QRect(QPoint(0, 0), kScreen)) == before);
    }

    void escapeAndCloseRequestsHideTheWindow() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), false);
        QVERIFY(wnd.IsTimerActive());
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());
        QVERIFY(!wnd.IsTimerActive());
        // The screen-sized canvas goes with the show; the window keeps its size for the next.
        QVERIFY(wnd.Canvas().isNull());
        QCOMPARE(wnd.ScreenSize(), kScreen);
        wnd.repaint(); // a hidden window's paint finds no canvas and draws nothing from it

        wnd.PlayDocumentFile(Path("two.vls"), true);
        QCOMPARE(wnd.Canvas().size(), kScreen);
        QVERIFY(wnd.isVisible());
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());

        // The platform's close request: hidden like Escape; the window lives on and plays again.
        wnd.PlayDocumentFile(Path("two.vls"), false);
        QVERIFY(!wnd.close());
        QVERIFY(!wnd.isVisible());
        QVERIFY(!wnd.IsTimerActive());
        QVERIFY(!wnd.Playback().IsPlaying());
        wnd.PlayDocumentFile(Path("two.vls"), true);
        QVERIFY(wnd.isVisible());
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kRed)));
    }

    void automaticLayersFollowTheirWaitsToTheTick() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), false);
        QVERIFY(wnd.IsTimerActive());
        // A click does nothing in automatic mode.
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(80, 80));
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kRed)));

        // First wait 30: the picture on the 31st tick.
        QCOMPARE(TicksUntilChange(wnd), 31);
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
        // Picture wait 20: the balloon on the 21st tick after.
        QCOMPARE(TicksUntilChange(wnd), 21);
        QCOMPARE(Pixel(wnd, 300, 280), Rgb(kBlue));
        // Balloon wait 10: the next panel on the 11th tick after.
        QCOMPARE(TicksUntilChange(wnd), 11);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));

        // Any other key advances at once; the countdown starts again from that layer.
        wnd.PlayDocumentFile(Path("two.vls"), false);
        QTest::keyClick(&wnd, Qt::Key_Space);
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
        QCOMPARE(TicksUntilChange(wnd), 21);

        // The last panel's last wait runs out: hidden and the timer stopped.
        QTest::keyClick(&wnd, Qt::Key_A);
        QTest::keyClick(&wnd, Qt::Key_A);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        for (int tick = 0; tick < 31 + 31 && wnd.isVisible(); ++tick) {
            wnd.OnTick();
        }
        QVERIFY(!wnd.isVisible());
        QVERIFY(!wnd.IsTimerActive());
    }

    void anEmptyShowIsBlackUntilEscapeWithoutTimer() {
        CScreenWnd& wnd = Window();
        // A panel never saved has no file: an empty show.
        wnd.PlayDocumentFile(QString(), false);
        QVERIFY(wnd.isVisible());
        QVERIFY(!wnd.IsTimerActive());
        QVERIFY(CanvasIsOneColour(wnd, qRgb(0, 0, 0)));
        QTest::keyClick(&wnd, Qt::Key_Space);
        QTest::mouseClick(&wnd, Qt::LeftButton);
        QVERIFY(wnd.isVisible());
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());
    }

    void aDamagedShowOrFirstPanelGetsTheFrameworkMessage() {
        QVERIFY(WriteBytes(Path("short.vls"), QByteArray(5, '\0')));
        QByteArray panel = ReadBytes(Path("first.vlm"));
        panel.chop(3);
        QVERIFY(WriteBytes(Path("cut.vlm"), panel));
        QVERIFY(WriteShow(Path("cut.vls"), {"cut", "first"}));
        QVERIFY(WriteShow(Path("cutlater.vls"), {"first", "cut", "second"}));

        CScreenWnd& wnd = Window();
        // A damaged panel is reported with the error icon, a damaged show file as before.
        const std::pair<const char*, fw::EMsgIcon> cases[] = {
            {"short.vls", fw::EMsgIcon::Exclamation},
            {"cut.vls", fw::EMsgIcon::Stop},
            {"cut.vlm", fw::EMsgIcon::Stop}};
        for (const auto& [file, icon] : cases) {
            CMessageCapture messages;
            wnd.PlayDocumentFile(Path(file), false);
            QCOMPARE(messages.Texts(), QStringList{"Unexpected file format."});
            QCOMPARE(messages.Captions(), QStringList{"Velmo"});
            QCOMPARE(messages.m_requests.size(), std::size_t(1));
            QVERIFY(messages.m_requests[0].icon == icon);
            QVERIFY(!wnd.isVisible());
            QVERIFY(!wnd.IsTimerActive());
        }

        // A later panel that ends early is shown as the blank reset panel, without a message.
        CMessageCapture messages;
        wnd.PlayDocumentFile(Path("cutlater.vls"), true);
        for (int i = 0; i < 3; ++i) {
            Click(wnd);
        }
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QVERIFY(CanvasIsOneColour(wnd, qRgb(0, 0, 0)));
        Click(wnd);
        Click(wnd);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        QVERIFY(messages.m_requests.empty());
    }

    void theNextPanelIsPreparedAheadAndSwappedIn() {
        QVERIFY(WritePicture(Path("photo.jpg"), QSize(1600, 1200), QColor(kGreen)));
        CPanel photo = MakePanel(320, 240, kYellow, Path("photo.jpg"), CRect{0, 0, 320, 240});
        photo.m_fuki[0].m_nOrder = 1;
        photo.m_fuki[0].m_rcBody = CRect{100, 100, 200, 160};
        photo.m_fuki[0].m_crFill = kBlue;
        QVERIFY(WritePanel(Path("photo.vlm"), photo));
        QVERIFY(WriteShow(Path("photos.vls"), {"second", "photo", "photo"}));
        render::CQtPictureDecoder& decoder = m_decoder;
        decoder.ClearCache();
        const int openedBefore = decoder.FilesOpened();

        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("photos.vls"), true);
        QCOMPARE(QString::fromStdString(wnd.Preparer().NextPath()), Path("photo.vlm"));
        wnd.Preparer().Wait();
        const PictureHandle prepared = wnd.Preparer().PreparedPicture();
        QVERIFY(prepared);
        const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(prepared.get());
        QVERIFY(picture);
        const int opened = decoder.FilesOpened();
        const int decodes = picture->StepDecodeCount();
        QCOMPARE(opened, openedBefore + 1);

        Click(wnd); // "second": its empty picture step, nothing drawn
        const uchar* drawnOn = wnd.Canvas().constBits();
        Click(wnd);
        // "photo": its file was read now and matched what was prepared, so the screen made
        // ahead replaced the canvas; the picture is the one from the cache.
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QVERIFY(wnd.Playback().m_panel.m_image.m_bitmap == prepared);
        QVERIFY(wnd.Canvas().constBits() != drawnOn);
        QVERIFY(wnd.Canvas() == Drawn(wnd));
        Click(wnd); // its picture layer: the second screen made ahead
        QVERIFY(IsNear(Pixel(wnd, 320, 260), kGreen));
        QVERIFY(wnd.Canvas() == Drawn(wnd));
        Click(wnd); // the balloon, drawn over the swapped-in screen
        QCOMPARE(Pixel(wnd, 300, 280), Rgb(kBlue));
        QVERIFY(wnd.Canvas() == Drawn(wnd));
        QCOMPARE(picture->StepDecodeCount(), decodes);

        // The same panel again costs no decoding at all.
        wnd.Preparer().Wait();
        Click(wnd);
        QCOMPARE(wnd.Playback().m_nIndex, 2);
        Click(wnd);
        QVERIFY(IsNear(Pixel(wnd, 320, 260), kGreen));
        QVERIFY(wnd.Canvas() == Drawn(wnd));
        QCOMPARE(decoder.FilesOpened(), opened);
        QCOMPARE(picture->StepDecodeCount(), decodes);
    }

    void theFirstPanelsPictureIsPreparedWhileItsBackgroundWaits() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("first.vlm"), true);
        wnd.Preparer().Wait();
        const uchar* drawnOn = wnd.Canvas().constBits();
        Click(wnd);
        QVERIFY(wnd.Canvas().constBits() != drawnOn);
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
        QVERIFY(wnd.Canvas() == Drawn(wnd));
    }

    void thePanelOnScreenIsReadAtItsTurnNotWhenPrepared() {
        QVERIFY(WritePanel(Path("late.vlm"), MakePanel(320, 240, kYellow)));
        QVERIFY(WriteShow(Path("late.vls"), {"second", "late"}));
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("late.vls"), true);
        wnd.Preparer().Wait();
        // Saved again after it was prepared: the show plays what the file holds at its turn.
        QVERIFY(WritePanel(Path("late.vlm"), MakePanel(320, 240, kBlue)));
        Click(wnd);
        const uchar* drawnOn = wnd.Canvas().constBits();
        Click(wnd);
        QVERIFY(wnd.Canvas().constBits() == drawnOn); // drawn, not taken from the worker
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kBlue)));
    }

    void presenterKeysStepBackAndForwardOverTheCanvas() {
        struct SStep {
            Qt::Key key;
            int nIndex;
            QRgb atPicture; // (80, 80)
            QRgb atBalloon; // (300, 280)
        };
        const QRgb red = Rgb(kRed), yellow = Rgb(kYellow), blue = Rgb(kBlue);
        // From the second panel's background: back onto "first" as it was left, then layer by
        // layer to its start, where going back does nothing; Page Down advances as any key.
        const SStep steps[] = {
            {Qt::Key_Left, 0, kGreen, blue},       {Qt::Key_Up, 0, kGreen, red},
            {Qt::Key_PageDown, 0, kGreen, blue},   {Qt::Key_PageUp, 0, kGreen, red},
            {Qt::Key_Backspace, 0, red, red},      {Qt::Key_Left, 0, red, red},
            {Qt::Key_Space, 0, kGreen, red},       {Qt::Key_Space, 0, kGreen, blue},
            {Qt::Key_PageDown, 1, yellow, yellow},
        };
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), true);
        for (int i = 0; i < 3; ++i) {
            Click(wnd);
        }
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        for (const SStep& step : steps) {
            QTest::keyClick(&wnd, step.key);
            QVERIFY(wnd.isVisible());
            QCOMPARE(wnd.Playback().m_nIndex, step.nIndex);
            QCOMPARE(Pixel(wnd, 80, 80), step.atPicture);
            QCOMPARE(Pixel(wnd, 300, 280), step.atBalloon);
            // Every step back leaves exactly what drawing the shown layers afresh makes.
            QVERIFY(wnd.Canvas() == Drawn(wnd));
        }
    }

    void pauseShowsAMarkOnTheWindowAndHoldsTheTimer() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), false);
        for (int tick = 0; tick < 10; ++tick) {
            wnd.OnTick();
        }
        const QImage before = wnd.Canvas().copy();
        const QPoint mark = wnd.PauseMarkRect().center();
        QTest::keyClick(&wnd, Qt::Key_P);
        QVERIFY(!wnd.IsTimerActive());
        QVERIFY(wnd.Playback().IsPaused());
        // The mark is on the window; the canvas keeps what the show drew.
        QVERIFY(wnd.Canvas() == before);
        QVERIFY((Shown(wnd).pixel(mark) | 0xFF000000) != Rgb(kRed));
        QCOMPARE(Shown(wnd).pixel(10, 300) | 0xFF000000, Rgb(kRed));
        for (int tick = 0; tick < 100; ++tick) {
            wnd.OnTick();
        }
        QVERIFY(wnd.Canvas() == before);

        QTest::keyClick(&wnd, Qt::Key_P);
        QVERIFY(wnd.IsTimerActive());
        QCOMPARE(Shown(wnd).pixel(mark) | 0xFF000000, Rgb(kRed));
        QCOMPARE(TicksUntilChange(wnd), 21); // 31 in all, 10 before the pause
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);

        // By hand "P" is any other key.
        wnd.PlayDocumentFile(Path("two.vls"), true);
        QTest::keyClick(&wnd, Qt::Key_P);
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
        QCOMPARE(Shown(wnd).pixel(mark) | 0xFF000000, Rgb(kRed));
    }

    void aStepBackOntoThePanelJustLeftSwapsItsScreenBackIn() {
        QVERIFY(WritePanel(Path("left.vlm"), MakePanel(320, 240, kYellow)));
        QVERIFY(WritePanel(Path("right.vlm"), MakePanel(320, 240, kBlue)));
        QVERIFY(WriteShow(Path("leftright.vls"), {"left", "right"}));
        for (const bool bSavedAgain : {false, true}) {
            CScreenWnd& wnd = Window();
            wnd.PlayDocumentFile(Path("leftright.vls"), true);
            Click(wnd);
            wnd.Preparer().Wait();
            const uchar* leftScreen = wnd.Canvas().constBits();
            Click(wnd); // "right", prepared ahead: the screen of "left" is kept
            QVERIFY(CanvasIsOneColour(wnd, Rgb(kBlue)));
            QVERIFY(wnd.Canvas().constBits() != leftScreen);
            if (bSavedAgain) {
                // Saved again meanwhile: the step back shows the file as it is now.
                QVERIFY(WritePanel(Path("left.vlm"), MakePanel(320, 240, kRed)));
            }
            QTest::keyClick(&wnd, Qt::Key_Left);
            QCOMPARE(wnd.Playback().m_nIndex, 0);
            QCOMPARE(wnd.Canvas().constBits() == leftScreen, !bSavedAgain);
            QVERIFY(CanvasIsOneColour(wnd, Rgb(bSavedAgain ? kRed : kYellow)));
            QVERIFY(wnd.Canvas() == Drawn(wnd));
        }
    }

    // Stepping back within a panel puts back exactly what lay under each layer taken away:
    // overlapping balloons, text running out of its balloon below, vertical outlined text, and
    // a picture layer that was drawn or swapped in from the worker. Going forward again draws
    // the same canvas; the wait of the layer now last starts again, counted in ticks.
    void aStepBackWithinAPanelPutsBackWhatLayUnderTheLayer() {
        CPanel panel = MakePanel(320, 240, kRed, Path("green.bmp"), CRect{10, 10, 200, 150});
        const char* texts[] = {"吹き出しからはみ出して下まで続く長いセリフです。まだ続きます。",
                               "縦書き", "重なる"};
        const CRect bodies[] = {CRect{40, 40, 120, 80}, CRect{90, 60, 200, 180},
                                CRect{150, 20, 300, 120}};
        for (int i = 0; i < 3; ++i) {
            CFuki& balloon = panel.m_fuki[static_cast<std::size_t>(i)];
            balloon.m_nOrder = i + 1;
            balloon.m_rcBody = bodies[i];
            balloon.m_ptTail = CPoint{60 + 80 * i, 230};
            balloon.m_crFill = i == 1 ? kYellow : kBlue;
            balloon.m_strText = Utf8ToCp932(texts[i]).text;
            balloon.m_nWait = 5 + i;
        }
        SetFukiStyle(panel.m_fuki[1], {true, false, true, 3, MakeRgb(0, 255, 0)});
        QVERIFY(WritePanel(Path("layers.vlm"), panel));
        for (const bool bPrepared : {false, true}) {
            CScreenWnd& wnd = Window();
            wnd.PlayDocumentFile(Path("layers.vlm"), true);
            if (bPrepared) {
                wnd.Preparer().Wait(); // the picture layer is then swapped in
            }
            std::vector<QImage> seen{wnd.Canvas().copy()};
            for (int layer = 1; layer < 5; ++layer) {
                Click(wnd);
                QCOMPARE(wnd.Playback().m_nStep, layer + 1);
                seen.push_back(wnd.Canvas().copy());
            }
            QVERIFY(seen[4] != seen[3] && seen[3] != seen[2] && seen[2] != seen[1]);
            for (int layer = 3; layer >= 0; --layer) {
                QTest::keyClick(&wnd, Qt::Key_Left);
                QCOMPARE(wnd.Playback().m_nStep, layer + 1);
                QVERIFY2(wnd.Canvas() == seen[static_cast<std::size_t>(layer)],
                         qPrintable(QStringLiteral("back to step %1").arg(layer + 1)));
                QVERIFY(wnd.Canvas() == Drawn(wnd));
            }
            for (int layer = 1; layer < 5; ++layer) {
                Click(wnd);
                QVERIFY(wnd.Canvas() == seen[static_cast<std::size_t>(layer)]);
            }
        }

        // Automatic: a step back from the last balloon restarts the wait of the one before it.
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("layers.vlm"), false);
        while (wnd.Playback().m_nStep < 5) {
            wnd.OnTick();
        }
        const QImage last = wnd.Canvas().copy();
        QTest::keyClick(&wnd, Qt::Key_Left);
        QCOMPARE(wnd.Playback().m_nStep, 4);
        QVERIFY(wnd.Canvas() == Drawn(wnd));
        QCOMPARE(TicksUntilChange(wnd), 7); // the second balloon's wait of 6, then its turn
        QVERIFY(wnd.Canvas() == last);
    }

    // A picture layer due before the worker has made its screen is shown at once from the
    // picture's coarsest step, enlarged; balloons go over it; the sharp screen replaces it when
    // the worker is done, with the balloons shown since, and no layer is added or waited for
    // meanwhile: a repaint advances nothing, and the ticks count as without the worker.
    void aPictureDueBeforeItsScreenIsShownCoarseThenSharp() {
        QImage pattern(800, 600, QImage::Format_RGB32);
        for (int y = 0; y < pattern.height(); ++y) {
            for (int x = 0; x < pattern.width(); ++x) {
                pattern.setPixel(x, y,
                                 ((x / 3 + y / 3) % 2) ? qRgb(250, 250, 250) : qRgb(0, 0, 60));
            }
        }
        QVERIFY(pattern.save(Path("pattern.jpg"), "JPEG", 95));
        CPanel panel = MakePanel(320, 240, kRed, Path("pattern.jpg"), CRect{10, 10, 310, 230});
        QVERIFY(panel.m_image.HasPicture());
        CFuki& balloon = panel.m_fuki[0];
        balloon.m_nOrder = 1;
        balloon.m_rcBody = CRect{20, 20, 120, 80};
        balloon.m_crFill = kBlue;
        balloon.m_nWait = 4;
        panel.m_nFirstWait = 2;
        panel.m_image.m_nWait = 3;
        QVERIFY(WritePanel(Path("pattern.vlm"), panel));

        for (const bool bManual : {true, false}) {
            m_decoder.ClearCache();
            CScreenWnd& wnd = Window();
            wnd.Preparer().HoldWork(true);
            wnd.PlayDocumentFile(Path("pattern.vlm"), bManual);
            QVERIFY(wnd.Preparer().IsBusy());
            if (bManual) {
                Click(wnd);
            } else {
                QCOMPARE(TicksUntilChange(wnd), 3); // the background's wait of 2, then its turn
            }
            QCOMPARE(wnd.Playback().m_nStep, 2);
            QVERIFY(wnd.ShowsCoarsePicture());
            // Only the picture was decoded when the panel was read: its coarsest step.
            const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(
                wnd.Playback().m_panel.m_image.m_bitmap.get());
            QVERIFY(picture);
            QCOMPARE(picture->DecodedSteps(), 8u);
            const QImage coarse = wnd.Canvas().copy();
            QVERIFY(coarse != Drawn(wnd));
            QCOMPARE(Pixel(wnd, 5, 5), Rgb(kRed));
            // A repaint shows what there is and advances nothing.
            wnd.repaint();
            QCOMPARE(wnd.Playback().m_nStep, 2);
            if (bManual) {
                Click(wnd);
            } else {
                QCOMPARE(TicksUntilChange(wnd), 4); // the picture's wait of 3
            }
            QCOMPARE(wnd.Playback().m_nStep, 3);
            QCOMPARE(Pixel(wnd, 100, 100), Rgb(kBlue));
            const int waitTicks = wnd.Playback().m_nWaitTicks;

            wnd.Preparer().HoldWork(false);
            QTRY_VERIFY(!wnd.ShowsCoarsePicture());
            QCOMPARE(wnd.Playback().m_nStep, 3);
            QCOMPARE(wnd.Playback().m_nWaitTicks, waitTicks);
            QVERIFY(wnd.Canvas() == Drawn(wnd));
            QCOMPARE(Pixel(wnd, 100, 100), Rgb(kBlue));
            // A step back takes the balloon off the sharp picture.
            QTest::keyClick(&wnd, Qt::Key_Left);
            QVERIFY(wnd.Canvas() == Drawn(wnd));
        }
    }

    void aTypedPanelNumberAndEnterGoThere() {
        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(Path("two.vls"), true);
        QTest::keyClick(&wnd, Qt::Key_2);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kRed))); // a digit alone draws nothing
        QTest::keyClick(&wnd, Qt::Key_Return);
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        QTest::keyClick(&wnd, Qt::Key_1, Qt::KeypadModifier);
        QTest::keyClick(&wnd, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(wnd.Playback().m_nIndex, 0);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kRed)));
        QTest::keyClick(&wnd, Qt::Key_Return); // nothing typed: an advance
        QCOMPARE(Pixel(wnd, 80, 80), kGreen);
    }

    void aLoopedShowStartsAgainUntilEscape() {
        const QString show = Path("looped.vls");
        QVERIFY(WriteShow(show, {"second", "first"}));
        QVERIFY(!IsShowLooped(show));
        SetShowLooped(show, true);
        QVERIFY(IsShowLooped(show));
        QVERIFY(!IsShowLooped(Path("two.vls")));

        CScreenWnd& wnd = Window();
        wnd.PlayDocumentFile(show, false);
        // "second" (31 + 31 ticks), "first" (31 + 21 + 11), then "second" again.
        QCOMPARE(TicksUntilChange(wnd), 31 + 31);
        QCOMPARE(wnd.Playback().m_nIndex, 1);
        QCOMPARE(TicksUntilChange(wnd), 31);
        QCOMPARE(TicksUntilChange(wnd), 21);
        QCOMPARE(TicksUntilChange(wnd), 11);
        QVERIFY(wnd.isVisible());
        QCOMPARE(wnd.Playback().m_nIndex, 0);
        QVERIFY(CanvasIsOneColour(wnd, Rgb(kYellow)));
        QVERIFY(wnd.IsTimerActive());
        QTest::keyClick(&wnd, Qt::Key_Escape);
        QVERIFY(!wnd.isVisible());

        // By hand, and once the choice is taken back, the show ends after its last layer.
        wnd.PlayDocumentFile(show, true);
        for (int i = 0; i < 5; ++i) {
            Click(wnd);
        }
        QVERIFY(!wnd.isVisible());
        SetShowLooped(show, false);
        QVERIFY(!IsShowLooped(show));
        wnd.PlayDocumentFile(show, false);
        for (int tick = 0; tick < 400 && wnd.isVisible(); ++tick) {
            wnd.OnTick();
        }
        QVERIFY(!wnd.isVisible());
    }

    void aLaterPanelThatThrowsEndsTheShowFirst() {
        QVERIFY(WriteShow(Path("throws.vls"), {"second", "first"}));
        CScreenWnd& wnd = Window(m_throwing);
        wnd.PlayDocumentFile(Path("throws.vls"), true);
        // The worker reading "first" ahead meets the failure too and prepares nothing.
        wnd.Preparer().Wait();
        Click(wnd);
        QVERIFY(wnd.isVisible());
        bool bThrown = false;
        try {
            wnd.OnClick();
        } catch (const std::runtime_error&) {
            bThrown = true;
        }
        QVERIFY(bThrown);
        QVERIFY(!wnd.isVisible());
        QVERIFY(!wnd.IsTimerActive());
        QVERIFY(!wnd.Inhibitor().IsWanted());
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    CScreenWnd& Window() { return Window(m_decoder); }
    CScreenWnd& Window(IPictureDecoder& decoder) {
        m_wnd = std::make_unique<CScreenWnd>(decoder);
        m_wnd->Create(kScreen);
        return *m_wnd;
    }

    static void Click(CScreenWnd& wnd) {
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(10, 10));
    }

    // The canvas as drawing every shown layer of the panel on screen, one by one, makes it.
    static QImage Drawn(const CScreenWnd& wnd) {
        QImage canvas = MakeScreenCanvas(wnd.ScreenSize());
        for (const CShowLayer& layer : wnd.Playback().GetShownLayers()) {
            DrawShowLayer(canvas, wnd.Playback(), layer);
        }
        return canvas;
    }

    // Ticks the timer until the canvas changes; the number of ticks it took.
    static int TicksUntilChange(CScreenWnd& wnd) {
        const QImage before = wnd.Canvas().copy();
        for (int tick = 1; tick <= 1000; ++tick) {
            wnd.OnTick();
            if (wnd.Canvas() != before || !wnd.isVisible()) {
                return tick;
            }
        }
        return -1;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CScreenWnd> m_wnd;
};

QTEST_MAIN(CScreenWndTest)
#include "ScreenWndTest.moc"
