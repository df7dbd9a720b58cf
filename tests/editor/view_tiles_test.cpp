// The view's tiles of an enlarged picture: after scrolling, zooming, moving the picture, editing
// balloons, undoing and changing the picture, the painted window equals the renderer's drawing
// of the panel at that state (up to the rounding of the smoothing, no seams between tiles), and
// a repaint or a balloon edit blits the kept tiles instead of drawing the picture again.
#include <QPainter>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>

#include "EditorTestSupport.h"
#include "app/VelmoApp.h"
#include "editor/DensePanel.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

using namespace edtest;

namespace {

// A picture of noise: every neighbour differs, so a stale tile or a seam changes pixels a lot.
QString NoisePicture(const QString& path, int w, int h, quint32 seed) {
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
        }
    }
    return image.save(path) ? path : QString();
}

// The largest difference of one colour channel between two images of one size.
int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max({largest, std::abs(qRed(pa[x]) - qRed(pb[x])),
                                std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
        }
    }
    return largest;
}

} // namespace

class CViewTilesTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;

    CVelmoView& View() { return m_f->View(); }
    // The window painted again; after a scroll without invalidating, as scrolling paints it.
    const QImage& Painted(bool invalidate) {
        if (invalidate) {
            View().InvalidateView();
        }
        m_f->Viewport()->repaint();
        return View().GetPanelImage();
    }
    void ScrollTo(int x, int y) {
        View().horizontalScrollBar()->setValue(x);
        View().verticalScrollBar()->setValue(y);
    }
    // The window as painted against the whole panel drawn afresh by the renderer around it
    // (drawn wider than the window, so that the reference has no edge of its own there).
    void CompareWithFreshDrawing(const char* step, bool invalidate = true) {
        const QImage shown = Painted(invalidate);
        const QPoint scroll = View().GetScrollPosition();
        constexpr int kAround = 64;
        QImage fresh(shown.width() + 2 * kAround, shown.height() + 2 * kAround,
                     QImage::Format_RGB32);
        fresh.fill(Qt::magenta);
        {
            QPainter painter(&fresh);
            painter.translate(kAround - scroll.x(), kAround - scroll.y());
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            DrawDensePanel(painter, m_f->Doc().m_panel, View().GetZoom(), View().m_nSelected, 1.0);
        }
        // Within the panel: beyond it the window shows the view's own strips.
        const int zoom = View().GetZoom();
        const QRect panel = QRect(-scroll, QSize(640 * zoom / 100, 480 * zoom / 100)) &
                            QRect(QPoint(0, 0), shown.size());
        const QImage expected = fresh.copy(panel.translated(kAround, kAround));
        const int difference = LargestDifference(shown.copy(panel), expected);
        QVERIFY2(difference <= 2, qPrintable(QStringLiteral("%1: %2").arg(step).arg(difference)));
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_f = std::make_unique<CEditorFixture>(); }
    void cleanup() { m_f.reset(); }

    void EnlargedPictureIsKeptInTilesThatFollowEveryChange() {
        m_f->m_prompter->m_files.push_back(
            NoisePicture(m_f->m_dir.filePath(QStringLiteral("a.png")), 200, 150, 1));
        QVERIFY(m_f->Route(cmd::ID_PICTURE_IMPORT));
        QVERIFY(m_f->Doc().m_panel.m_image.HasPicture());
        QVERIFY(m_f->Route(cmd::ID_FUKI_ADD));
        QVERIFY(View().SetZoom(1000));
        ScrollTo(600, 500);
        CompareWithFreshDrawing("first paint");
        const CPictureTileCache& tiles = View().GetPictureTiles();
        QVERIFY(tiles.TileCount() > 0);

        // A repaint and a small scroll back and forth blit what is kept.
        const int drawn = tiles.TilesDrawn();
        CompareWithFreshDrawing("repaint");
        ScrollTo(610, 507);
        CompareWithFreshDrawing("small scroll", false);
        ScrollTo(600, 500);
        CompareWithFreshDrawing("scroll back", false);
        // Scrolled pixels are moved and the strips uncovered drawn, the balloon in them too.
        ScrollTo(420, 333);
        CompareWithFreshDrawing("scroll over the balloon", false);
        ScrollTo(440, 300);
        CompareWithFreshDrawing("scroll right and up", false);
        QVERIFY(tiles.TilesDrawn() <= drawn + 8); // at most a new column and row

        // Scrolling far draws what was not kept and drops the far tiles.
        ScrollTo(2500, 1400);
        CompareWithFreshDrawing("far scroll", false);
        ScrollTo(0, 0);
        CompareWithFreshDrawing("back to the corner", false);

        // A balloon edit keeps the picture's tiles.
        const int beforeBalloon = tiles.TilesDrawn();
        QVERIFY(m_f->Route(cmd::ID_FUKI_ADD));
        CompareWithFreshDrawing("balloon added");
        QCOMPARE(tiles.TilesDrawn(), beforeBalloon);

        // The picture moved by one panel pixel with the keyboard: every tile is drawn again.
        View().m_nSelected = CVelmoView::SEL_PICTURE;
        QTest::keyClick(m_f->Viewport(), Qt::Key_Right);
        QCOMPARE(m_f->Doc().m_panel.m_image.m_rcBody.left, 51);
        CompareWithFreshDrawing("picture moved");
        QVERIFY(m_f->Route(cmd::ID_EDIT_UNDO));
        CompareWithFreshDrawing("move undone");

        QVERIFY(View().SetZoom(700));
        CompareWithFreshDrawing("zoom 700");
        ScrollTo(900, 300);
        CompareWithFreshDrawing("zoom 700 scrolled", false);

        // Another picture with the same size and place.
        m_f->m_prompter->m_files.push_back(
            NoisePicture(m_f->m_dir.filePath(QStringLiteral("b.png")), 200, 150, 2));
        QVERIFY(m_f->Route(cmd::ID_PICTURE_IMPORT));
        CompareWithFreshDrawing("picture replaced");
    }

    // At a zoom that does not enlarge the picture, and where the window shows more than the
    // panel, the view keeps no tiles.
    void NoTilesWherePictureIsNotEnlarged() {
        m_f->m_prompter->m_files.push_back(
            NoisePicture(m_f->m_dir.filePath(QStringLiteral("a.png")), 1200, 900, 3));
        QVERIFY(m_f->Route(cmd::ID_PICTURE_IMPORT));
        QVERIFY(View().SetZoom(200));
        CompareWithFreshDrawing("zoom 200");
        QCOMPARE(View().GetPictureTiles().TileCount(), 0);
        QVERIFY(View().SetZoom(1000));
        CompareWithFreshDrawing("zoom 1000");
        QVERIFY(View().GetPictureTiles().TileCount() > 0);
        QVERIFY(View().SetZoom(10));
        CompareWithFreshDrawing("zoom 10");
        QCOMPARE(View().GetPictureTiles().TileCount(), 0);
    }
};

QTEST_MAIN(CViewTilesTest)
#include "view_tiles_test.moc"
