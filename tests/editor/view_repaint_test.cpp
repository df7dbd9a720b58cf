// The view's kept panel image (run at device pixel ratio 1 and 1.5): after each of a run of
// edits, selection changes, scrolls, zoom changes and undos, the painted window is exactly the
// drawing made afresh for that state (with tiles drawn afresh too), and a repaint or a change of
// the selection alone does not draw the image whole again.
#include <QRandomGenerator>
#include <QScrollBar>
#include <QtTest>
#include <functional>

#include "EditorTestSupport.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

using namespace edtest;

namespace {

// A picture of noise: every neighbour differs, so stale pixels anywhere show.
QString NoisePicture(const QString& path, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, 0xFF000000u | (random.generate() & 0xFFFFFFu));
        }
    }
    return image.save(path) ? path : QString();
}

// The first pixel where two images differ, or nothing when they are equal.
QString FirstDifference(const QImage& shown, const QImage& fresh) {
    if (shown.size() != fresh.size()) {
        return QStringLiteral("size %1x%2 against %3x%4")
            .arg(shown.width())
            .arg(shown.height())
            .arg(fresh.width())
            .arg(fresh.height());
    }
    for (int y = 0; y < shown.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        const auto* b = reinterpret_cast<const QRgb*>(fresh.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            if ((a[x] & 0xFFFFFFu) != (b[x] & 0xFFFFFFu)) {
                return QStringLiteral("(%1, %2): %3 against %4")
                    .arg(x)
                    .arg(y)
                    .arg(a[x] & 0xFFFFFFu, 6, 16)
                    .arg(b[x] & 0xFFFFFFu, 6, 16);
            }
        }
    }
    return {};
}

// What a step may cost: a blit (no whole drawing), a whole drawing, or either.
enum class ECost { Blit, Whole, Any };

} // namespace

class CViewRepaintTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;

    CVelmoView& View() { return m_f->View(); }
    CVelmoDoc& Doc() { return m_f->Doc(); }
    void Select(int selection) {
        View().m_nSelected = selection;
        View().InvalidateView();
    }
    void ScrollTo(int x, int y) {
        View().horizontalScrollBar()->setValue(x);
        View().verticalScrollBar()->setValue(y);
    }
    // Moves a balloon so that its body's top-left corner lies at a panel point, its tail's tip
    // just below the body.
    void PlaceFuki(int slot, CPoint at) {
        const CRect& body = Doc().m_panel.m_fuki[static_cast<std::size_t>(slot)].m_rcBody;
        QVERIFY(Doc().MoveFuki(slot, CPoint{at.x - body.left, at.y - body.top}));
        QVERIFY(Doc().SetTail(slot, CPoint{at.x + 70, at.y + 120}));
    }

    // Runs the steps; after each the window is painted and compared with a fresh drawing.
    void RunSteps(const std::vector<std::tuple<const char*, std::function<void()>, ECost>>& steps) {
        for (const auto& [name, action, cost] : steps) {
            const int before = View().GetWholeDrawings();
            action();
            View().InvalidateView();
            m_f->Viewport()->repaint();
            const int drawn = View().GetWholeDrawings() - before;
            QImage fresh;
            CPictureTileCache tiles;
            CPanelWindowImage::DrawWhole(fresh, &Doc().m_panel, View().CurrentWindow(),
                                         View().m_nSelected, tiles);
            const QString difference = FirstDifference(View().GetPanelImage(), fresh);
            QVERIFY2(difference.isEmpty(),
                     qPrintable(QStringLiteral("%1: %2").arg(name, difference)));
            if (cost == ECost::Blit) {
                QVERIFY2(drawn == 0, name);
            } else if (cost == ECost::Whole) {
                QVERIFY2(drawn >= 1, name);
            }
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_f = std::make_unique<CEditorFixture>(); }
    void cleanup() { m_f.reset(); }

    void KeptImageEqualsAFreshDrawingAfterEveryChange() {
        m_f->m_prompter->m_files.push_back(
            NoisePicture(m_f->m_dir.filePath(QStringLiteral("noise.png")), 200, 150));
        QVERIFY(m_f->Route(cmd::ID_PICTURE_IMPORT));
        QVERIFY(Doc().m_panel.m_image.HasPicture());
        QVERIFY(Doc().MovePicture(CPoint{60 - Doc().m_panel.m_image.m_rcBody.left,
                                         60 - Doc().m_panel.m_image.m_rcBody.top}));
        const int back = Doc().AddFuki();
        const int front = Doc().AddFuki();
        QVERIFY(back >= 0 && front >= 0);
        // Both balloons away from every grab square to begin with.
        PlaceFuki(back, CPoint{420, 320});
        PlaceFuki(front, CPoint{420, 20});
        QVERIFY(Doc().SetFukiText(back, "\xe3\x81\x82\xe3\x81\x84"));
        const CRect picture = Doc().m_panel.m_image.m_rcBody;
        const QRect pictureArea(picture.left, picture.top, picture.Width(), picture.Height());
        QVERIFY(pictureArea.right() < 420);

        RunSteps({
            // Zoom 100: the whole panel and the strips beside it.
            {"first paint", [] {}, ECost::Any},
            {"repaint", [] {}, ECost::Blit},
            {"picture selected", [&] { Select(CVelmoView::SEL_PICTURE); }, ECost::Blit},
            {"back balloon selected", [&] { Select(back); }, ECost::Blit},
            {"front balloon selected", [&] { Select(front); }, ECost::Blit},
            {"nothing selected", [&] { Select(CVelmoView::SEL_NONE); }, ECost::Blit},
            {"balloon moved",
             [&] {
                 Select(back);
                 QVERIFY(Doc().MoveFuki(back, CPoint{3, 1}));
             },
             ECost::Whole},
            {"move undone", [&] { QVERIFY(m_f->Route(cmd::ID_EDIT_UNDO)); }, ECost::Whole},
            {"move redone", [&] { QVERIFY(m_f->Route(cmd::ID_EDIT_REDO)); }, ECost::Whole},
            {"text changed", [&] { QVERIFY(Doc().SetFukiText(back, "abc")); }, ECost::Whole},
            {"background changed", [&] { QVERIFY(Doc().SetBackground(0x00336699)); }, ECost::Whole},
            // The front balloon over the picture's top-left corner: at ratio 1 the picture's
            // squares lie under it, and under the back balloon's squares it lies too.
            {"front balloon over the picture's corner",
             [&] {
                 PlaceFuki(front, CPoint{picture.left - 30, picture.top - 30});
             },
             ECost::Whole},
            {"picture selected under the balloon", [&] { Select(CVelmoView::SEL_PICTURE); },
             ECost::Any},
            {"back balloon under the front one",
             [&] {
                 PlaceFuki(back, CPoint{picture.left - 20, picture.top - 10});
             },
             ECost::Whole},
            {"front balloon selected again", [&] { Select(front); }, ECost::Any},
            {"back balloon selected again", [&] { Select(back); }, ECost::Any},
            // Zoom 400: the window lies within the panel and the picture comes from tiles.
            {"zoom 400", [&] { QVERIFY(View().SetZoom(400)); }, ECost::Whole},
            {"scrolled over the picture", [&] { ScrollTo(150, 170); }, ECost::Any},
            {"scrolled a little", [&] { ScrollTo(163, 181); }, ECost::Blit},
            {"scrolled back", [&] { ScrollTo(150, 170); }, ECost::Blit},
            {"picture selected, zoom 400", [&] { Select(CVelmoView::SEL_PICTURE); }, ECost::Any},
            {"scrolled with the picture selected", [&] { ScrollTo(140, 150); }, ECost::Any},
            {"place of the back balloon undone",
             [&] {
                 // Its tail, then its body.
                 QVERIFY(m_f->Route(cmd::ID_EDIT_UNDO));
                 QVERIFY(m_f->Route(cmd::ID_EDIT_UNDO));
             },
             ECost::Whole},
            {"nothing selected, zoom 400", [&] { Select(CVelmoView::SEL_NONE); }, ECost::Any},
            {"back balloon selected, zoom 400", [&] { Select(back); }, ECost::Blit},
            {"zoom 250", [&] { QVERIFY(View().SetZoom(250)); }, ECost::Whole},
            {"zoom 100 again", [&] { QVERIFY(View().SetZoom(100)); }, ECost::Whole},
            {"picture moved",
             [&] {
                 QVERIFY(Doc().MovePicture(CPoint{7, 3}));
             },
             ECost::Whole},
            {"everything undone",
             [&] {
                 for (int n = 0; n < 100 && Doc().m_history.CanUndo(); ++n) {
                     QVERIFY(m_f->Route(cmd::ID_EDIT_UNDO));
                 }
                 QVERIFY(!Doc().m_history.CanUndo());
                 View().ValidateSelection();
             },
             ECost::Whole},
        });
    }
};

QTEST_MAIN(CViewRepaintTest)
#include "view_repaint_test.moc"
