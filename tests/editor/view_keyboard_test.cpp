// The panel view from the keyboard and the clipboard: Tab through the balloons and the
// picture, arrow nudges and resizes with one history step per run of one key, arrows that
// scroll when nothing is selected, the context menu from the Menu key and Shift+F10, and
// balloons copied, cut and pasted between two panels through the system clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <QStandardPaths>
#include <QtTest>

#include "EditorTestSupport.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "model/FukiClipboard.h"
#include "model/VelmoDoc.h"

using namespace edtest;

Q_DECLARE_METATYPE(CRect)

char* toString(const CRect& r) {
    return qstrdup(QStringLiteral("(%1, %2, %3, %4)")
                       .arg(r.left)
                       .arg(r.top)
                       .arg(r.right)
                       .arg(r.bottom)
                       .toLatin1()
                       .constData());
}

class CViewKeyboardTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;

    CVelmoView& View() { return m_f->View(); }
    CPanel& Panel() { return m_f->Doc().m_panel; }
    CFuki& Fuki(int slot) { return Panel().m_fuki[static_cast<std::size_t>(slot)]; }
    int AddBalloon(CRect body) {
        m_f->Route(cmd::ID_FUKI_ADD);
        const int slot = View().m_nSelected;
        Fuki(slot).m_rcBody = body;
        Fuki(slot).m_ptTail = CPoint{body.left, body.bottom + 40};
        m_f->Doc().RecordChange(true, false);
        return slot;
    }
    void Key(int key, Qt::KeyboardModifiers mods = {}, ulong timestamp = 0) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        press.setTimestamp(timestamp);
        QApplication::sendEvent(&View(), &press);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_f = std::make_unique<CEditorFixture>(); }
    void cleanup() { m_f.reset(); }

    void tabWalksBalloonsInDisplayOrderThenThePicture() {
        m_f->m_prompter->m_files.push_back(m_f->PictureFile(QStringLiteral("p.jpg"), 200, 100));
        m_f->Route(cmd::ID_PICTURE_IMPORT);
        const int a = AddBalloon(CRect{10, 10, 60, 60});
        const int b = AddBalloon(CRect{100, 10, 160, 60});
        const int c = AddBalloon(CRect{200, 10, 260, 60});
        m_f->Route(cmd::ID_ORDER_BACKMOST); // c goes to the back: c, a, b
        View().m_nSelected = CVelmoView::SEL_NONE;
        QList<int> seen;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(m_f->Viewport(), Qt::Key_Tab);
            seen << View().m_nSelected;
        }
        QCOMPARE(seen, (QList<int>{c, a, b, CVelmoView::SEL_PICTURE, c}));
        QVERIFY(View().hasFocus());
        seen.clear();
        for (int i = 0; i < 3; ++i) {
            QTest::keyClick(m_f->Viewport(), Qt::Key_Backtab, Qt::ShiftModifier);
            seen << View().m_nSelected;
        }
        QCOMPARE(seen, (QList<int>{CVelmoView::SEL_PICTURE, b, a}));
    }

    void arrowsMoveAndResizeWithOneStepPerRun_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("mods");
        QTest::addColumn<CRect>("after");
        QTest::newRow("right") << int(Qt::Key_Right) << 0 << CRect{103, 100, 203, 160};
        QTest::newRow("up") << int(Qt::Key_Up) << 0 << CRect{100, 97, 200, 157};
        QTest::newRow("shiftLeft")
            << int(Qt::Key_Left) << int(Qt::ShiftModifier) << CRect{70, 100, 170, 160};
        QTest::newRow("altRight") << int(Qt::Key_Right) << int(Qt::AltModifier)
                                  << CRect{100, 100, 203, 160};
        QTest::newRow("altShiftUp") << int(Qt::Key_Up) << int(Qt::AltModifier | Qt::ShiftModifier)
                                    << CRect{100, 100, 200, 130};
    }
    void arrowsMoveAndResizeWithOneStepPerRun() {
        QFETCH(int, key);
        QFETCH(int, mods);
        QFETCH(CRect, after);
        const int slot = AddBalloon(CRect{100, 100, 200, 160});
        const CPoint tail = Fuki(slot).m_ptTail;
        const int steps = m_f->Steps();
        for (ulong ms : {1000ul, 1100ul, 1900ul}) {
            Key(key, Qt::KeyboardModifiers(mods), ms);
        }
        QCOMPARE(Fuki(slot).m_rcBody, after);
        QCOMPARE(Fuki(slot).m_ptTail, tail); // the tip stays on what it points at
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(m_f->Doc().IsModified());
        m_f->Route(cmd::ID_EDIT_UNDO);
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{100, 100, 200, 160}));
    }

    void pausesAndOtherKeysMakeStepsOfTheirOwn() {
        const int slot = AddBalloon(CRect{100, 100, 200, 160});
        const int steps = m_f->Steps();
        Key(Qt::Key_Right, {}, 1000);
        Key(Qt::Key_Right, {}, 2500); // more than a second later
        Key(Qt::Key_Down, {}, 2600);  // another key
        Key(Qt::Key_Right, {}, 2700);
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{103, 101, 203, 161}));
        QCOMPARE(m_f->Steps(), steps + 4);
    }

    void picturesMoveToo() {
        m_f->m_prompter->m_files.push_back(m_f->PictureFile(QStringLiteral("p.jpg"), 200, 100));
        m_f->Route(cmd::ID_PICTURE_IMPORT);
        const CRect before = Panel().m_image.m_rcBody;
        View().m_nSelected = CVelmoView::SEL_PICTURE;
        Key(Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(Panel().m_image.m_rcBody.top, before.top + 10);
        QCOMPARE(Panel().m_image.m_rcBody.left, before.left);
    }

    void arrowsScrollWhenNothingIsSelected() {
        QVERIFY(View().SetZoom(400)); // larger than the window
        View().m_nSelected = CVelmoView::SEL_NONE;
        const CPanel before = Panel();
        const int steps = m_f->Steps();
        QScrollBar* bar = View().horizontalScrollBar();
        QCOMPARE(bar->value(), 0);
        QTest::keyClick(m_f->Viewport(), Qt::Key_Right);
        QVERIFY(bar->value() > 0);
        QCOMPARE(m_f->Steps(), steps);
        QCOMPARE(FukiRecordBytes(Panel().m_fuki[0]), FukiRecordBytes(before.m_fuki[0]));
    }

    void menuKeyAndShiftF10OpenTheSelectionsMenu() {
        AddBalloon(CRect{100, 100, 200, 160});
        QStringList items =
            WithContextMenu([this] { QTest::keyClick(m_f->Viewport(), Qt::Key_Menu); }, {});
        QCOMPARE(items.value(0), QStringLiteral("title:ふきだし"));
        items = WithContextMenu(
            [this] { QTest::keyClick(m_f->Viewport(), Qt::Key_F10, Qt::ShiftModifier); },
            QStringLiteral("ふきだしの削除"));
        QCOMPARE(items.value(0), QStringLiteral("title:ふきだし"));
        QCOMPARE(Panel().CountFuki(), 0);
        // Nothing selected: the panel's own menu.
        items = WithContextMenu([this] { QTest::keyClick(m_f->Viewport(), Qt::Key_Menu); }, {});
        QCOMPARE(items.value(0), QStringLiteral("title:ベルモ"));
    }

    void copyAndPasteBetweenTwoPanels() {
        const int slot = AddBalloon(CRect{100, 100, 200, 160});
        Fuki(slot).m_crFill = 0x00FFFFFF;
        const CFuki original = Fuki(slot);
        QVERIFY(m_f->Route(cmd::ID_EDIT_COPY));
        const QMimeData* data = QGuiApplication::clipboard()->mimeData();
        QVERIFY(data);
        const QByteArray record = data->data(QStringLiteral("application/x-velmo-balloon"));
        const std::vector<std::uint8_t> expected = FukiRecordBytes(original);
        QCOMPARE(record, QByteArray(reinterpret_cast<const char*>(expected.data()),
                                    qsizetype(expected.size())));
        QImage picture;
        QVERIFY(picture.loadFromData(data->data(QStringLiteral("image/png")), "PNG"));
        QVERIFY(picture.width() >= 100 && picture.height() >= 100); // body and tail
        QCOMPARE(picture.pixel(0, 0), qRgba(0, 0, 0, 0));

        // A second panel, with a balloon in its slot 0 and slot 1 free.
        QVERIFY(m_f->Route(cmd::ID_FILE_NEW));
        QCOMPARE(Panel().CountFuki(), 0); // the new panel's view is the active one
        AddBalloon(CRect{300, 300, 350, 350});
        const int firstFree = FirstFreeSlot(Panel());
        const int steps = m_f->Steps();
        QVERIFY(m_f->Route(cmd::ID_EDIT_PASTE));
        QCOMPARE(m_f->Steps(), steps + 1);
        QCOMPARE(View().m_nSelected, firstFree);
        const CFuki& pasted = Fuki(firstFree);
        QCOMPARE(pasted.m_rcBody, original.m_rcBody); // the same spot
        QCOMPARE(pasted.m_nOrder, 2);                 // frontmost
        QVERIFY(SameFukiContent(pasted, original));
        // Again: that spot holds an alike balloon now, so the copy goes 10 pixels on.
        QVERIFY(m_f->Route(cmd::ID_EDIT_PASTE));
        QCOMPARE(Fuki(View().m_nSelected).m_rcBody, (CRect{110, 110, 210, 170}));
        QCOMPARE(m_f->Steps(), steps + 2);
        m_f->Route(cmd::ID_EDIT_UNDO);
        QCOMPARE(Panel().CountFuki(), 2);
    }

    void cutIsOneStepAndPasteIntoAFullPanelIsRefused() {
        const int slot = AddBalloon(CRect{100, 100, 200, 160});
        const int steps = m_f->Steps();
        QVERIFY(m_f->Route(cmd::ID_EDIT_CUT));
        QCOMPARE(Panel().CountFuki(), 0);
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(!Fuki(slot).IsInUse());
        for (int i = 0; i < kFukiSlots; ++i) {
            m_f->Route(cmd::ID_FUKI_ADD);
        }
        QCOMPARE(Panel().CountFuki(), kFukiSlots);
        const CPanel full = Panel();
        const int fullSteps = m_f->Steps();
        m_f->m_messages.m_requests.clear();
        QVERIFY(m_f->Route(cmd::ID_EDIT_PASTE));
        QCOMPARE(
            m_f->m_messages.Texts(),
            QStringList{QStringLiteral("ふきだしは10個までです。これ以上貼り付けられません。")});
        QCOMPARE(m_f->Steps(), fullSteps);
        for (int i = 0; i < kFukiSlots; ++i) {
            QCOMPARE(FukiRecordBytes(Fuki(i)), FukiRecordBytes(full.m_fuki[std::size_t(i)]));
        }
    }

    void damagedClipboardRecordIsRefused() {
        auto* data = new QMimeData;
        data->setData(QStringLiteral("application/x-velmo-balloon"), QByteArray("\x01\x02", 2));
        QGuiApplication::clipboard()->setMimeData(data);
        const int steps = m_f->Steps();
        m_f->m_messages.m_requests.clear();
        QVERIFY(m_f->Route(cmd::ID_EDIT_PASTE));
        QCOMPARE(m_f->m_messages.Texts().size(), 1);
        QCOMPARE(Panel().CountFuki(), 0);
        QCOMPARE(m_f->Steps(), steps);
    }
};

QTEST_MAIN(CViewKeyboardTest)
#include "view_keyboard_test.moc"
