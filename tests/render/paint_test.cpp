// Pixels of rendered panels: balloons (fill, frame, tail, text), display order, the picture
// stretched at a zoom in area-averaged quality, and selection squares.
#include <QPainter>
#include <QtTest>
#include <limits>

#include "TestPictures.h"
#include "model/Panel.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"

namespace {

const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kFill = qRgb(255, 160, 160); // the default balloon's 10526975

QImage Render(const CPanel& panel, int zoom, int selected = render::kSelectNone) {
    QImage image(700, 500, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 dpi
    image.setDotsPerMeterY(3780);
    image.fill(Qt::gray);
    QPainter painter(&image);
    render::DrawPanel(painter, panel, zoom, selected);
    return image;
}

// A panel holding the default balloon in one slot.
int AddDefaultBalloon(CPanel& panel) {
    return panel.AddFuki();
}

bool IsTextPixel(QRgb c) {
    return qGreen(c) < 110;
} // dark: neither fill, white nor grey

int CountTextPixels(const QImage& image, const QRect& area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += IsTextPixel(image.pixel(x, y)) ? 1 : 0;
        }
    }
    return n;
}

// Pixels differing from white outside a rectangle, within the panel.
int CountPaintedOutside(const QImage& image, const QRect& inside, int panelW, int panelH) {
    int n = 0;
    for (int y = 0; y < panelH; ++y) {
        for (int x = 0; x < panelW; ++x) {
            if (!inside.contains(x, y) && image.pixel(x, y) != kWhite) {
                ++n;
            }
        }
    }
    return n;
}

} // namespace

class CPaintTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    QTemporaryDir m_dir;

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void DefaultBalloonAtZoom100() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        AddDefaultBalloon(panel);
        const QImage img = Render(panel, 100);
        // Fill inside the body (clear of the text) and inside the tail.
        QCOMPARE(img.pixel(100, 145), kFill);
        QCOMPARE(img.pixel(195, 100), kFill);
        QCOMPARE(img.pixel(149, 166), kFill);
        QCOMPARE(img.pixel(156, 170), kFill);
        // A 1-pixel black frame on all four sides of the body.
        QCOMPARE(img.pixel(50, 100), kBlack);
        QCOMPARE(img.pixel(51, 100), kFill);
        QCOMPARE(img.pixel(199, 100), kBlack);
        QCOMPARE(img.pixel(198, 100), kFill);
        QCOMPARE(img.pixel(100, 50), kBlack);
        QCOMPARE(img.pixel(100, 51), kFill);
        QCOMPARE(img.pixel(80, 149), kBlack);
        QCOMPARE(img.pixel(80, 148), kFill);
        // Rounded corners: the corner pixel itself stays white.
        QCOMPARE(img.pixel(50, 50), kWhite);
        QCOMPARE(img.pixel(199, 149), kWhite);
        // No frame where the tail joins the body; the tail's own edges are framed.
        for (int x = 121; x <= 130; ++x) {
            QCOMPARE(img.pixel(x, 149), kFill);
        }
        int first = 0;
        while (img.pixel(first, 175) == kWhite) {
            ++first;
        }
        // A slanted edge is framed by the vertical strokes too, so its frame is 1 to 3 wide.
        int run = 0;
        while (img.pixel(first + run, 175) == kBlack) {
            ++run;
        }
        QVERIFY(run >= 1 && run <= 3);
        QCOMPARE(img.pixel(first + run, 175), kFill);
        // Text in the inset rectangle from (60, 60), wrapped before x = 190.
        QVERIFY(CountTextPixels(img, QRect(60, 60, 130, 80)) > 100);
        QVERIFY(CountTextPixels(img, QRect(60, 60, 130, 22)) > 20); // the first line at the top
        QCOMPARE(CountTextPixels(img, QRect(191, 56, 7, 88)), 0);
        QCOMPARE(CountTextPixels(img, QRect(51, 56, 9, 88)), 0);
        // Nothing painted outside the body and the tail.
        QCOMPARE(img.pixel(49, 100), kWhite);
        QCOMPARE(img.pixel(200, 100), kWhite);
        QCOMPARE(img.pixel(100, 49), kWhite);
        QCOMPARE(img.pixel(201, 201), kWhite);
        QCOMPARE(CountPaintedOutside(img, QRect(50, 50, 151, 151), 640, 480), 0);
        QCOMPARE(img.pixel(650, 100), qRgb(160, 160, 164)); // beyond the panel: untouched
    }

    void DefaultBalloonAtZoom50() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        AddDefaultBalloon(panel);
        const QImage img = Render(panel, 50);
        QCOMPARE(img.pixel(25, 50), kBlack);
        QCOMPARE(img.pixel(26, 50), kFill); // the border does not grow or shrink with the zoom
        QCOMPARE(img.pixel(99, 50), kBlack);
        QCOMPARE(img.pixel(98, 50), kFill);
        QCOMPARE(img.pixel(60, 25), kBlack);
        QCOMPARE(img.pixel(40, 74), kBlack);
        QCOMPARE(img.pixel(40, 73), kFill);
        QCOMPARE(img.pixel(100, 50), kWhite);
        QCOMPARE(img.pixel(76, 83), kFill); // inside the tail (100, 100), (58, 74), (66, 74)
        QCOMPARE(img.pixel(62, 74), kFill); // tail joins the body without a frame
        QVERIFY(CountTextPixels(img, QRect(30, 30, 65, 40)) > 30);
        QCOMPARE(CountTextPixels(img, QRect(96, 26, 2, 48)), 0);
        QCOMPARE(CountPaintedOutside(img, QRect(25, 25, 76, 76), 320, 240), 0);
    }

    void TailTipInsideTheBody() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(AddDefaultBalloon(panel))];
        fuki.m_strText.clear();
        fuki.m_ptTail = CPoint{120, 100};
        const QImage img = Render(panel, 100);
        // Only the body is framed: the triangle's edges inside it are plain fill.
        for (int y = 101; y < 148; ++y) {
            for (int x = 52; x < 198; ++x) {
                QCOMPARE(img.pixel(x, y), kFill);
            }
        }
        QCOMPARE(CountPaintedOutside(img, QRect(50, 50, 150, 100), 640, 480), 0);
    }

    void CollinearTailPaintsOnlyTheBody() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(AddDefaultBalloon(panel))];
        fuki.m_strText.clear();
        fuki.m_ptTail = CPoint{250, 149}; // on the line through (117, 149) and (132, 149)
        const QImage img = Render(panel, 100);
        QCOMPARE(CountPaintedOutside(img, QRect(50, 50, 150, 100), 640, 480), 0);
        QCOMPARE(img.pixel(150, 149), kBlack); // the body's bottom frame is unbroken
        QCOMPARE(img.pixel(124, 148), kFill);
    }

    void InvertedTextRectangleRunsOnUnclipped() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(AddDefaultBalloon(panel))];
        fuki.m_nCornerWidth = 100; // text rectangle (150, 130, 100, 70): inverted
        fuki.m_nCornerHeight = 80;
        fuki.m_ptTail = CPoint{100, 100}; // the tail stays inside the body
        const QImage img = Render(panel, 100);
        // One piece per line from (150, 130) downwards, far below the body, on fill cells.
        QVERIFY(CountTextPixels(img, QRect(150, 130, 40, 20)) > 10);
        QVERIFY(CountTextPixels(img, QRect(150, 250, 40, 100)) > 30);
        QCOMPARE(CountTextPixels(img, QRect(0, 160, 149, 320)), 0);
        QCOMPARE(CountTextPixels(img, QRect(200, 0, 440, 480)), 0);
        QCOMPARE(img.pixel(150, 200) == kWhite, false);
    }

    void OverlappingBalloonsInDisplayOrder() {
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        const int back = AddDefaultBalloon(panel);  // position 1
        const int front = AddDefaultBalloon(panel); // position 2
        auto style = [&](int slot, const CRect& body, COLORREF fill) {
            CFuki& f = panel.m_fuki[static_cast<std::size_t>(slot)];
            f.m_rcBody = body;
            f.m_crFill = fill;
            f.m_strText.clear();
            f.m_ptTail = CPoint{body.left + 20, body.bottom - 1};
        };
        style(back, CRect{50, 50, 200, 150}, MakeRgb(255, 0, 0));
        style(front, CRect{100, 100, 250, 200}, MakeRgb(0, 0, 255));
        // A free slot holding values is never drawn.
        panel.m_fuki[0].m_rcBody = CRect{300, 300, 400, 400};
        QCOMPARE(panel.m_fuki[0].m_nOrder, -1);

        QImage img = Render(panel, 100);
        QCOMPARE(img.pixel(150, 125), qRgb(0, 0, 255));
        QCOMPARE(img.pixel(75, 75), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(350, 350), kWhite);

        panel.ChangeFukiOrder(back, ORDER_FRONTMOST);
        img = Render(panel, 100);
        QCOMPARE(img.pixel(150, 125), qRgb(255, 0, 0));
        QCOMPARE(img.pixel(225, 175), qRgb(0, 0, 255));
    }

    void PictureStretchedAtZoom50() {
        const QString path =
            testpic::Save(m_dir, "green.jpg", testpic::Solid(640, 480, QColor(0, 200, 0)), "JPEG");
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        QCOMPARE(panel.m_image.Import(path.toStdString(), m_decoder), EImportResult::Imported);
        QVERIFY(panel.m_image.m_rcBody == (CRect{50, 50, 350, 275}));
        const QImage img = Render(panel, 50);
        const QRgb green = qRgb(0, 200, 0);
        for (const QPoint p : {QPoint(25, 25), QPoint(174, 25), QPoint(25, 136), QPoint(174, 136),
                               QPoint(100, 80)}) {
            QVERIFY2(testpic::ColorDistance(img.pixel(p), green) <= 6,
                     qPrintable(QString("at %1, %2").arg(p.x()).arg(p.y())));
        }
        for (const QPoint p :
             {QPoint(24, 25), QPoint(175, 100), QPoint(100, 137), QPoint(25, 24)}) {
            QCOMPARE(img.pixel(p), kWhite);
        }
    }

    void PictureIsAreaAveraged() {
        // A one-pixel checkerboard reduced to less than half must come out an even grey; a
        // nearest-pixel or bilinear stretch keeps black and white pixels.
        QImage board(640, 480, QImage::Format_RGB32);
        for (int y = 0; y < 480; ++y) {
            for (int x = 0; x < 640; ++x) {
                board.setPixel(x, y, (x + y) % 2 ? kWhite : kBlack);
            }
        }
        const QString path = testpic::Save(m_dir, "board.bmp", board, "BMP");
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        QCOMPARE(panel.m_image.Import(path.toStdString(), m_decoder), EImportResult::Imported);
        for (int zoom : {100, 37}) {
            const QImage img = Render(panel, zoom);
            const CRect z = panel.m_image.GetZoomedRect(zoom, 0, 0);
            for (int y = z.top + 1; y < z.bottom - 1; y += 7) {
                for (int x = z.left + 1; x < z.right - 1; x += 5) {
                    QVERIFY2(testpic::ColorDistance(img.pixel(x, y), qRgb(128, 128, 128)) <= 4,
                             qPrintable(QString("zoom %1 at %2, %3").arg(zoom).arg(x).arg(y)));
                }
            }
        }
    }

    void HostileValuesDrawOnlyWhatCanBeSeen() {
        // Extremes that only a damaged or crafted file can hold: drawing must finish, bounded by
        // the visible area, and still paint what lies there.
        constexpr std::int32_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int32_t hi = std::numeric_limits<std::int32_t>::max();
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        panel.m_rcTotal = CRect{lo, lo, hi, hi};
        const QString path =
            testpic::Save(m_dir, "hostile.png", testpic::Solid(8, 8, Qt::red), "PNG");
        QCOMPARE(panel.m_image.Import(path.toStdString(), m_decoder), EImportResult::Imported);
        panel.m_image.m_rcBody = CRect{hi, lo, lo, hi}; // inverted both ways
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(AddDefaultBalloon(panel))];
        fuki.m_rcBody = CRect{lo, lo + 7, hi, hi - 3};
        fuki.m_nCornerWidth = hi;
        fuki.m_nCornerHeight = lo;
        fuki.m_ptTail = CPoint{lo, hi};
        fuki.m_nTailBase1 = hi;
        fuki.m_nTailBase2 = lo;
        fuki.m_nBorderWidth = lo;
        fuki.m_nBorderHeight = hi;
        fuki.m_nFontSize = hi;
        fuki.m_strText = std::string(2000, 'A');
        for (int zoom : {10, 100, 1000}) {
            for (int selected : {render::kSelectNone, 0, 9, render::kSelectPicture}) {
                const QImage img = Render(panel, zoom, selected);
                QCOMPARE(img.pixel(350, 250) == qRgb(160, 160, 164), false);
            }
        }
    }

    void SelectionSquaresOnlyWhenSelected() {
        const QString path =
            testpic::Save(m_dir, "sel.png", testpic::Solid(300, 100, QColor(0, 0, 200)), "PNG");
        CPanel panel;
        testpic::MakeEmptyPanel(panel);
        QCOMPARE(panel.m_image.Import(path.toStdString(), m_decoder), EImportResult::Imported);
        panel.m_image.m_rcBody = CRect{300, 300, 600, 400};
        const int slot = AddDefaultBalloon(panel);

        QImage img = Render(panel, 100, render::kSelectNone);
        QCOMPARE(img.pixel(46, 46), kWhite);
        QCOMPARE(img.pixel(203, 203), kWhite);
        QCOMPARE(img.pixel(296, 296), kWhite);

        img = Render(panel, 100, slot);
        for (const QPoint p : {QPoint(45, 45), QPoint(204, 45), QPoint(45, 154), QPoint(204, 154),
                               QPoint(195, 195), QPoint(204, 204)}) {
            QCOMPARE(img.pixel(p), kBlack);
        }
        QCOMPARE(img.pixel(205, 205), kWhite);
        QCOMPARE(img.pixel(296, 296), kWhite);

        img = Render(panel, 100, render::kSelectPicture);
        for (const QPoint p :
             {QPoint(295, 295), QPoint(604, 295), QPoint(295, 404), QPoint(604, 404)}) {
            QCOMPARE(img.pixel(p), kBlack);
        }
        QCOMPARE(img.pixel(46, 46), kWhite);
        QCOMPARE(img.pixel(203, 203), kWhite);

        // At zoom 50 the squares keep their size around the zoomed corners.
        img = Render(panel, 50, render::kSelectPicture);
        QCOMPARE(img.pixel(145, 145), kBlack);
        QCOMPARE(img.pixel(154, 154), kBlack);
        QCOMPARE(img.pixel(155, 155) == kBlack, false);
    }
};

QTEST_MAIN(CPaintTest)
#include "paint_test.moc"
