// The panel view driven with the mouse and keys at zoom 100 and 200: selecting, moving,
// resizing across the opposite corner, the tail tip, the aspect-kept picture, overlapping
// balloons, the drag frame over the painted panel, the mouse held during a drag, the context
// menus by what lies under the pointer, the double click and the three keys.
#include <QDialog>
#include <QStandardPaths>
#include <QtTest>

#include "EditorTestSupport.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

using namespace edtest;

class CViewMouseTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;
    int m_nZoom = 100;

    CVelmoView& View() { return m_f->View(); }
    CPanel& Panel() { return m_f->Doc().m_panel; }
    CFuki& Fuki(int slot) { return Panel().m_fuki[static_cast<std::size_t>(slot)]; }
    // A panel point as the view shows it at the current zoom.
    QPoint Z(int x, int y) const { return QPoint(x * m_nZoom / 100, y * m_nZoom / 100); }
    int Z(int v) const { return v * m_nZoom / 100; }
    void UseZoom() {
        QFETCH(int, zoom);
        m_nZoom = zoom;
        QVERIFY(View().SetZoom(zoom));
    }
    int AddBalloon(CRect body) {
        m_f->Route(cmd::ID_FUKI_ADD);
        Fuki(View().m_nSelected).m_rcBody = body;
        return View().m_nSelected;
    }
    void AddPicture() {
        m_f->m_prompter->m_files.push_back(m_f->PictureFile(QStringLiteral("p.jpg"), 400, 300));
        m_f->Route(cmd::ID_PICTURE_IMPORT);
        Panel().m_image.m_rcBody = CRect{0, 0, 400, 300};
    }
    bool Grabbing() { return QWidget::mouseGrabber() == m_f->Viewport(); }
    void Zooms() {
        QTest::addColumn<int>("zoom");
        QTest::newRow("100") << 100;
        QTest::newRow("200") << 200;
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_f = std::make_unique<CEditorFixture>(); }
    void cleanup() { m_f.reset(); }

    void moveBalloon_data() { Zooms(); }
    void moveBalloon() {
        UseZoom();
        const int slot = AddBalloon({50, 50, 200, 150});
        m_f->ClickAt(Z(400, 400));
        QCOMPARE(View().m_nSelected, -1);
        const int steps = m_f->Steps();
        m_f->Doc().SetModifiedFlag(false);

        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, Z(100, 100));
        QCOMPARE(View().m_nSelected, slot);
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_MOVE_FUKI));
        QVERIFY(Grabbing());
        QTest::mouseMove(m_f->Viewport(), Z(100, 100) + QPoint(100, 60));
        QCOMPARE(View().m_rcTrack, (CRect{Z(50) + 100, Z(50) + 60, Z(200) + 100, Z(150) + 60}));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, Z(100, 100) + QPoint(100, 60));

        // 100 view pixels are 50 panel pixels at zoom 200; the tail tip stays where it points.
        const int dx = 100 * 100 / m_nZoom;
        const int dy = 60 * 100 / m_nZoom;
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{50 + dx, 50 + dy, 200 + dx, 150 + dy}));
        QCOMPARE(Fuki(slot).m_ptTail, (CPoint{200, 200}));
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(m_f->Doc().IsModified());
        QCOMPARE(View().m_nDragMode, 0);
        QVERIFY(!Grabbing());
    }

    void plainClickRecordsNothing_data() { Zooms(); }
    void plainClickRecordsNothing() {
        UseZoom();
        const int slot = AddBalloon({50, 50, 200, 150});
        m_f->ClickAt(Z(400, 400));
        const int steps = m_f->Steps();
        m_f->Doc().SetModifiedFlag(false);
        m_f->ClickAt(Z(100, 100));
        QCOMPARE(View().m_nSelected, slot);
        // At zoom 200 one view pixel is less than a panel pixel: the balloon does not move.
        if (m_nZoom == 200) {
            m_f->Drag(Z(100, 100), Z(100, 100) + QPoint(1, 0));
        }
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{50, 50, 200, 150}));
        QCOMPARE(m_f->Steps(), steps);
        QVERIFY(!m_f->Doc().IsModified());
    }

    void dragFrameIsDrawnOverTheCachedPanel() {
        AddBalloon({50, 50, 200, 150});
        m_f->ClickAt(QPoint(400, 400));
        const QColor white(255, 255, 255);
        QCOMPARE(m_f->Viewport()->grab().toImage().pixelColor(299, 200), white);

        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseMove(m_f->Viewport(), QPoint(200, 160));
        // The frame (150, 110, 300, 210) inverts its one-pixel outline and nothing inside.
        QImage shot = m_f->Viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(299, 200), QColor(0, 0, 0));
        QCOMPARE(shot.pixelColor(298, 200), white);
        QCOMPARE(shot.pixelColor(290, 209), QColor(0, 0, 0));

        // While dragging, the panel is not painted again: a change not yet shown stays unseen.
        Panel().m_crBack = MakeRgb(255, 0, 0);
        QTest::mouseMove(m_f->Viewport(), QPoint(210, 170));
        shot = m_f->Viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(600, 400), white);
        QCOMPARE(shot.pixelColor(299, 200), white); // the old frame is wiped
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(210, 170));
        QCOMPARE(m_f->Viewport()->grab().toImage().pixelColor(600, 400), QColor(255, 0, 0));
    }

    void releaseOutsideTheWindowEndsTheDrag() {
        const int slot = AddBalloon({50, 50, 200, 150});
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(Grabbing());
        QTest::mouseMove(m_f->Viewport(), QPoint(-40, -40));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(-40, -40));
        QCOMPARE(View().m_nDragMode, 0);
        QVERIFY(!Grabbing());
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{-90, -90, 60, 10}));
    }

    void resizeAcrossTheOppositeCorner_data() { Zooms(); }
    void resizeAcrossTheOppositeCorner() {
        UseZoom();
        const int slot = AddBalloon({50, 50, 200, 150});
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, Z(50, 50));
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_SIZE_FUKI));
        QCOMPARE(View().m_nHandle, 2);
        QCOMPARE(View().m_rcTrack, (CRect{Z(50) - 5, Z(50) - 5, Z(50) + 5, Z(50) + 5}));
        QTest::mouseMove(m_f->Viewport(), Z(260, 210));
        QCOMPARE(View().m_rcTrack, (CRect{Z(200), Z(150), Z(260), Z(210)}));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, Z(260, 210));
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{200, 150, 260, 210}));
    }

    void dragTheTailTip_data() { Zooms(); }
    void dragTheTailTip() {
        UseZoom();
        const int slot = AddBalloon({50, 50, 200, 150});
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, Z(200, 200));
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_TAIL));
        m_f->Drag(Z(200, 200), Z(300, 260));
        QCOMPARE(Fuki(slot).m_ptTail, (CPoint{300, 260}));
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{50, 50, 200, 150}));
    }

    void handlesAnswerOnlyOnTheSelection() {
        AddBalloon({50, 50, 200, 150});
        const int b = AddBalloon({300, 50, 400, 150});
        m_f->ClickAt(QPoint(100, 100));
        // Within B's corner square but outside its body: B is not selected, so nothing is hit.
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(297, 47));
        QCOMPARE(View().m_nSelected, -1);
        QCOMPARE(View().m_nDragMode, 0);
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(297, 47));
        // Inside the corner square and the body of an unselected balloon: a move, not a resize.
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(302, 52));
        QCOMPARE(View().m_nSelected, b);
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_MOVE_FUKI));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(302, 52));
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(297, 47));
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_SIZE_FUKI));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(297, 47));
    }

    void resizeThePictureKeepingItsShape_data() { Zooms(); }
    void resizeThePictureKeepingItsShape() {
        UseZoom();
        AddPicture();
        m_f->ClickAt(Z(100, 100));
        QCOMPARE(View().m_nSelected, int(CVelmoView::SEL_PICTURE));
        QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, Z(400, 300));
        QCOMPARE(View().m_nDragMode, int(CVelmoView::DRAG_SIZE_PICTURE));
        QCOMPARE(View().m_nHandle, 3);
        QTest::mouseMove(m_f->Viewport(), Z(200, 300));
        QCOMPARE(View().m_rcTrack, (CRect{0, 0, Z(300), Z(225)}));
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, Z(200, 300));
        QCOMPARE(Panel().m_image.m_rcBody, (CRect{0, 0, 300, 225}));
    }

    void overlappingObjectsFrontMostWins() {
        AddPicture();
        const int a = AddBalloon({50, 50, 200, 150});
        const int b = AddBalloon({100, 100, 250, 200});
        const std::pair<QPoint, int> cases[] = {{QPoint(120, 120), b},
                                                {QPoint(60, 60), a},
                                                {QPoint(300, 250), CVelmoView::SEL_PICTURE},
                                                {QPoint(500, 400), CVelmoView::SEL_NONE}};
        for (const auto& [point, expected] : cases) {
            m_f->ClickAt(point);
            QCOMPARE(View().m_nSelected, expected);
        }
    }

    void contextMenuByWhatIsHit() {
        AddPicture();
        const auto slideshow = [this](int id, const QString& text) {
            return View().HasHandler(id) ? text : text + QStringLiteral(" [off]");
        };
        const auto rightPress = [this](QPoint p) {
            return [this, p] { QTest::mousePress(m_f->Viewport(), Qt::RightButton, {}, p); };
        };
        // Nothing under the pointer: menu 130.
        QStringList items = WithContextMenu(rightPress(QPoint(500, 400)), "ふきだしの追加");
        QCOMPARE(items, (QStringList{"title:ベルモ", "背景色...", "全体のサイズ...",
                                     "最初の待ち時間", "詳細設定... [off]", "-",
                                     "イメージ読み込み...", "-", "ふきだしの追加", "ふきだしの削除",
                                     "-", "表示の拡大縮小...", "ベルモ漫画の詳細設定...", "-",
                                     ">スライドショー", slideshow(cmd::ID_SLIDESHOW_MANUAL, "手動"),
                                     slideshow(cmd::ID_SLIDESHOW_AUTO, "自動"), "<"}));
        QCOMPARE(Panel().CountFuki(), 1);
        const int slot = View().m_nSelected;
        Fuki(slot).m_rcBody = CRect{450, 50, 600, 150};

        // A balloon: menu 136.
        items = WithContextMenu(rightPress(QPoint(500, 100)), "ふきだしの削除");
        QCOMPARE(items, (QStringList{"title:ふきだし",
                                     "ふきだしの追加",
                                     "ふきだしの削除",
                                     "ふきだしの複製",
                                     "-",
                                     "ふきだしの色...",
                                     "ふきだしの枠の色...",
                                     "ふきだしの詳細設定...",
                                     "-",
                                     "セリフの編集...",
                                     "セリフの色...",
                                     "フォント... [off]",
                                     "フォントサイズ... [off]",
                                     "-",
                                     "背面へ",
                                     "前面へ",
                                     "最背面へ",
                                     "最前面へ",
                                     "-",
                                     "表示後の待ち時間",
                                     "-",
                                     "ベルモ漫画の詳細設定..."}));
        QCOMPARE(Panel().CountFuki(), 0);
        QCOMPARE(View().m_nSelected, -1);

        // The picture: menu 150, whose wait item asks for the picture's wait.
        bool asked = false;
        items = WithContextMenu(
            [&] {
                asked = WithDialog(rightPress(QPoint(100, 100)), [](QDialog& dialog) {
                    TypeInto(dialog, 1018, QStringLiteral("77"));
                    dialog.accept();
                });
            },
            "表示後の待ち時間");
        QCOMPARE(items, (QStringList{"title:IMAGE", "イメージ読み込み...", "表示後の待ち時間", "-",
                                     "ベルモ漫画の詳細設定..."}));
        QVERIFY(asked);
        QCOMPARE(Panel().m_image.m_nWait, 77);

        // Closing the menu without a choice still leaves the new selection.
        WithContextMenu(rightPress(QPoint(500, 400)), QString());
        QCOMPARE(View().m_nSelected, -1);
    }

    void keysActOnlyOnABalloon() {
        AddPicture();
        m_f->ClickAt(QPoint(100, 100));
        const int steps = m_f->Steps();
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return}) {
            QVERIFY(!WithDialog([&] { QTest::keyClick(&View(), key); },
                                [](QDialog& dialog) { dialog.reject(); }));
        }
        QCOMPARE(m_f->Steps(), steps);
        QCOMPARE(View().m_nSelected, int(CVelmoView::SEL_PICTURE));

        AddBalloon({450, 50, 600, 150});
        QVERIFY(WithDialog([&] { QTest::keyClick(&View(), Qt::Key_Return); },
                           [](QDialog& dialog) { dialog.reject(); }));
        QTest::keyClick(&View(), Qt::Key_Delete);
        QCOMPARE(Panel().CountFuki(), 0);
        QCOMPARE(View().m_nSelected, -1);
        for (Qt::Key key : {Qt::Key_Backspace, Qt::Key_Delete}) {
            AddBalloon({450, 50, 600, 150});
            m_f->ClickAt(QPoint(500, 100));
            QTest::keyClick(&View(), key);
            QCOMPARE(Panel().CountFuki(), 0);
            QCOMPARE(View().m_nSelected, -1);
        }
    }

    void doubleClickOpensTheDetailSettings() {
        const int slot = AddBalloon({50, 50, 200, 150});
        m_f->ClickAt(QPoint(400, 400));
        const int steps = m_f->Steps();
        // The second press of a double click arrives before the double click itself.
        const bool opened = WithDialog(
            [&] {
                m_f->ClickAt(QPoint(100, 100));
                QTest::mousePress(m_f->Viewport(), Qt::LeftButton, {}, QPoint(100, 100));
                QTest::mouseDClick(m_f->Viewport(), Qt::LeftButton, {}, QPoint(100, 100));
            },
            [](QDialog& dialog) {
                TypeInto(dialog, 1004, QStringLiteral("70"));
                dialog.accept();
            });
        QTest::mouseRelease(m_f->Viewport(), Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(opened);
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{70, 50, 200, 150}));
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(!Grabbing());
        QVERIFY(!WithDialog(
            [&] { QTest::mouseDClick(m_f->Viewport(), Qt::LeftButton, {}, QPoint(500, 400)); },
            [](QDialog& dialog) { dialog.reject(); }));
    }
};

QTEST_MAIN(CViewMouseTest)
#include "view_mouse_test.moc"
