// The screen the player shows on, with two screens side by side (the offscreen platform given
// two screens, "laptop" 1024 x 768 at (0, 0) and "projector" 800 x 600 at (1024, 0)): the
// screen of the window the show is started from, or the one chosen in "表示する画面", which is
// remembered.
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

#include "ShowTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/CommandRouter.h"
#include "render/QtPictureDecoder.h"
#include "show/PlayerScreens.h"
#include "show/PlayerSettings.h"
#include "show/ScreenWnd.h"

using namespace showtest;
using namespace testsupport;

namespace {

QScreen* ScreenNamed(const QString& name) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens) {
        if (screen->name() == name) {
            return screen;
        }
    }
    return nullptr;
}

// The "表示する画面" submenu of the menu bar, or null.
QMenu* ScreenMenu(QMainWindow& frame) {
    const QList<QAction*> bar = frame.menuBar()->actions();
    for (QAction* top : bar) {
        if (!top->menu()) {
            continue;
        }
        const QList<QAction*> items = top->menu()->actions();
        for (QAction* item : items) {
            if (item->menu() && item->text() == QStringLiteral("表示する画面")) {
                emit top->menu()->aboutToShow();
                return item->menu();
            }
        }
    }
    return nullptr;
}

QAction* Item(QMenu* menu, int id) {
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        if (fw::CCommandRouter::IdOf(item) == id) {
            return item;
        }
    }
    return nullptr;
}

} // namespace

class CScreenChoiceTest : public QObject {
    Q_OBJECT
    render::CQtPictureDecoder m_decoder;
private slots:
    void init() { SetChosenScreenName(QString()); }

    void twoScreensArePresentAndListedPrimaryFirst() {
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QVERIFY(ScreenNamed("laptop") && ScreenNamed("projector"));
        const QList<QScreen*> listed = ListedScreens();
        QCOMPARE(listed.first(), QGuiApplication::primaryScreen());
        QCOMPARE(ScreenItemText(1, ScreenNamed("projector")),
                 QStringLiteral("&2 projector (800 × 600)"));
    }

    void theShowGoesToTheScreenOfItsWindowOrTheChosenOne() {
        QScreen* laptop = ScreenNamed("laptop");
        QScreen* projector = ScreenNamed("projector");
        QVERIFY(laptop && projector);
        struct SCase {
            const char* chosen; // the remembered choice, "" for none
            QScreen* window;    // where the window the show is started from is
            QScreen* expected;
        };
        const SCase cases[] = {
            {"", laptop, laptop},
            {"", projector, projector},
            {"projector", laptop, projector},
            {"laptop", projector, laptop},
            {"unplugged", projector, projector}, // a choice no longer present
        };
        for (const SCase& c : cases) {
            SetChosenScreenName(QString::fromUtf8(c.chosen));
            QWidget from;
            from.setScreen(c.window);
            from.setGeometry(c.window->geometry().adjusted(100, 100, -100, -100));
            from.show();
            QApplication::setActiveWindow(&from);
            QCOMPARE(QApplication::activeWindow(), &from);
            CScreenWnd wnd(m_decoder);
            wnd.Create();
            wnd.PlayDocumentFile(QString(), true); // an empty show: black on its screen
            QVERIFY(wnd.isVisible());
            QCOMPARE(wnd.screen(), c.expected);
            QCOMPARE(wnd.geometry(), c.expected->geometry());
            QCOMPARE(wnd.ScreenSize(), c.expected->size());
            QCOMPARE(wnd.Playback().GetScreenWidth(), c.expected->size().width());
            QTest::keyClick(&wnd, Qt::Key_Escape);
        }
    }

    void theMenuListsTheScreensAndRemembersTheChoice() {
        auto app = StartApp();
        QVERIFY(app);
        QMenu* menu = ScreenMenu(*app->MainFrame());
        QVERIFY(menu);
        QVERIFY(menu->menuAction()->isVisible());
        QAction* window = Item(menu, cmd::ID_PLAYER_SCREEN_WINDOW);
        QAction* first = Item(menu, cmd::ID_PLAYER_SCREEN_FIRST);
        QAction* second = Item(menu, cmd::ID_PLAYER_SCREEN_FIRST + 1);
        QVERIFY(window && first && second);
        QCOMPARE(first->text(), QStringLiteral("&1 laptop (1024 × 768)"));
        QCOMPARE(second->text(), QStringLiteral("&2 projector (800 × 600)"));
        QVERIFY(second->isVisible());
        QVERIFY(!Item(menu, cmd::ID_PLAYER_SCREEN_FIRST + 2)->isVisible());
        QVERIFY(window->isChecked());

        QVERIFY(Route(*app, cmd::ID_PLAYER_SCREEN_FIRST + 1));
        QCOMPARE(ChosenScreenName(), QStringLiteral("projector"));
        QVERIFY(second->isChecked());
        QVERIFY(!window->isChecked());
        QVERIFY(!first->isChecked());

        // The main window is on the laptop; the show goes to the projector.
        app->MainFrame()->setScreen(ScreenNamed("laptop"));
        QVERIFY(Route(*app, cmd::ID_SLIDESHOW_MANUAL));
        CScreenWnd* player = app->ScreenWnd();
        QVERIFY(player->isVisible());
        QCOMPARE(player->screen(), ScreenNamed("projector"));
        QCOMPARE(player->ScreenSize(), QSize(800, 600));
        QTest::keyClick(player, Qt::Key_Escape);

        QVERIFY(Route(*app, cmd::ID_PLAYER_SCREEN_WINDOW));
        QCOMPARE(ChosenScreenName(), QString());
        QVERIFY(window->isChecked());
        app.reset();
        Settle();
    }
};

QTEST_MAIN(CScreenChoiceTest)
#include "ScreenChoiceTest.moc"
