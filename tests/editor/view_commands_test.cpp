// The editing commands run through the command router with a scripted prompter and captured
// messages: enabling by handler, selection needs, the ten-balloon limit, duplicate, order and
// undo, the dialogs and colour choosers, picture import and its failures, and the decisions on
// history: the slideshow settings record only a change, delete and undo clear a selection that
// points at a free slot, and undo and redo mark the document modified.
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QtTest>

#include "EditorTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"

using namespace edtest;
using testsupport::CScriptedPrompter;
using namespace cmd;

namespace {

const int kFukiNeeds[] = {ID_FUKI_DELETE,       ID_FUKI_DUPLICATE,  ID_FUKI_FILL_COLOR,
                          ID_FUKI_BORDER_COLOR, ID_FUKI_PROPERTIES, ID_FUKI_TEXT,
                          ID_TEXT_COLOR,        ID_ORDER_BACKWARD,  ID_ORDER_FORWARD,
                          ID_ORDER_BACKMOST,    ID_ORDER_FRONTMOST, ID_FUKI_WAIT};

void Accept(QDialog& dialog) {
    dialog.accept();
}

} // namespace

class CViewCommandsTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CEditorFixture> m_f;

    CVelmoView& View() { return m_f->View(); }
    CVelmoDoc& Doc() { return m_f->Doc(); }
    CFuki& Fuki(int slot) { return Doc().m_panel.m_fuki[static_cast<std::size_t>(slot)]; }
    int Add() {
        m_f->Route(ID_FUKI_ADD);
        return View().m_nSelected;
    }
    // Routes a command that opens a dialog and lets action answer it.
    bool RouteDialog(int id, const std::function<void(QDialog&)>& action) {
        return WithDialog([&] { m_f->Route(id); }, action);
    }
    static std::function<void(QDialog&)> Enter(int control, const QString& text) {
        return [control, text](QDialog& dialog) {
            TypeInto(dialog, control, text);
            dialog.accept();
        };
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { m_f = std::make_unique<CEditorFixture>(); }
    void cleanup() { m_f.reset(); }

    void enabledWhereTheViewHasAHandler() {
        for (int selection : {-1, 0}) {
            if (selection == 0) {
                Add();
            }
            for (int id : kFukiNeeds) {
                QVERIFY2(m_f->IsEnabled(id), qPrintable(QString::number(id)));
            }
            for (int id : {ID_PICTURE_IMPORT, ID_BACK_COLOR, ID_TOTAL_SIZE, ID_ZOOM,
                           ID_PANEL_SETTINGS, ID_FIRST_WAIT, ID_PICTURE_WAIT, ID_FUKI_ADD,
                           ID_EDIT_UNDO, ID_EDIT_REDO, ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE}) {
                QVERIFY2(m_f->IsEnabled(id), qPrintable(QString::number(id)));
            }
            for (int id : {ID_PANEL_DETAIL, ID_FONT, ID_FONT_SIZE}) {
                QVERIFY2(!m_f->IsEnabled(id), qPrintable(QString::number(id)));
            }
        }
    }

    void aNeedNotMetDoesNothing_data() {
        QTest::addColumn<bool>("picture");
        QTest::newRow("nothing selected") << false;
        QTest::newRow("picture selected") << true;
    }
    void aNeedNotMetDoesNothing() {
        QFETCH(bool, picture);
        const int slot = Add();
        Fuki(slot).m_rcBody = CRect{450, 50, 600, 150};
        m_f->m_prompter->m_files.push_back(m_f->PictureFile(QStringLiteral("p.jpg"), 400, 300));
        m_f->Route(ID_PICTURE_IMPORT);
        m_f->ClickAt(picture ? QPoint(100, 100) : QPoint(500, 400));
        QCOMPARE(View().m_nSelected, picture ? int(CVelmoView::SEL_PICTURE) : -1);
        const CFuki before = Fuki(slot);
        const int steps = m_f->Steps();
        Doc().SetModifiedFlag(false);

        std::vector<int> ids(std::begin(kFukiNeeds), std::end(kFukiNeeds));
        if (!picture) {
            ids.push_back(ID_PICTURE_WAIT);
        }
        for (int id : ids) {
            QVERIFY2(!RouteDialog(id, Accept), qPrintable(QString::number(id)));
        }
        QCOMPARE(m_f->Steps(), steps);
        QVERIFY(!Doc().IsModified());
        QVERIFY(m_f->m_prompter->m_colorsOffered.empty());
        QCOMPARE(Doc().m_panel.CountFuki(), 1);
        QCOMPARE(Fuki(slot).m_rcBody, before.m_rcBody);
        QVERIFY(m_f->m_messages.m_requests.empty());
    }

    void theViewFollowsEveryChangeTheDocumentAnnounces() {
        // Changes made through the document alone, as a future command or a script would: the
        // view repaints, scrolls over the new size and drops a selection that went away.
        const int slot = Add();
        QCOMPARE(View().m_nSelected, slot);
        QVERIFY(Doc().SetBackground(MakeRgb(255, 0, 0)));
        QCOMPARE(m_f->Viewport()->grab().toImage().pixelColor(600, 400), QColor(255, 0, 0));
        QVERIFY(Doc().SetTotalSize(900, 700));
        QCOMPARE(View().GetScrollExtent(), QSize(900, 700));
        QVERIFY(Doc().DeleteFuki(slot));
        QCOMPARE(View().m_nSelected, -1);
        QVERIFY(Doc().Undo());
        QCOMPARE(Doc().m_panel.CountFuki(), 1);
        QVERIFY(Doc().IsModified());
    }

    void theEleventhBalloonDoesNothing() {
        for (int i = 0; i < 10; ++i) {
            Add();
        }
        const int selected = View().m_nSelected;
        const int steps = m_f->Steps();
        QVERIFY(m_f->Route(ID_FUKI_ADD));
        QCOMPARE(Doc().m_panel.CountFuki(), 10);
        QCOMPARE(View().m_nSelected, selected);
        QCOMPARE(m_f->Steps(), steps);
    }

    void duplicateSelectsTheCopyOffsetBy10() {
        for (int i = 0; i < 5; ++i) {
            Fuki(Add()).m_rcBody = CRect{10 * i, 20, 100 + 10 * i, 80};
        }
        const int source = Doc().FindFuki(3);
        Fuki(source).m_ptTail = CPoint{123, 45};
        View().m_nSelected = source;
        const int steps = m_f->Steps();
        m_f->Route(ID_FUKI_DUPLICATE);
        const int copy = View().m_nSelected;
        QVERIFY(copy != source && copy >= 0);
        QCOMPARE(Fuki(copy).m_nOrder, 6);
        QCOMPARE(Fuki(copy).m_rcBody, (CRect{30, 30, 130, 90}));
        QCOMPARE(Fuki(copy).m_ptTail, (CPoint{133, 55}));
        QCOMPARE(Fuki(source).m_nOrder, 3);
        QCOMPARE(m_f->Steps(), steps + 1);
    }

    void orderCommandsThenOneUndo_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("position");
        QTest::newRow("背面へ") << int(ID_ORDER_BACKWARD) << 1;
        QTest::newRow("前面へ") << int(ID_ORDER_FORWARD) << 3;
        QTest::newRow("最背面へ") << int(ID_ORDER_BACKMOST) << 1;
        QTest::newRow("最前面へ") << int(ID_ORDER_FRONTMOST) << 4;
    }
    void orderCommandsThenOneUndo() {
        QFETCH(int, id);
        QFETCH(int, position);
        Add();
        const int b = Add();
        Add();
        Add();
        View().m_nSelected = b;
        m_f->Route(id);
        QCOMPARE(Fuki(b).m_nOrder, position);
        m_f->Route(ID_EDIT_UNDO);
        QCOMPARE(Fuki(b).m_nOrder, 2);
        QCOMPARE(View().m_nSelected, b);
    }

    void slideshowSettingsRecordOnlyAChange() {
        const int steps = m_f->Steps();
        Doc().SetModifiedFlag(false);
        QVERIFY(RouteDialog(ID_PANEL_SETTINGS, Accept));
        QCOMPARE(m_f->Steps(), steps);
        QVERIFY(!Doc().IsModified());
        QVERIFY(RouteDialog(ID_PANEL_SETTINGS, [](QDialog& dialog) {
            TypeInto(dialog, 1018, QStringLiteral("55"));
            dialog.reject();
        }));
        QCOMPARE(Doc().m_panel.m_nFirstWait, 30);
        QVERIFY(!Doc().IsModified());
        // Row 0, "背景", holds the first wait.
        QVERIFY(RouteDialog(ID_PANEL_SETTINGS, Enter(1018, QStringLiteral("55"))));
        QCOMPARE(Doc().m_panel.m_nFirstWait, 55);
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(Doc().IsModified());
        m_f->Route(ID_EDIT_UNDO);
        QCOMPARE(Doc().m_panel.m_nFirstWait, 30);
    }

    void aSelectionOnAFreedSlotIsCleared() {
        const int a = Add();
        Fuki(a).m_rcBody = CRect{50, 50, 200, 150};
        m_f->Route(ID_FUKI_DELETE);
        QCOMPARE(View().m_nSelected, -1);
        m_f->Route(ID_EDIT_UNDO);
        QVERIFY(Fuki(a).IsInUse());
        m_f->ClickAt(QPoint(100, 100));
        QCOMPARE(View().m_nSelected, a);
        m_f->Route(ID_EDIT_REDO);
        QVERIFY(!Fuki(a).IsInUse());
        QCOMPARE(View().m_nSelected, -1);
        const int b = Add();
        QCOMPARE(View().m_nSelected, b);
        m_f->Route(ID_EDIT_UNDO);
        QCOMPARE(View().m_nSelected, -1);
        // With nothing selected, the balloon commands find nothing to act on.
        const int steps = m_f->Steps();
        m_f->Route(ID_FUKI_DELETE);
        QCOMPARE(m_f->Steps(), steps);
    }

    void undoAndRedoByKeysMarkTheDocumentModified() {
        Add();
        Doc().SetModifiedFlag(false);
        QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Doc().m_panel.CountFuki(), 0);
        QVERIFY(Doc().IsModified());
        Doc().SetModifiedFlag(false);
        QTest::keyClick(&View(), Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(Doc().m_panel.CountFuki(), 1);
        QVERIFY(Doc().IsModified());
        QTest::keyClick(&View(), Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(Doc().m_panel.CountFuki(), 0);
        // Nothing left to undo: nothing changes and nothing is marked.
        Doc().SetModifiedFlag(false);
        m_f->Route(ID_EDIT_UNDO);
        QVERIFY(!Doc().IsModified());
        QTest::keyClick(&View(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Doc().m_panel.CountFuki(), 1);
        QTest::keyClick(&View(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(Doc().m_panel.CountFuki(), 2);
    }

    void coloursFromTheSystemChooser() {
        CScriptedPrompter& prompter = *m_f->m_prompter;
        const int steps = m_f->Steps();
        prompter.m_colors = {std::nullopt, MakeRgb(10, 20, 30)};
        m_f->Route(ID_BACK_COLOR);
        QCOMPARE(m_f->Steps(), steps);
        m_f->Route(ID_BACK_COLOR);
        QCOMPARE(Doc().m_panel.m_crBack, MakeRgb(10, 20, 30));
        QCOMPARE(m_f->Steps(), steps + 1);

        const int slot = Add();
        const std::pair<int, COLORREF CFuki::*> fields[] = {
            {ID_FUKI_FILL_COLOR, &CFuki::m_crFill},
            {ID_FUKI_BORDER_COLOR, &CFuki::m_crBorder},
            {ID_TEXT_COLOR, &CFuki::m_crText}};
        for (const auto& [id, field] : fields) {
            const COLORREF start = Fuki(slot).*field;
            prompter.m_colors = {MakeRgb(1, 2, id & 0xFF)};
            m_f->Route(id);
            QCOMPARE(prompter.m_colorsOffered.back(), start);
            QCOMPARE(Fuki(slot).*field, MakeRgb(1, 2, id & 0xFF));
        }
    }

    void numberAndTextDialogs() {
        int steps = m_f->Steps();
        QVERIFY(RouteDialog(ID_TOTAL_SIZE, [](QDialog& dialog) {
            TypeInto(dialog, 1019, QStringLiteral("800"));
            TypeInto(dialog, 1018, QStringLiteral("600"));
            dialog.accept();
        }));
        QCOMPARE(Doc().m_panel.m_rcTotal, (CRect{0, 0, 800, 600}));
        QCOMPARE(View().GetScrollExtent(), QSize(800, 600));
        QCOMPARE(m_f->Steps(), ++steps);

        Doc().SetModifiedFlag(false);
        QVERIFY(RouteDialog(ID_ZOOM, Enter(1017, QStringLiteral("200"))));
        QCOMPARE(View().GetZoom(), 200);
        QCOMPARE(View().GetScrollExtent(), QSize(1600, 1200));
        QCOMPARE(m_f->Steps(), steps);
        QVERIFY(!Doc().IsModified());

        QVERIFY(RouteDialog(ID_FIRST_WAIT, Enter(1018, QStringLiteral("-5"))));
        QCOMPARE(Doc().m_panel.m_nFirstWait, -5);
        const int slot = Add();
        steps = m_f->Steps();
        QVERIFY(RouteDialog(ID_FUKI_WAIT, Enter(1018, QStringLiteral("12"))));
        QCOMPARE(Fuki(slot).m_nWait, 12);
        QVERIFY(RouteDialog(ID_FUKI_TEXT, [](QDialog& dialog) {
            auto* edit = dialog.findChild<QPlainTextEdit*>(QStringLiteral("1014"));
            edit->selectAll();
            edit->insertPlainText(QStringLiteral("やあ"));
            dialog.accept();
        }));
        QCOMPARE(Fuki(slot).m_strText, *Utf8ToCp932Exact("やあ"));
        // Edges entered the wrong way round are put in order.
        QVERIFY(RouteDialog(ID_FUKI_PROPERTIES, [](QDialog& dialog) {
            TypeInto(dialog, 1004, QStringLiteral("300"));
            TypeInto(dialog, 1005, QStringLiteral("100"));
            dialog.accept();
        }));
        QCOMPARE(Fuki(slot).m_rcBody, (CRect{100, 50, 300, 150}));
        QCOMPARE(m_f->Steps(), steps + 3);
        // Cancelled dialogs change nothing.
        QVERIFY(RouteDialog(ID_FUKI_WAIT, [](QDialog& dialog) {
            TypeInto(dialog, 1018, QStringLiteral("99"));
            dialog.reject();
        }));
        QCOMPARE(Fuki(slot).m_nWait, 12);
        QCOMPARE(m_f->Steps(), steps + 3);
    }

    // Undo and redo of an overall size give the view the extent of the size they bring back,
    // at the view's zoom, so the whole panel can be scrolled to again.
    void undoAndRedoOfTheSizeScrollOverThePanel() {
        QVERIFY(RouteDialog(ID_TOTAL_SIZE, [](QDialog& dialog) {
            TypeInto(dialog, 1019, QStringLiteral("300"));
            TypeInto(dialog, 1018, QStringLiteral("200"));
            dialog.accept();
        }));
        QCOMPARE(View().GetScrollExtent(), QSize(300, 200));
        m_f->Route(ID_EDIT_UNDO);
        QCOMPARE(Doc().m_panel.m_rcTotal, (CRect{0, 0, 640, 480}));
        QCOMPARE(View().GetScrollExtent(), QSize(640, 480));
        QVERIFY(RouteDialog(ID_ZOOM, Enter(1017, QStringLiteral("200"))));
        m_f->Route(ID_EDIT_REDO);
        QCOMPARE(Doc().m_panel.m_rcTotal, (CRect{0, 0, 300, 200}));
        QCOMPARE(View().GetScrollExtent(), QSize(600, 400));
    }

    void importAPicture() {
        CScriptedPrompter& prompter = *m_f->m_prompter;
        const int steps = m_f->Steps();
        m_f->Route(ID_PICTURE_IMPORT); // cancelled
        QCOMPARE(prompter.m_fileRequests.back().filters,
                 (QStringList{"Jpeg形式 (*.jpg)", "ビットマップ (*.bmp)", "すべての書類 (*.*)"}));
        QVERIFY(!prompter.m_fileRequests.back().bSave);
        QCOMPARE(m_f->Steps(), steps);

        // Files that cannot be used leave the panel as it was and say why.
        const QString bad = m_f->m_dir.filePath(QStringLiteral("bad.jpg"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a picture");
        file.close();
        prompter.m_files = {bad, m_f->PictureFile(QStringLiteral("그림.jpg"), 64, 48)};
        m_f->Route(ID_PICTURE_IMPORT);
        m_f->Route(ID_PICTURE_IMPORT);
        QCOMPARE(m_f->m_messages.m_requests.size(), std::size_t(2));
        QCOMPARE(m_f->m_messages.m_requests[0].text,
                 QStringLiteral("画像を読み込めませんでした。"));
        for (const fw::MessageRequest& message : m_f->m_messages.m_requests) {
            QCOMPARE(message.caption, QStringLiteral("エラー"));
            QCOMPARE(message.icon, fw::EMsgIcon::None);
        }
        QVERIFY(m_f->m_messages.m_requests[1].text.contains(QStringLiteral("그림.jpg")));
        QCOMPARE(m_f->Steps(), steps);
        QVERIFY(!Doc().m_panel.m_image.HasPicture());
        QVERIFY(Doc().m_panel.m_image.m_strName.empty());

        prompter.m_files = {m_f->PictureFile(QStringLiteral("p.jpg"), 640, 480)};
        m_f->Route(ID_PICTURE_IMPORT);
        QCOMPARE(Doc().m_panel.m_image.m_rcBody, (CRect{50, 50, 350, 275}));
        QCOMPARE(Doc().m_panel.m_bImageChanged, 1);
        QCOMPARE(m_f->Steps(), steps + 1);
        QVERIFY(Doc().IsModified());
    }

    void panelMenuItemsReachTheView() {
        CMainFrame* frame = m_f->m_app->MainFrame();
        QCOMPARE(frame->CurrentMenuId(), int(IDR_VELMOTYPE));
        std::vector<QAction*> actions;
        const std::function<void(const QMenu*)> collect = [&](const QMenu* menu) {
            for (QAction* action : menu->actions()) {
                action->menu() ? collect(action->menu()) : actions.push_back(action);
            }
        };
        for (const QMenu* menu : frame->MenusOf(IDR_VELMOTYPE)) {
            collect(menu);
        }
        const auto find = [&](int id) -> QAction* {
            for (QAction* action : actions) {
                if (fw::CCommandRouter::IdOf(action) == id) {
                    return action;
                }
            }
            return nullptr;
        };
        for (int id : kFukiNeeds) {
            QAction* action = find(id);
            if (id == ID_FUKI_WAIT) {
                QVERIFY(!action); // context menu 136 only
                continue;
            }
            QVERIFY2(action && action->isEnabled(), qPrintable(QString::number(id)));
            QVERIFY(!action->statusTip().isEmpty());
        }
        frame->Router().UpdateActions();
        find(ID_FUKI_ADD)->trigger();
        QCOMPARE(Doc().m_panel.CountFuki(), 1);
        QCOMPARE(find(ID_FUKI_DELETE)->text(), QStringLiteral("ふきだしの削除(&E)\tDelete"));
        find(ID_FUKI_DELETE)->trigger();
        QCOMPARE(Doc().m_panel.CountFuki(), 0);
    }
};

QTEST_MAIN(CViewCommandsTest)
#include "view_commands_test.moc"
