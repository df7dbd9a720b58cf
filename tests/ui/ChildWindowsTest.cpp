// Child windows inside the main window: where new windows appear, and the show window that
// keeps its size and caption when it opens while a panel window is maximised.
#include <QMdiArea>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/ChildFrameShow.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"

using namespace testsupport;
using namespace uitest;

class CChildWindowsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<CVelmoApp> m_app;
    QMdiArea* Area() { return m_app->MainFrame()->MdiArea(); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Tollan Works"), QStringLiteral("Velmo")).clear();
        QVERIFY(m_dir.isValid());
    }
    void init() {
        m_app = StartApp();
        QVERIFY(m_app);
        m_app->MainFrame()->resize(900, 680);
        Settle();
    }
    void cleanup() {
        m_app->DocManager().CloseAllDocuments();
        m_app.reset();
        Settle();
    }

    // Each new window lies wholly inside the area, a caption height right of and below the one
    // before it, and the row starts again at the corner when the next would not fit.
    void newWindowsCascadeInsideTheArea() {
        for (int i = 0; i < 12; ++i) {
            QVERIFY(Route(*m_app, cmd::ID_FILE_NEW));
        }
        Settle();
        const QRect visible(QPoint(0, 0), Area()->viewport()->size());
        const QList<QMdiSubWindow*> windows = Area()->subWindowList();
        QCOMPARE(windows.size(), 13);
        QCOMPARE(windows[0]->pos(), QPoint(0, 0));
        int restarts = 0;
        for (qsizetype i = 0; i < windows.size(); ++i) {
            QVERIFY2(visible.contains(windows[i]->geometry()),
                     qPrintable(QStringLiteral("window %1 reaches outside").arg(i + 1)));
            if (i == 0) {
                continue;
            }
            const QPoint step = windows[i]->pos() - windows[i - 1]->pos();
            if (windows[i]->pos() == QPoint(0, 0)) {
                ++restarts;
            } else {
                QVERIFY(step.x() > 0);
                QCOMPARE(step.x(), step.y());
            }
        }
        QVERIFY(restarts >= 1);
    }

    // "重ねて表示" lays the windows from the corner a caption height apart at the size of a new
    // window, the front-most last; the show window keeps its size, a minimised one its place.
    void cascadeKeepsTheDefaultSize() {
        QVERIFY(WriteShow(m_dir.filePath(QStringLiteral("c.vls")), {}));
        QVERIFY(m_app->DocManager().OpenDocumentFile(m_dir.filePath(QStringLiteral("c.vls"))));
        QVERIFY(Route(*m_app, cmd::ID_FILE_NEW));
        QVERIFY(Route(*m_app, cmd::ID_FILE_NEW));
        Settle();
        const QList<QMdiSubWindow*> windows = Area()->subWindowList();
        QCOMPARE(windows.size(), 4);
        const QSize defaultSize = windows[0]->size();
        windows[0]->resize(120, 90);
        windows[2]->showMinimized();
        Settle();
        const QPoint minimisedAt = windows[2]->pos();
        windows[3]->showMaximized();
        Settle();
        QVERIFY(windows[2]->isMinimized());

        QVERIFY(Route(*m_app, cmd::ID_WINDOW_CASCADE));
        Settle();
        const QRect visible(QPoint(0, 0), Area()->viewport()->size());
        QVERIFY(!windows[3]->isMaximized());
        QCOMPARE(windows[2]->pos(), minimisedAt);
        QCOMPARE(windows[1]->size(), QSize(CChildFrameShow::kWidth, CChildFrameShow::kHeight));
        for (QMdiSubWindow* window : {windows[0], windows[3]}) {
            QCOMPARE(window->size(), defaultSize);
        }
        const QList<QMdiSubWindow*> stacked = Area()->subWindowList(QMdiArea::StackingOrder);
        QPoint previous(-1, -1);
        for (QMdiSubWindow* window : stacked) {
            if (window->isMinimized()) {
                continue;
            }
            QVERIFY(visible.contains(window->geometry()));
            QVERIFY(window->x() > previous.x() && window->y() > previous.y());
            previous = window->pos();
        }
    }

    // The main window's caption names the active document once: "ベルモエディタ - 無題1", and
    // while that window is maximised "ベルモエディタ - [無題1]".
    void captionNamesTheMaximisedDocumentOnce() {
        QMdiSubWindow* window = Area()->subWindowList().at(0);
        CMainFrame* frame = m_app->MainFrame();
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ - 無題1"));
        window->showMaximized();
        Settle();
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ - [無題1]"));
        QVERIFY(Route(*m_app, cmd::ID_FILE_NEW));
        Settle();
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ - [無題2]"));
        // A document saved under a new name while its window is maximised.
        ActiveDocument(*m_app)->SetTitle(QStringLiteral("b.vlm"));
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ - [b.vlm]"));
        ActiveDocument(*m_app)->SetTitle(QStringLiteral("無題2"));
        Area()->activeSubWindow()->showNormal();
        Settle();
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ - 無題2"));
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        QVERIFY(Route(*m_app, cmd::ID_FILE_CLOSE));
        Settle();
        QCOMPARE(frame->windowTitle(), QStringLiteral("ベルモエディタ"));
    }

    // Opening a show while a panel window is maximised: the show window keeps its caption and
    // its 450 x 280, and a click on the panel window afterwards neither maximises that window
    // under the pointer nor turns the click into a drag of the picture.
    void showWindowOpensUnmaximisedOverAMaximisedPanel() {
        const QString picture = m_dir.filePath(QStringLiteral("p.bmp"));
        QVERIFY(WritePicture(picture, QSize(400, 300), Qt::red));
        QVERIFY(WritePanel(m_dir.filePath(QStringLiteral("a.vlm")), 640, 480, 0xFFFFFF, picture));
        QVERIFY(WriteShow(m_dir.filePath(QStringLiteral("s.vls")), {QStringLiteral("a")}));

        fw::CDocument* panel =
            m_app->DocManager().OpenDocumentFile(m_dir.filePath(QStringLiteral("a.vlm")));
        QVERIFY(panel);
        fw::CMDIChildWnd* panelFrame = panel->GetFrame();
        panelFrame->showMaximized();
        Settle();
        QVERIFY(panelFrame->isMaximized());

        fw::CDocument* show =
            m_app->DocManager().OpenDocumentFile(m_dir.filePath(QStringLiteral("s.vls")));
        QVERIFY(show);
        Settle();
        auto* showFrame = qobject_cast<CChildFrameShow*>(show->GetFrame());
        QVERIFY(showFrame);
        QCOMPARE(Area()->activeSubWindow(), showFrame);
        QVERIFY(!showFrame->isMaximized());
        QCOMPARE(showFrame->size(), QSize(CChildFrameShow::kWidth, CChildFrameShow::kHeight));

        // A press and release on the picture of the panel window, at one spot of the screen.
        auto* view = dynamic_cast<CVelmoView*>(panelFrame->GetView());
        QVERIFY(view);
        const CRect before = dynamic_cast<CVelmoDoc&>(panel->Model()).m_panel.m_image.m_rcBody;
        const QPoint onPicture(before.left + 20, before.top + 20);
        const QPoint global = view->viewport()->mapToGlobal(onPicture);
        Area()->setActiveSubWindow(panelFrame);
        Settle();
        QVERIFY(!panelFrame->isMaximized());
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, onPicture);
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {},
                            view->viewport()->mapFromGlobal(global));
        const CRect after = dynamic_cast<CVelmoDoc&>(panel->Model()).m_panel.m_image.m_rcBody;
        QVERIFY(after == before);
        QVERIFY(!panel->IsModified());
    }
};

QTEST_MAIN(CChildWindowsTest)
#include "ChildWindowsTest.moc"
