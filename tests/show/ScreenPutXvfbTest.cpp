// The player on a real X server, where it puts its canvas to the window straight from shared
// memory: after every kind of change (a screen made ahead swapped in, a layer drawn, a balloon's
// rectangle, a step back putting back what lay under a layer, an expose after another window
// went away) the window's pixels as the X server holds them are exactly the canvas, and the
// pause mark is on the window only. Run at scale 1 and, as a second test, at scale 2.
#include <QPainter>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <cstring>

#include "ShowTestSupport.h"
#include "model/TextCodec.h"
#include "render/QtPictureDecoder.h"
#include "show/ScreenCanvas.h"
#include "show/ScreenWnd.h"

using namespace testsupport;

namespace {

// A picture with a different colour in nearly every pixel, so that a part put from the wrong
// place shows.
bool WriteGradient(const QString& path, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            image.setPixel(x, y,
                           qRgb(x * 255 / size.width(), y * 255 / size.height(), (x ^ y) & 255));
        }
    }
    return image.save(path, "JPEG", 95);
}

// The window as the X server shows it, in device pixels.
QImage Shown(const CScreenWnd& wnd) {
    QImage shown =
        wnd.screen()->grabWindow(wnd.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    shown.setDevicePixelRatio(1.0);
    return shown;
}

// What the window should show: the canvas, black beyond it, and the pause mark where asked.
QImage Expected(const CScreenWnd& wnd, QSize size) {
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(Qt::black);
    for (int y = 0; y < std::min(size.height(), wnd.Canvas().height()); ++y) {
        std::memcpy(expected.scanLine(y), wnd.Canvas().constScanLine(y),
                    std::size_t(std::min(size.width(), wnd.Canvas().width())) * 4);
    }
    return expected;
}

// Lets the window paint what is pending, then compares the server's pixels with the canvas
// (outside `except`, in device pixels) until they match or two seconds have gone.
bool ShowsCanvas(const CScreenWnd& wnd, const QRect& except = {}) {
    QImage shown;
    QImage expected;
    for (int attempt = 0; attempt < 40; ++attempt) {
        QCoreApplication::processEvents();
        QGuiApplication::sync();
        shown = Shown(wnd);
        expected = Expected(wnd, shown.size());
        if (!except.isEmpty()) {
            QPainter painter(&shown);
            painter.fillRect(except, Qt::red);
            QPainter painterExpected(&expected);
            painterExpected.fillRect(except, Qt::red);
        }
        if (shown == expected) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// The layers shown, drawn afresh on a new canvas.
QImage DrawnAfresh(const CScreenWnd& wnd) {
    QImage drawn = MakeScreenCanvas(wnd.ScreenSize());
    for (const CShowLayer& layer : wnd.Playback().GetShownLayers()) {
        DrawShowLayer(drawn, wnd.Playback(), layer);
    }
    return drawn;
}

QRect DeviceRect(const QRect& logical, qreal ratio) {
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                  logical.height() * ratio)
        .toAlignedRect();
}

} // namespace

class CScreenPutXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY(m_dir.isValid());
        QVERIFY(WriteGradient(Path("photo.jpg"), QSize(1500, 1000)));
        QVERIFY(WritePanel(Path("lead.vlm"), MakePanel(640, 427, MakeRgb(200, 40, 0))));
        CPanel photo =
            MakePanel(640, 427, MakeRgb(0, 0, 90), Path("photo.jpg"), CRect{20, 10, 620, 410});
        CFuki& balloon = photo.m_fuki[0];
        balloon.m_nOrder = 1;
        balloon.m_rcBody = CRect{200, 150, 440, 280};
        balloon.m_ptTail = CPoint{300, 360};
        balloon.m_crFill = MakeRgb(255, 255, 255);
        balloon.m_strText = Utf8ToCp932("ここはどこ？").text;
        QVERIFY(WritePanel(Path("photo.vlm"), photo));
        QVERIFY(WriteShow(Path("two.vls"), {"lead", "photo"}));
    }

    // Every change of the canvas reaches the server's pixels, through the shared memory.
    void theServerShowsExactlyTheCanvasAfterEachChange() {
        render::CQtPictureDecoder decoder;
        CScreenWnd wnd(decoder);
        wnd.Create();
        wnd.PlayDocumentFile(Path("two.vls"), true); // "lead": its background
        QVERIFY(QTest::qWaitForWindowExposed(&wnd));
        QVERIFY(wnd.PutsDirectly());
        QVERIFY(wnd.CanvasShared());
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnKey(false); // "lead": its empty picture layer
        wnd.Preparer().Wait();
        wnd.OnKey(false); // "photo": its background, the screen made ahead
        QVERIFY(wnd.CanvasShared());
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnKey(false); // its picture layer, made ahead
        QCOMPARE(wnd.Playback().m_nStep, 2);
        QVERIFY(ShowsCanvas(wnd));
        const QImage picture = wnd.Canvas().copy();
        const int ahead = wnd.BalloonsDrawnAhead();
        QTest::qWait(2 * CScreenWnd::kTimerPeriodMs); // the picture layer waits
        wnd.OnKey(false); // its balloon, drawn ahead while the picture waited: that rectangle put
        QCOMPARE(wnd.Playback().m_nStep, 3);
        QCOMPARE(wnd.BalloonsDrawnAhead(), ahead + 1);
        QVERIFY(wnd.Canvas() != picture);
        QVERIFY(wnd.Canvas() == DrawnAfresh(wnd)); // exactly the balloon drawn on the canvas
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnShowKey(EShowKey::Back); // what lay under the balloon put back
        QCOMPARE(wnd.Playback().m_nStep, 2);
        QVERIFY(wnd.Canvas() == picture);
        QVERIFY(ShowsCanvas(wnd));
        QTest::qWait(2 * CScreenWnd::kTimerPeriodMs);
        wnd.OnKey(false); // the balloon again, drawn ahead again after the step back
        QCOMPARE(wnd.BalloonsDrawnAhead(), ahead + 2);
        QVERIFY(wnd.Canvas() == DrawnAfresh(wnd));
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnShowKey(EShowKey::Back);
        wnd.OnKey(false); // at once, with no event between: drawn as it comes
        QCOMPARE(wnd.BalloonsDrawnAhead(), ahead + 2);
        QVERIFY(wnd.Canvas() == DrawnAfresh(wnd));
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnShowKey(EShowKey::Back);
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnShowKey(EShowKey::Back); // onto the background
        QVERIFY(ShowsCanvas(wnd));

        // Another window over part of the player, then gone: the part it covered is painted
        // again from the canvas.
        QWidget cover(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::magenta);
        cover.setPalette(palette);
        cover.setAutoFillBackground(true);
        cover.setGeometry(100, 80, 300, 200);
        cover.show();
        QVERIFY(QTest::qWaitForWindowExposed(&cover));
        const qreal ratio = wnd.devicePixelRatioF();
        const QPoint inside = DeviceRect(QRect(200, 150, 1, 1), ratio).topLeft();
        QTRY_COMPARE(Shown(wnd).pixel(inside), qRgb(255, 0, 255));
        cover.hide();
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnKey(true);
        QVERIFY(!wnd.isVisible());
    }

    // The pause mark is put over the canvas on the window only: the canvas keeps what the show
    // drew, and the rest of the window shows it; without the mark the window is the canvas.
    void thePauseMarkIsOnTheWindowOnly() {
        render::CQtPictureDecoder decoder;
        CScreenWnd wnd(decoder);
        wnd.Create();
        wnd.PlayDocumentFile(Path("photo.vlm"), false); // an automatic show
        QVERIFY(QTest::qWaitForWindowExposed(&wnd));
        wnd.OnShowKey(EShowKey::Pause);
        QVERIFY(wnd.Playback().IsPaused());
        const QImage canvas = wnd.Canvas().copy();
        const QRect mark = DeviceRect(wnd.PauseMarkRect(), wnd.devicePixelRatioF());
        QVERIFY(ShowsCanvas(wnd, mark));
        const QImage shown = Shown(wnd);
        QVERIFY(shown.copy(mark) != canvas.copy(mark)); // the mark is there
        QVERIFY(wnd.Canvas() == canvas);
        wnd.OnShowKey(EShowKey::Pause);
        QVERIFY(!wnd.Playback().IsPaused());
        QVERIFY(ShowsCanvas(wnd));
        wnd.OnKey(true);
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QTemporaryDir m_dir;
};

QTEST_MAIN(CScreenPutXvfbTest)
#include "ScreenPutXvfbTest.moc"
