// The main window: the menus' exact texts and ids, enabling by handler existence, the tool
// bar, the status bar, the View toggles, the Window menu, accelerators and the About box.
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/AboutDialog.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "framework/DocManager.h"
#include "framework/MDIChildWnd.h"

using namespace testsupport;
using namespace uitest;

namespace {

QStringList TopMenus(CMainFrame* frame) {
    QStringList titles;
    for (QAction* action : frame->menuBar()->actions()) {
        titles << action->text();
    }
    return titles;
}

QStringList Items(CMainFrame* frame, int menuId, int index) {
    return Describe(frame->MenusOf(menuId).at(static_cast<std::size_t>(index)));
}

QAction* MenuAction(CMainFrame* frame, int id) {
    for (QAction* top : frame->menuBar()->actions()) {
        if (QAction* found = FindAction(top->menu(), id)) {
            return found;
        }
    }
    return nullptr;
}

const QStringList kNoDocumentFileMenu{QStringLiteral("57600|新規作成\tCtrl+N(&N)"),
                                      QStringLiteral("57601|開く...\tCtrl+O(&O)"),
                                      QStringLiteral("-"),
                                      QStringLiteral("32835|新規ショー設定(&W)..."),
                                      QStringLiteral("32836|ショー設定を開く(&H)..."),
                                      QStringLiteral("-"),
                                      QStringLiteral("57616|最近使ったファイル"),
                                      QStringLiteral("-"),
                                      QStringLiteral("57602|閉じる(&C)"),
                                      QStringLiteral("57665|アプリケーションの終了(&X)")};
const QStringList kViewMenu{QStringLiteral("59392|ツール バー(&T)"),
                            QStringLiteral("59393|ステータス バー(&S)")};
const QStringList kHelpMenu{QStringLiteral("57664|バージョン情報 ベルモエディタ(&A)...")};
const QStringList kWindowMenu{QStringLiteral("57650|重ねて表示(&C)"),
                              QStringLiteral("57651|並べて表示(&T)"),
                              QStringLiteral("57649|アイコンの整列(&A)")};

} // namespace

