// The player in a real window under Xvfb: the program plays a saved panel from its editor, and
// the X screen itself is read back after each layer: the background over the whole screen, then
// the picture, then, after Escape, the editor's main window again.
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "show/ScreenWnd.h"

using namespace showtest;
using namespace testsupport;

namespace {

const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kGreen = qRgb(0, 192, 128);

// The X screen as it is now.
QImage GrabScreen() {
    return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
        QImage::Format_RGB32);
}

double Share(const QImage& image, QRgb colour) {
    qint64 count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            count += (line[x] | 0xFF000000) == colour ? 1 : 0;
        }
    }
    return double(count) / (double(image.width()) * image.height());
}

// Polls the screen until the colour covers at least the share asked for.
bool WaitForShare(QRgb colour, double share, QImage& shot) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        QTest::qWait(50);
        shot = GrabScreen();
        if (Share(shot, colour) >= share) {
            return true;
        }
    }
    return false;
}

} // namespace

class CScreenXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void playsALayerOntoTheRealScreen() {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString picture = dir.filePath(QStringLiteral("green.bmp"));
        QVERIFY(WritePicture(picture, QSize(64, 64), QColor(kGreen)));
        const QString panel = dir.filePath(QStringLiteral("smoke.vlm"));
        // The picture is placed 300 pixels wide at (50, 50) by its import.
        CPanel made = MakePanel(640, 480, MakeRgb(255, 0, 255), picture, CRect{50, 50, 350, 350});
        QVERIFY(made.m_image.HasPicture());
        QVERIFY(WritePanel(panel, made));

        auto app = StartApp({panel});
        QVERIFY(app);
        CScreenWnd* screen = app->ScreenWnd();
        QVERIFY(screen);
        QCOMPARE(screen->ScreenSize(), QSize(1280, 1024));
        QVERIFY(!screen->isVisible());

        QVERIFY(Route(*app, cmd::ID_SLIDESHOW_MANUAL));
        QVERIFY(screen->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(screen));
        QImage shot;
        // Layer 0: the background over the whole screen.
        QVERIFY2(WaitForShare(kMagenta, 0.99, shot),
                 qPrintable(QString::number(Share(shot, kMagenta))));

        // Layer 1 after a click: at zoom 200, 32 pixels down, the picture covers
        // (100, 132)-(700, 732).
        QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(640, 512));
        QVERIFY(WaitForShare(kGreen, 0.27, shot));
        QCOMPARE(shot.pixel(400, 432) | 0xFF000000, kGreen);
        QCOMPARE(shot.pixel(99, 432) | 0xFF000000, kMagenta);
        QCOMPARE(shot.pixel(1000, 900) | 0xFF000000, kMagenta);

        // Escape: the show is gone from the screen.
        QTest::keyClick(screen, Qt::Key_Escape);
        QVERIFY(!screen->isVisible());
        QTRY_VERIFY(Share(GrabScreen(), kMagenta) < 0.5);
        app->DocManager().CloseAllDocuments();
        Settle();
    }
};

QTEST_MAIN(CScreenXvfbTest)
#include "ScreenXvfbTest.moc"
