// The panel view and the tool bar on a screen of higher density (run with QT_SCALE_FACTOR 2 and
// 1.5): the view's painted image has one pixel per device pixel, holds exactly what the renderer
// draws at the zoom times the ratio, keeps 1-pixel borders and the grab squares at their size
// in view pixels, and the tool bar takes its buttons from the bitmap of twice the density.
#include <QPainter>
#include <QToolBar>
#include <QtTest>

#include "EditorTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/DensePanel.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"
#include "render/PanelRenderer.h"

using namespace edtest;

namespace {

constexpr COLORREF kBack = 0x00FF8000;  // a blue background
constexpr COLORREF kFill = 0x00FFFFFF;  // white balloon
constexpr COLORREF kFrame = 0x00000000; // black 1 x 1 border

QRgb Rgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

qreal ExpectedRatio() {
    return qEnvironmentVariable("QT_SCALE_FACTOR").toDouble();
}

} // namespace

class CViewHiDpiTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;

    CPanel& Panel() { return m_f->Doc().m_panel; }
    // A balloon with a 1 x 1 black border and its tail below the body.
    int AddBalloon() {
        m_f->Route(cmd::ID_FUKI_ADD);
        const int slot = m_f->View().m_nSelected;
        CFuki& fuki = Panel().m_fuki[static_cast<std::size_t>(slot)];
        fuki.m_rcBody = CRect{100, 60, 300, 160};
        fuki.m_ptTail = CPoint{200, 240};
        fuki.m_nTailSide = 1;
        fuki.m_crFill = kFill;
        fuki.m_crBorder = kFrame;
        fuki.m_nBorderWidth = 1;
        fuki.m_nBorderHeight = 1;
        fuki.m_strText.clear();
        return slot;
    }
    const QImage& Painted() {
        m_f->View().InvalidateView();
        m_f->Viewport()->repaint();
        return m_f->View().GetPanelImage();
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(ExpectedRatio() > 1.0);
    }
    void init() {
        m_f = std::make_unique<CEditorFixture>();
        Panel().m_crBack = kBack;
    }
    void cleanup() { m_f.reset(); }

    void imageHasTheDevicePixelRatio() {
        const qreal ratio = ExpectedRatio();
        QCOMPARE(m_f->Viewport()->devicePixelRatioF(), ratio);
        const QImage& image = Painted();
        QCOMPARE(image.devicePixelRatio(), ratio);
        const QSize client = m_f->Viewport()->size();
        QCOMPARE(image.size(),
                 QSize(qRound(client.width() * ratio), qRound(client.height() * ratio)));
        // The grey strips begin where the panel ends, in device pixels too.
        const int panelRight = qRound(640 * ratio);
        QCOMPARE(image.pixel(panelRight - 1, 10), Rgb(kBack));
        QCOMPARE(image.pixel(panelRight, 10),
                 CVelmoView::GrayTextColor(m_f->View().palette()).rgb());
    }

    void panelIsTheRenderersDrawingAtTheDeviceZoom_data() {
        QTest::addColumn<int>("zoom");
        QTest::newRow("100") << 100;
        QTest::newRow("50") << 50;
        QTest::newRow("200") << 200;
    }
    void panelIsTheRenderersDrawingAtTheDeviceZoom() {
        QFETCH(int, zoom);
        const qreal ratio = ExpectedRatio();
        m_f->m_prompter->m_files.push_back(m_f->PictureFile(QStringLiteral("p.png"), 400, 300));
        m_f->Route(cmd::ID_PICTURE_IMPORT);
        QVERIFY(Panel().m_image.HasPicture());
        AddBalloon();
        m_f->View().m_nSelected = CVelmoView::SEL_NONE;
        QVERIFY(m_f->View().SetZoom(zoom));
        const QImage& image = Painted();

        // What an export at zoom x ratio draws, with every border widened to its device size.
        CPanel expected = Panel();
        for (CFuki& fuki : expected.m_fuki) {
            fuki.m_nBorderWidth = qRound(fuki.m_nBorderWidth * ratio);
            fuki.m_nBorderHeight = qRound(fuki.m_nBorderHeight * ratio);
        }
        const int deviceZoom = DeviceZoom(zoom, ratio);
        QImage reference(image.size(), QImage::Format_RGB32);
        reference.fill(Qt::magenta);
        {
            QPainter painter(&reference);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            render::DrawPanel(painter, expected, deviceZoom, render::kSelectNone);
        }
        const QRect panel(0, 0, 640 * deviceZoom / 100, 480 * deviceZoom / 100);
        const QRect seen = panel & reference.rect();
        QImage shown = image.copy(seen);
        shown.setDevicePixelRatio(1.0);
        QVERIFY(shown == reference.copy(seen));
    }

    void onePixelBorderIsSharpAndOneViewPixelWide() {
        const qreal ratio = ExpectedRatio();
        AddBalloon();
        m_f->View().m_nSelected = CVelmoView::SEL_NONE;
        const QImage& image = Painted();
        // Down the middle of the body's top edge: background, the border, then the fill, and
        // nothing in between (no smoothing).
        const int x = qRound(200 * ratio);
        const int top = qRound(60 * ratio);
        const int wide = qRound(ratio);
        for (int y = top - 4; y < top; ++y) {
            QCOMPARE(image.pixel(x, y), Rgb(kBack));
        }
        for (int y = top; y < top + wide; ++y) {
            QCOMPARE(image.pixel(x, y), Rgb(kFrame));
        }
        for (int y = top + wide; y < top + wide + 6; ++y) {
            QCOMPARE(image.pixel(x, y), Rgb(kFill));
        }
        // The left edge likewise, across.
        const int left = qRound(100 * ratio);
        const int y = qRound(110 * ratio);
        QCOMPARE(image.pixel(left - 1, y), Rgb(kBack));
        for (int i = 0; i < wide; ++i) {
            QCOMPARE(image.pixel(left + i, y), Rgb(kFrame));
        }
        QCOMPARE(image.pixel(left + wide, y), Rgb(kFill));
    }

    void grabSquaresKeepTheirSizeInViewPixels() {
        const qreal ratio = ExpectedRatio();
        AddBalloon(); // selected
        const QImage& image = Painted();
        // The square around the body's bottom-right corner (300, 160): 10 view pixels wide.
        const int side = qRound(10 * ratio);
        const int left = qRound(300 * ratio - 5 * ratio);
        const int top = qRound(160 * ratio - 5 * ratio);
        int black = 0;
        for (int i = -2; i < side + 2; ++i) {
            black += image.pixel(left + i, top + side / 2) == qRgb(0, 0, 0) ? 1 : 0;
        }
        QCOMPARE(black, side);
        QCOMPARE(image.pixel(left + side / 2, top + side - 1), qRgb(0, 0, 0));
        QVERIFY(image.pixel(left + side / 2, top + side + 1) != qRgb(0, 0, 0));
    }

    void toolBarButtonsComeFromTheDenseBitmap() {
        const qreal ratio = ExpectedRatio();
        auto* bar =
            m_f->m_app->MainFrame()->findChild<QToolBar*>(QString::number(cmd::ID_VIEW_TOOLBAR));
        QVERIFY(bar);
        const QList<QAction*> actions = bar->actions();
        QVERIFY(!actions.isEmpty());
        const QImage strip2x(QStringLiteral(":/toolbar@2x.png"));
        QCOMPARE(strip2x.size(), QSize(9 * 32, 30));
        // Every button carries both bitmaps; the denser one serves every ratio above 1.
        for (QAction* action : actions) {
            if (!action->isSeparator()) {
                const QList<QSize> sizes = action->icon().availableSizes();
                QVERIFY(sizes.contains(QSize(16, 15)));
                QVERIFY(sizes.contains(QSize(32, 30)));
            }
        }
        if (ratio == 2.0) {
            // Not a 16-pixel button blown up: the first button exactly as drawn at 32 x 30.
            const QPixmap shown = actions.first()->icon().pixmap(QSize(16, 15), ratio);
            QCOMPARE(shown.devicePixelRatio(), ratio);
            QImage first = shown.toImage().convertToFormat(QImage::Format_ARGB32);
            first.setDevicePixelRatio(1.0);
            QVERIFY(first == strip2x.copy(0, 0, 32, 30).convertToFormat(QImage::Format_ARGB32));
        }
    }
};

QTEST_MAIN(CViewHiDpiTest)
#include "view_hidpi_test.moc"
