// Drawing values only a damaged or crafted file can hold: every field of a balloon and of the
// panel at the ends of the 32-bit range. Drawing must be defined (the sanitizer build reports
// any overflow), and what lands in a small image must be exactly the same part of what a larger
// image shows, so no clamping changes a visible pixel.
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <limits>

#include "TestPictures.h"
#include "model/Panel.h"
#include "render/FukiShape.h"
#include "render/PanelRenderer.h"
#include "render/QtPictureDecoder.h"

namespace {

constexpr std::int32_t kLo = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kHi = std::numeric_limits<std::int32_t>::max();
const std::int32_t kExtremes[] = {kLo, kLo + 1, -1073741776, -1, 0, 1, 1073741823, kHi - 1, kHi};

using FieldSetter = std::function<void(CPanel&, CFuki&, std::int32_t)>;

struct SField {
    const char* name;
    FieldSetter set;
};

const SField kFields[] = {
    {"total.left", [](CPanel& p, CFuki&, std::int32_t v) { p.m_rcTotal.left = v; }},
    {"total.bottom", [](CPanel& p, CFuki&, std::int32_t v) { p.m_rcTotal.bottom = v; }},
    {"body.left", [](CPanel&, CFuki& f, std::int32_t v) { f.m_rcBody.left = v; }},
    {"body.top", [](CPanel&, CFuki& f, std::int32_t v) { f.m_rcBody.top = v; }},
    {"body.right", [](CPanel&, CFuki& f, std::int32_t v) { f.m_rcBody.right = v; }},
    {"body.bottom", [](CPanel&, CFuki& f, std::int32_t v) { f.m_rcBody.bottom = v; }},
    {"corner.w", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nCornerWidth = v; }},
    {"corner.h", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nCornerHeight = v; }},
    {"tail.x", [](CPanel&, CFuki& f, std::int32_t v) { f.m_ptTail.x = v; }},
    {"tail.y", [](CPanel&, CFuki& f, std::int32_t v) { f.m_ptTail.y = v; }},
    {"tail.side", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nTailSide = v; }},
    {"tail.base1", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nTailBase1 = v; }},
    {"tail.base2", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nTailBase2 = v; }},
    {"border.w", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nBorderWidth = v; }},
    {"border.h", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nBorderHeight = v; }},
    {"font.size", [](CPanel&, CFuki& f, std::int32_t v) { f.m_nFontSize = v; }},
    {"picture.left", [](CPanel& p, CFuki&, std::int32_t v) { p.m_image.m_rcBody.left = v; }},
    {"picture.top", [](CPanel& p, CFuki&, std::int32_t v) { p.m_image.m_rcBody.top = v; }},
    {"picture.right", [](CPanel& p, CFuki&, std::int32_t v) { p.m_image.m_rcBody.right = v; }},
    {"picture.bottom", [](CPanel& p, CFuki&, std::int32_t v) { p.m_image.m_rcBody.bottom = v; }},
    {"picture inverted at the ends",
     [](CPanel& p, CFuki&, std::int32_t v) {
         p.m_image.m_rcBody = CRect{kHi, v, kLo, WrapSub(0, v)};
     }},
    {"every field",
     [](CPanel& p, CFuki& f, std::int32_t v) {
         p.m_rcTotal = CRect{v, v, v, v};
         p.m_image.m_rcBody = CRect{v, v, v, v};
         f.m_rcBody = CRect{v, v, v, v};
         f.m_nCornerWidth = f.m_nCornerHeight = v;
         f.m_ptTail = CPoint{v, v};
         f.m_nTailSide = f.m_nTailBase1 = f.m_nTailBase2 = v;
         f.m_nBorderWidth = f.m_nBorderHeight = f.m_nFontSize = v;
     }},
    {"tail across the range",
     [](CPanel&, CFuki& f, std::int32_t v) {
         f.m_rcBody = CRect{kLo, 20, kHi, 40};
         f.m_ptTail = CPoint{v, WrapSub(kHi, v)};
         f.m_nTailBase1 = kLo;
         f.m_nTailBase2 = kHi;
     }},
};

QImage Draw(const CPanel& panel, int zoom, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    image.fill(Qt::gray);
    QPainter painter(&image);
    render::DrawPanel(painter, panel, zoom, 0);
    return image;
}

} // namespace

class CHostilePaintTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
    QTemporaryDir m_dir;
    QString m_strPicture;

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        m_strPicture = testpic::Save(m_dir, "solid.png", testpic::Solid(16, 9, Qt::red), "PNG");
    }

    void ExtremeFieldsDrawDefined_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("value");
        for (int field = 0; field < int(std::size(kFields)); ++field) {
            for (std::int32_t value : kExtremes) {
                QTest::addRow("%s=%d", kFields[field].name, value) << field << value;
            }
        }
    }

    void ExtremeFieldsDrawDefined() {
        QFETCH(int, field);
        QFETCH(int, value);
        CPanel panel;
        testpic::MakeEmptyPanel(panel, 640, 480);
        QCOMPARE(panel.m_image.Import(m_strPicture.toStdString(), m_decoder),
                 EImportResult::Imported);
        const int slot = panel.AddFuki();
        CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(slot)];
        fuki.m_strText = std::string(300, 'W') + "\r\n" + std::string(300, 'i');
        kFields[field].set(panel, fuki, value);
        for (int zoom : {1, 100, 1000, 100000}) {
            const QImage small = Draw(panel, zoom, 48);
            const QImage large = Draw(panel, zoom, 160);
            QCOMPARE(large.copy(0, 0, 48, 48), small);
        }
    }

    void TailSpanningTheRangeCoversTheRightSide() {
        // An edge from x = 2^31 - 1 down to x = -2^31 crosses x = 0 half-way: the pixels left of
        // it are inside, those right of it outside.
        const QRect bounds(0, 0, 100, 200);
        const QRegion region =
            render::TriangleRegion(QPoint(kHi, 0), QPoint(kLo, 200), QPoint(kHi, 200), bounds);
        QVERIFY(region.contains(QPoint(10, 150)));
        QVERIFY(region.contains(QPoint(99, 199)));
        QVERIFY(!region.contains(QPoint(10, 50)));
        QVERIFY(!region.contains(QPoint(10, 99)));
        QVERIFY(region.contains(QPoint(10, 101)));
    }

    void CollinearPointsAtTheEndsGiveNothing() {
        const QRect bounds(-50, -50, 100, 100);
        QVERIFY(render::TriangleRegion(QPoint(kLo, kLo), QPoint(0, 0), QPoint(kHi, kHi), bounds)
                    .isEmpty());
        QVERIFY(
            !render::TriangleRegion(QPoint(kLo, kLo), QPoint(kHi, kLo), QPoint(kLo, kHi), bounds)
                 .isEmpty());
    }

    void ExtremeCornersAndStrokesStayBounded() {
        const QRect bounds(0, 0, 64, 64);
        const QRegion body = render::RoundRectRegion(std::numeric_limits<qint64>::min(), 0,
                                                     std::numeric_limits<qint64>::max(), 64,
                                                     std::numeric_limits<qint64>::min(), 8, bounds);
        QVERIFY(body.boundingRect() == bounds);
        const QRegion frame = render::FrameRegion(body, kLo, kLo);
        QCOMPARE(frame, body); // a stroke wider than everything frames all of it
    }
};

QTEST_MAIN(CHostilePaintTest)
#include "hostile_paint_test.moc"