class CMainFrameTest : public QObject {
    Q_OBJECT
    std::unique_ptr<CVelmoApp> m_app;
    CMainFrame* Frame() { return m_app->MainFrame(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Tollan Works"), QStringLiteral("Velmo")).clear();
    }
    void init() { m_app = StartApp(); }
    void cleanup() {
        m_app->DocManager().CloseAllDocuments();
        m_app.reset();
        Settle();
    }

    void menu128WithoutDocument() {
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_MAINFRAME));
        QCOMPARE(TopMenus(Frame()),
                 (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("表示(&V)"),
                              QStringLiteral("ヘルプ(&H)")}));
        QCOMPARE(Items(Frame(), 128, 0), kNoDocumentFileMenu);
        QCOMPARE(Items(Frame(), 128, 1), kViewMenu);
        QCOMPARE(Items(Frame(), 128, 2), kHelpMenu);
        QCOMPARE(Frame()->statusBar()->currentMessage(), QStringLiteral("レディ"));
    }

    // Started with a panel, the main window builds the menus of no document only when they
    // are first shown: then with every fixed item in order and its shortcut, the recent-file
    // entry the start added, and the accelerators working as before.
    void menu128BuiltWhenFirstShown() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("first.vlm"));
        QVERIFY(WritePanel(path, 60, 40, 0));
        m_app->DocManager().CloseAllDocuments();
        m_app.reset();
        Settle();
        m_app = StartApp({path});
        QVERIFY(m_app);
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_VELMOTYPE));
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_MAINFRAME));
        QCOMPARE(TopMenus(Frame()),
                 (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("表示(&V)"),
                              QStringLiteral("ヘルプ(&H)")}));
        QMenu* file = Frame()->MenusOf(cmd::IDR_MAINFRAME).front();
        QCOMPARE(Describe(file), kNoDocumentFileMenu);
        // The stand-in gives way to the entry of the panel the start opened.
        QVERIFY(!FindAction(file, cmd::ID_FILE_MRU_FILE1)->isVisible());
        QStringList entries;
        for (QAction* action : file->actions()) {
            if (action->property("velmoDynamicItem").toBool()) {
                entries << action->text();
            }
        }
        QCOMPARE(entries.size(), 1);
        QVERIFY2(entries[0].startsWith(QStringLiteral("&1 ")) &&
                     entries[0].endsWith(QStringLiteral("first.vlm")),
                 qPrintable(entries[0]));
        QCOMPARE(Items(Frame(), 128, 1), kViewMenu);
        QCOMPARE(Items(Frame(), 128, 2), kHelpMenu);
        // Ctrl+N opens a new panel from the menu of no document.
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        Settle();
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_VELMOTYPE));
    }

    void menu129OfAPanel() {
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_VELMOTYPE));
        QCOMPARE(TopMenus(Frame()),
                 (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                              QStringLiteral("表示(&V)"), QStringLiteral("ベルモ(&K)"),
                              QStringLiteral("ふきだし(&D)"), QStringLiteral("スライドショー(&S)"),
                              QStringLiteral("ウィンドウ(&W)"), QStringLiteral("ヘルプ(&H)")}));
        QCOMPARE(Items(Frame(), 129, 0),
                 (QStringList{QStringLiteral("57600|新規作成(&N)\tCtrl+N"),
                              QStringLiteral("57601|開く...(&O)\tCtrl+O"),
                              QStringLiteral("57602|閉じる(&C)"),
                              QStringLiteral("57603|上書き保存(&S)\tCtrl+S"),
                              QStringLiteral("57604|名前を付けて保存(&A)..."),
                              QStringLiteral("57607|印刷...(&P)\tCtrl+P"),
                              QStringLiteral("57609|印刷プレビュー(&V)"),
                              QStringLiteral("33100|エクスポート..."), QStringLiteral("-"),
                              QStringLiteral("32835|新規ショー設定(&W)..."),
                              QStringLiteral("32836|ショー設定を開く(&H)..."), QStringLiteral("-"),
                              QStringLiteral("57616|最近使ったファイル"), QStringLiteral("-"),
                              QStringLiteral("57665|アプリケーションの終了(&X)")}));
        QCOMPARE(Items(Frame(), 129, 1),
                 (QStringList{QStringLiteral("57643|取り消し(&U)\tCtrl+Z"),
                              QStringLiteral("57644|やり直し(&R)\tCtrl+Y"), QStringLiteral("-"),
                              QStringLiteral("57635|切り取り(&T)\tCtrl+X"),
                              QStringLiteral("57634|コピー(&C)\tCtrl+C"),
                              QStringLiteral("57637|貼り付け(&P)\tCtrl+V")}));
        QCOMPARE(Items(Frame(), 129, 2), kViewMenu);
        QStringList panelItems = Items(Frame(), 129, 3);
        panelItems.removeAll(QStringLiteral("-"));
        QCOMPARE(panelItems, (QStringList{QStringLiteral("32773|イメージ読み込み..(&I)"),
                                          QStringLiteral("32775|背景色...(&B)"),
                                          QStringLiteral("32800|全体のサイズ...(&C)"),
                                          QStringLiteral("32798|表示の拡大縮小...(&M)"),
                                          QStringLiteral("32853|ベルモ漫画の詳細設定...(&S)")}));
        QStringList balloon = Items(Frame(), 129, 4);
        balloon.removeAll(QStringLiteral("-"));
        QCOMPARE(balloon, (QStringList{QStringLiteral("32777|ふきだしの追加(&A)\tCtrl+Shift+N"),
                                       QStringLiteral("32781|ふきだしの削除(&E)\tDelete"),
                                       QStringLiteral("32855|ふきだしの複製(&D)\tCtrl+D"),
                                       QStringLiteral("32803|ふきだしの色...(&C)"),
                                       QStringLiteral("32807|ふきだしの枠の色...(&F)"),
                                       QStringLiteral("32779|ふきだしの詳細設定...(&P)\tEnter"),
                                       QStringLiteral("32824|セリフの編集...(&T)"),
                                       QStringLiteral("32793|セリフの色...(X)"),
                                       QStringLiteral("32816|背面へ(&B)"),
                                       QStringLiteral("32817|前面へ(&F)"),
                                       QStringLiteral("32818|最背面へ(&H)"),
                                       QStringLiteral("32819|最前面へ(&Z)")}));
        const QStringList slideshow = Items(Frame(), 129, 5);
        QCOMPARE(slideshow.mid(0, 2),
                 (QStringList{QStringLiteral("32845|手動(&M)"), QStringLiteral("32846|自動(&A)")}));
        // Then "表示する画面": the window's screen and one item per possible screen.
        QCOMPARE(slideshow.mid(2, 2),
                 (QStringList{QStringLiteral(">表示する画面"),
                              QStringLiteral("33160|ウィンドウのある画面(&W)")}));
        QCOMPARE(slideshow.size(), 2 + 2 + 16 + 1);
        QCOMPARE(Items(Frame(), 129, 6), kWindowMenu);
        QCOMPARE(Items(Frame(), 129, 7), kHelpMenu);
    }

    void menu152OfAShow() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        {
            CPrompterScope prompter;
            prompter->m_files.push_back(dir.filePath(QStringLiteral("menu.vls")));
            QVERIFY(Route(*m_app, cmd::ID_SHOW_NEW));
        }
        QCOMPARE(Frame()->CurrentMenuId(), int(cmd::IDR_VELMOSHOWTYPE));
        QCOMPARE(TopMenus(Frame()),
                 (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                              QStringLiteral("表示(&V)"), QStringLiteral("スライドショー(&S)"),
                              QStringLiteral("ウィンドウ(&W)"), QStringLiteral("ヘルプ(&H)")}));
        QCOMPARE(Items(Frame(), 152, 0),
                 (QStringList{QStringLiteral("57600|新規作成\tCtrl+N(&N)"),
                              QStringLiteral("57601|開く...\tCtrl+O(&O)"),
                              QStringLiteral("57602|閉じる(&C)"),
                              QStringLiteral("57603|上書き保存\tCtrl+S(&S)"),
                              QStringLiteral("57604|名前を付けて保存(&A)..."),
                              QStringLiteral("33101|エクスポート..."), QStringLiteral("-"),
                              QStringLiteral("32835|新規ショー設定(&W)..."),
                              QStringLiteral("32836|ショー設定を開く(&H)..."), QStringLiteral("-"),
                              QStringLiteral("57616|最近使ったファイル"), QStringLiteral("-"),
                              QStringLiteral("57665|アプリケーションの終了(&X)")}));
        QCOMPARE(Items(Frame(), 152, 1),
                 (QStringList{QStringLiteral("57643|元に戻す\tCtrl+Z(&U)"), QStringLiteral("-"),
                              QStringLiteral("57635|切り取り\tCtrl+X(&T)"),
                              QStringLiteral("57634|コピー\tCtrl+C(&C)"),
                              QStringLiteral("57637|貼り付け\tCtrl+V(&P)")}));
        QCOMPARE(Items(Frame(), 152, 2), kViewMenu);
        const QStringList slideshow = Items(Frame(), 152, 3);
        QCOMPARE(slideshow.mid(0, 2),
                 (QStringList{QStringLiteral("32845|手動(&M)"), QStringLiteral("32846|自動(&A)")}));
        QCOMPARE(slideshow.mid(2, 4),
                 (QStringList{QStringLiteral("-"), QStringLiteral("33150|繰り返し再生"),
                              QStringLiteral(">表示する画面"),
                              QStringLiteral("33160|ウィンドウのある画面(&W)")}));
        QCOMPARE(slideshow.size(), 2 + 4 + 16 + 1);
        QCOMPARE(Items(Frame(), 152, 4), kWindowMenu);
        QCOMPARE(Items(Frame(), 152, 5), kHelpMenu);
        // The edit commands have no handler for a show and are shown disabled.
        for (int id :
             {cmd::ID_EDIT_UNDO, cmd::ID_EDIT_CUT, cmd::ID_EDIT_COPY, cmd::ID_EDIT_PASTE}) {
            QVERIFY2(!MenuAction(Frame(), id)->isEnabled(), qPrintable(QString::number(id)));
        }
        QVERIFY(MenuAction(Frame(), cmd::ID_FILE_SAVE)->isEnabled());
    }

    void enablingFollowsHandlers() {
        // A panel is active: the document's and the application's commands are enabled, and
        // cut, copy and paste, which the panel view handles.
        for (int id : {cmd::ID_FILE_NEW, cmd::ID_FILE_OPEN, cmd::ID_FILE_CLOSE, cmd::ID_FILE_SAVE,
                       cmd::ID_FILE_SAVE_AS, cmd::ID_APP_EXIT, cmd::ID_APP_ABOUT,
                       cmd::ID_VIEW_TOOLBAR, cmd::ID_WINDOW_CASCADE, cmd::ID_WINDOW_ARRANGE}) {
            QVERIFY2(MenuAction(Frame(), id)->isEnabled(), qPrintable(QString::number(id)));
        }
        for (int id : {cmd::ID_EDIT_CUT, cmd::ID_EDIT_COPY, cmd::ID_EDIT_PASTE}) {
            QVERIFY2(MenuAction(Frame(), id)->isEnabled(), qPrintable(QString::number(id)));
            QVERIFY(Frame()->Router().IsEnabled(id));
        }
        QVERIFY(Frame()->Router().IsEnabled(cmd::ID_FILE_PRINT));
        // The recent-file stand-in is disabled while the list is empty.
        QVERIFY(!MenuAction(Frame(), cmd::ID_FILE_MRU_FILE1)->isEnabled());

        // Without a document, only the application's and the frame's commands remain.
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        QVERIFY(MenuAction(Frame(), cmd::ID_FILE_NEW)->isEnabled());
        QVERIFY(!MenuAction(Frame(), cmd::ID_FILE_CLOSE)->isEnabled());
        QVERIFY(!Frame()->Router().IsEnabled(cmd::ID_FILE_SAVE));
        QVERIFY(!Frame()->Router().IsEnabled(cmd::ID_FILE_PRINT));
        QVERIFY(!Route(*m_app, cmd::ID_FILE_SAVE));
        for (int id : {cmd::ID_EDIT_CUT, cmd::ID_EDIT_COPY, cmd::ID_EDIT_PASTE}) {
            QVERIFY(!Frame()->Router().IsEnabled(id));
        }
    }

    void toolBarHoldsNineButtonsInOrder() {
        QToolBar* bar = Frame()->ToolBar();
        QCOMPARE(bar->objectName(), QStringLiteral("59392"));
        QStringList layout;
        for (QAction* action : bar->actions()) {
            layout << (action->isSeparator() ? QStringLiteral("-")
                                             : QString::number(fw::CCommandRouter::IdOf(action)));
            if (!action->isSeparator()) {
                QVERIFY(!action->icon().isNull());
                QVERIFY(!action->toolTip().isEmpty());
                QVERIFY(!action->statusTip().isEmpty());
            }
        }
        QCOMPARE(layout, (QStringList{"57600", "57601", "57603", "-", "57635", "57634", "57637",
                                      "-", "32846", "32845", "-", "57664"}));
        const auto state = [bar](int id) {
            for (QAction* action : bar->actions()) {
                if (fw::CCommandRouter::IdOf(action) == id) {
                    return action->isEnabled();
                }
            }
            return false;
        };
        QVERIFY(state(cmd::ID_FILE_SAVE));
        QVERIFY(state(cmd::ID_EDIT_CUT));
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        QVERIFY(!state(cmd::ID_EDIT_CUT));
        QVERIFY(state(cmd::ID_FILE_NEW));
        QVERIFY(state(cmd::ID_APP_ABOUT));
        QVERIFY(!state(cmd::ID_FILE_SAVE));
        QVERIFY(!state(cmd::ID_SLIDESHOW_AUTO));
        QVERIFY(!state(cmd::ID_SLIDESHOW_MANUAL));
        // Tips come from the string table: prompt before the line feed, tip after it.
        QAction* newButton = bar->actions().front();
        QCOMPARE(newButton->toolTip(), QStringLiteral("新規ベルモ漫画"));
        QCOMPARE(newButton->statusTip(), QStringLiteral("新規にベルモ漫画を作成"));
    }

    void statusBarShowsPromptsAndKeyPanes() {
        QStatusBar* bar = Frame()->statusBar();
        QCOMPARE(bar->objectName(), QStringLiteral("59393"));
        QCOMPARE(bar->currentMessage(), QStringLiteral("レディ"));
        for (const char* id : {"59137", "59138", "59139"}) {
            QVERIFY2(bar->findChild<QLabel*>(QString::fromLatin1(id)), id);
        }
        QAction* about = MenuAction(Frame(), cmd::ID_APP_ABOUT);
        QVERIFY(about->showStatusText(Frame()));
        QCOMPARE(bar->currentMessage(),
                 QStringLiteral("プログラム情報、バージョン、著作権を表示します。"));
        QStatusTipEvent leave{QString()};
        QCoreApplication::sendEvent(Frame(), &leave);
        QCOMPARE(bar->currentMessage(), QStringLiteral("レディ"));
    }

    void viewTogglesFollowTheBars() {
        QAction* toolBarItem = MenuAction(Frame(), cmd::ID_VIEW_TOOLBAR);
        QAction* statusItem = MenuAction(Frame(), cmd::ID_VIEW_STATUS_BAR);
        QVERIFY(toolBarItem->isChecked());
        QVERIFY(statusItem->isChecked());
        const QRect area = Frame()->MdiArea()->geometry();

        QVERIFY(Route(*m_app, cmd::ID_VIEW_TOOLBAR));
        QVERIFY(Frame()->ToolBar()->isHidden());
        QVERIFY(!toolBarItem->isChecked());
        QVERIFY(statusItem->isChecked());
        QVERIFY(Route(*m_app, cmd::ID_VIEW_TOOLBAR));
        QVERIFY(!Frame()->ToolBar()->isHidden());
        QVERIFY(toolBarItem->isChecked());
        QCOMPARE(Frame()->MdiArea()->geometry(), area);

        QVERIFY(Route(*m_app, cmd::ID_VIEW_STATUS_BAR));
        QVERIFY(Frame()->statusBar()->isHidden());
        QVERIFY(!statusItem->isChecked());
        QVERIFY(Route(*m_app, cmd::ID_VIEW_STATUS_BAR));
        QVERIFY(!Frame()->statusBar()->isHidden());
        QVERIFY(statusItem->isChecked());
    }

    void windowMenuArrangesAndListsWindows() {
        QVERIFY(Route(*m_app, cmd::ID_FILE_NEW));
        QMdiArea* area = Frame()->MdiArea();
        const QList<QMdiSubWindow*> windows = area->subWindowList();
        QCOMPARE(windows.size(), 2);

        QVERIFY(Route(*m_app, cmd::ID_WINDOW_TILE_HORZ));
        QVERIFY(!windows[0]->geometry().intersects(windows[1]->geometry()));
        QVERIFY(Route(*m_app, cmd::ID_WINDOW_CASCADE));
        QVERIFY(windows[0]->geometry().intersects(windows[1]->geometry()));
        QVERIFY(windows[0]->pos() != windows[1]->pos());

        for (QMdiSubWindow* window : windows) {
            window->showMinimized();
            window->move(40, 40);
        }
        QVERIFY(Route(*m_app, cmd::ID_WINDOW_ARRANGE));
        const int bottom = area->viewport()->height();
        QCOMPARE(windows[0]->geometry().bottom() + 1, bottom);
        QCOMPARE(windows[1]->geometry().bottom() + 1, bottom);
        QVERIFY(windows[0]->x() != windows[1]->x());

        // The open windows follow the fixed items; choosing one activates it.
        QMenu* windowMenu = Frame()->MenusOf(cmd::IDR_VELMOTYPE).at(6);
        QMetaObject::invokeMethod(windowMenu, "aboutToShow");
        QStringList listed;
        QAction* first = nullptr;
        for (QAction* action : windowMenu->actions()) {
            if (action->property("velmoDynamicItem").toBool() && !action->isSeparator()) {
                listed << action->text();
                first = first ? first : action;
            }
        }
        QCOMPARE(listed, (QStringList{QStringLiteral("&1 無題1"), QStringLiteral("&2 無題2")}));
        first->trigger();
        QCOMPARE(Frame()->ActiveFrame(), windows[0]);
    }

    void acceleratorsRouteCommands() {
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        Settle();
        QCOMPARE(m_app->DocManager().Documents().size(), size_t(2));
        // Keys whose command has no handler do nothing.
        QTest::keyClick(Frame(), Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(Frame(), Qt::Key_F6);
        Settle();
        QCOMPARE(m_app->DocManager().Documents().size(), size_t(2));
    }

    void aboutBox() {
        CAboutDialog about(Frame());
        QCOMPARE(about.windowTitle(), QStringLiteral("バージョン情報 ベルモエディタ"));
        QStringList texts;
        for (QLabel* label : about.findChildren<QLabel*>()) {
            texts << label->text();
        }
        QVERIFY(texts.contains(QStringLiteral("ベルモエディタ Version 1.1.0")));
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(ok);
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QVERIFY(ok->isDefault());

        // The command shows it modally; OK closes it.
        bool seen = false;
        QTimer::singleShot(0, this, [&seen] {
            auto* shown = qobject_cast<CAboutDialog*>(QApplication::activeModalWidget());
            seen = shown != nullptr;
            if (shown) {
                shown->findChild<QPushButton*>(QStringLiteral("1"))->click();
            }
        });
        QVERIFY(Route(*m_app, cmd::ID_APP_ABOUT));
        QVERIFY(seen);
    }
};

QTEST_MAIN(CMainFrameTest)
#include "MainFrameTest.moc"
