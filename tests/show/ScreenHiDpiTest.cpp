// The player on a screen of higher density (run with QT_SCALE_FACTOR 2 and 1.5): the canvas
// has the screen's device pixels, the panel is fitted to them, and the window shows the canvas
// one pixel per device pixel, unscaled.
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "render/QtPictureDecoder.h"
#include "show/ScreenWnd.h"

using namespace testsupport;

class CScreenHiDpiTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    QTemporaryDir m_dir;

    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        CPanel panel = MakePanel(320, 240, MakeRgb(255, 255, 255));
        CFuki& balloon = panel.m_fuki[0];
        balloon.m_nOrder = 1;
        balloon.m_rcBody = CRect{40, 40, 200, 120};
        balloon.m_ptTail = CPoint{100, 200};
        balloon.m_crFill = MakeRgb(255, 255, 255);
        balloon.m_crBorder = MakeRgb(0, 0, 0);
        QVERIFY(WritePanel(Path("a.vlm"), panel));
        QVERIFY(WriteShow(Path("a.vls"), {"a"}));
    }

    void canvasIsShownOnePixelPerDevicePixel() {
        const qreal ratio = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
        QVERIFY(ratio > 1.0);
        CScreenWnd wnd(m_decoder);
        wnd.Create();
        const QSize logical = QGuiApplication::primaryScreen()->size();
        QCOMPARE(wnd.ScreenSize(),
                 QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
        wnd.PlayDocumentFile(Path("a.vls"), true);
        QVERIFY(wnd.isVisible());
        // The panel fills the device pixels' height, not the logical one.
        const int fitted = 240 * wnd.Playback().m_nZoom / 100;
        QVERIFY2(fitted > logical.height(), qPrintable(QString::number(fitted)));
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(10, 10)); // the (missing) picture
        QTest::mouseClick(&wnd, Qt::LeftButton, {}, QPoint(10, 10)); // the balloon
        QVERIFY(wnd.isVisible());
        const QPixmap grabbed = wnd.grab();
        QCOMPARE(grabbed.devicePixelRatio(), ratio);
        QImage shown = grabbed.toImage().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1.0);
        const QImage& canvas = wnd.Canvas();
        const QRect common = shown.rect() & canvas.rect();
        QVERIFY(common.width() >= canvas.width() - 1 && common.height() >= canvas.height() - 1);
        QVERIFY(shown.copy(common) == canvas.copy(common));
    }
};

QTEST_MAIN(CScreenHiDpiTest)
#include "ScreenHiDpiTest.moc"
