// The show document type in the application: its template and frame, "新規ショー設定..." and
// "ショー設定を開く..." with their dialogs, the panel view's slideshow commands, and the
// playback window the application creates at start-up.
#include <sys/stat.h>

#include <QDir>
#include <QListWidget>
#include <QMdiArea>
#include <QTemporaryDir>
#include <QtTest>

#include "ShowTestSupport.h"
#include "app/ChildFrameShow.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/DocTemplate.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"
#include "show/ScreenWnd.h"
#include "show/ShowPropView.h"

using namespace showtest;
using namespace testsupport;

class CShowCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        QVERIFY(WritePanel(Path("a.vlm"), MakePanel(640, 480, MakeRgb(0, 0, 255))));
        QVERIFY(WritePanel(Path("b.vlm"), MakePanel(640, 480, MakeRgb(0, 255, 0))));
    }

    void init() {
        m_app = StartApp();
        QVERIFY(m_app);
    }

    void cleanup() {
        m_app->DocManager().CloseAllDocuments();
        Settle();
        m_app.reset();
    }

    void theShowTypeIsTheSecondTemplate() {
        const auto& templates = m_app->DocManager().Templates();
        QCOMPARE(templates.size(), std::size_t(2));
        const fw::CDocTemplate& show = *templates[1];
        QCOMPARE(show.GetResourceId(), 152);
        QCOMPARE(show.GetDocString(fw::CDocTemplate::windowTitle), QString());
        QCOMPARE(show.GetDocString(fw::CDocTemplate::docName), QStringLiteral("無題"));
        QCOMPARE(show.GetDocString(fw::CDocTemplate::fileNewName),
                 QStringLiteral("新規ベルモショー"));
        QCOMPARE(show.GetDocString(fw::CDocTemplate::filterName),
                 QStringLiteral("ベルモショー書類 (*.vls)"));
        QCOMPARE(show.GetDocString(fw::CDocTemplate::filterExt), QStringLiteral(".vls"));
        QCOMPARE(show.GetDocString(fw::CDocTemplate::regFileTypeId),
                 QStringLiteral("VelmoShow.Document"));
        QCOMPARE(show.GetDocString(fw::CDocTemplate::regFileTypeName),
                 QStringLiteral("ベルモショー書類"));
    }

    void theApplicationCreatesTheHiddenPlaybackWindowAtStartUp() {
        CScreenWnd* screen = m_app->ScreenWnd();
        QVERIFY(screen);
        QVERIFY(!screen->isVisible());
        QCOMPARE(fw::ShowPlayer(), static_cast<fw::IShowPlayer*>(screen));
        QCOMPARE(screen->ScreenSize(), QGuiApplication::primaryScreen()->size());
    }

    void newShowEmptiesTheFileOpensItAndSavesTwelveBytes() {
        QVERIFY(WriteShow(Path("new.vls"), {"a", "b"}));
        CPrompterScope prompter;
        prompter->m_files.push_back(Path("new.vls"));
        QVERIFY(Route(*m_app, cmd::ID_SHOW_NEW));

        const fw::FileDialogRequest& request = prompter->m_fileRequests.at(0);
        QVERIFY(request.bSave);
        QCOMPARE(request.defaultExtension, QStringLiteral("vls"));
        QCOMPARE(request.filters,
                 (QStringList{"ベルモショーの書類 (*.vls)", "すべての書類 (*.*)"}));
        QVERIFY(request.initialPath.isEmpty());

        QCOMPARE(QFileInfo(Path("new.vls")).size(), 0);
        fw::CDocument* document = ActiveDocument();
        QVERIFY(document);
        QCOMPARE(document->GetPathName(), Path("new.vls"));
        QCOMPARE(document->GetTitle(), QStringLiteral("new.vls"));
        QVERIFY(!document->IsModified());
        auto* frame = qobject_cast<CChildFrameShow*>(document->GetFrame());
        QVERIFY(frame);
        QCOMPARE(frame->size(), QSize(450, 280));
        QCOMPARE(m_app->MainFrame()->CurrentMenuId(), 152);
        auto* view = dynamic_cast<CShowPropView*>(document->GetView());
        QVERIFY(view);
        QCOMPARE(view->m_listShow->count(), 1);
        QCOMPARE(view->m_listShow->currentRow(), 0);
        QCOMPARE(view->m_listAll->count(), 2);

        QVERIFY(Route(*m_app, cmd::ID_FILE_SAVE));
        QCOMPARE(ReadBytes(Path("new.vls")), QByteArray(12, '\0'));
    }

    void newShowOnAFileOpenElsewhereOpensASecondWindow() {
        QVERIFY(WriteShow(Path("twice.vls"), {"a"}));
        fw::CDocument* first = m_app->DocManager().OpenDocumentFile(Path("twice.vls"));
        QVERIFY(first);
        const std::size_t before = m_app->DocManager().Documents().size();
        CPrompterScope prompter;
        prompter->m_files.push_back(Path("twice.vls"));
        QVERIFY(Route(*m_app, cmd::ID_SHOW_NEW));
        QCOMPARE(m_app->DocManager().Documents().size(), before + 1);
        QVERIFY(ActiveDocument() != first);
        QCOMPARE(QFileInfo(Path("twice.vls")).size(), 0);
    }

    void newShowCancelledOrUncreatableOpensNothing() {
        const std::size_t before = m_app->DocManager().Documents().size();
        CPrompterScope prompter;
        QVERIFY(Route(*m_app, cmd::ID_SHOW_NEW)); // cancelled
        prompter->m_files.push_back(Path("no-such-folder/x.vls"));
        CMessageCapture messages;
        QVERIFY(Route(*m_app, cmd::ID_SHOW_NEW));
        QCOMPARE(messages.Texts(), QStringList{QStringLiteral("The folder of %1 cannot be used.")
                                                   .arg(Path("no-such-folder/x.vls"))});
        QCOMPARE(messages.Captions(), QStringList{"Velmo"});
        QCOMPARE(m_app->DocManager().Documents().size(), before);
    }

    void openShowBringsAnOpenShowToTheFront() {
        QVERIFY(WriteShow(Path("front.vls"), {"a", "b"}));
        fw::CDocument* show = m_app->DocManager().OpenDocumentFile(Path("front.vls"));
        QVERIFY(show);
        fw::CDocument* panel = m_app->DocManager().OpenDocumentFile(Path("a.vlm"));
        QVERIFY(panel);
        QCOMPARE(ActiveDocument(), panel);
        const std::size_t before = m_app->DocManager().Documents().size();

        CPrompterScope prompter;
        prompter->m_files.push_back(Path("front.vls"));
        QVERIFY(Route(*m_app, cmd::ID_SHOW_OPEN));
        const fw::FileDialogRequest& request = prompter->m_fileRequests.at(0);
        QVERIFY(!request.bSave);
        QCOMPARE(request.defaultExtension, QStringLiteral("vls"));
        QCOMPARE(request.filters,
                 (QStringList{"ベルモショーの書類 (*.vls)", "すべての書類 (*.*)"}));
        QCOMPARE(m_app->DocManager().Documents().size(), before);
        QCOMPARE(ActiveDocument(), show);
        QCOMPARE(m_app->MainFrame()->CurrentMenuId(), 152);
    }

    void aPanelChosenInTheShowDialogOpensAPanelEditor() {
        CPrompterScope prompter;
        prompter->m_files.push_back(Path("b.vlm"));
        QVERIFY(Route(*m_app, cmd::ID_SHOW_OPEN));
        fw::CDocument* document = ActiveDocument();
        QVERIFY(document);
        QCOMPARE(document->GetPathName(), Path("b.vlm"));
        QVERIFY(dynamic_cast<CVelmoView*>(document->GetView()));
        QCOMPARE(m_app->MainFrame()->CurrentMenuId(), 129);
    }

    void theShowFrameKeepsItsSize() {
        QVERIFY(WriteShow(Path("frame.vls"), {}));
        fw::CDocument* document = m_app->DocManager().OpenDocumentFile(Path("frame.vls"));
        QVERIFY(document);
        fw::CMDIChildWnd* frame = document->GetFrame();
        QCOMPARE(frame->size(), QSize(450, 280));
        frame->resize(800, 600);
        QCOMPARE(frame->size(), QSize(450, 280));
        const Qt::WindowFlags flags = frame->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowTitleHint));
        QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(frame->windowTitle(), QStringLiteral("frame.vls"));
    }

    void thePanelViewPlaysItsSavedFileOnly() {
        CFakePlayer player;
        // The untitled panel of a plain start, never changed: an empty show, no message.
        QVERIFY(dynamic_cast<CVelmoView*>(ActiveDocument()->GetView()));
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_MANUAL));
        QCOMPARE(player.m_calls.size(), std::size_t(1));
        QCOMPARE(player.m_calls[0].strPath, QString());
        QVERIFY(player.m_calls[0].bManual);

        fw::CDocument* panel = m_app->DocManager().OpenDocumentFile(Path("a.vlm"));
        QVERIFY(panel);
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_AUTO));
        QCOMPARE(player.m_calls.size(), std::size_t(2));
        QCOMPARE(player.m_calls[1].strPath, Path("a.vlm"));
        QVERIFY(!player.m_calls[1].bManual);

        // A modified panel is refused until it is saved.
        dynamic_cast<CVelmoDoc&>(panel->Model()).RecordChange(true, false);
        for (int id : {cmd::ID_SLIDESHOW_MANUAL, cmd::ID_SLIDESHOW_AUTO}) {
            CMessageCapture messages;
            QVERIFY(Route(*m_app, id));
            QCOMPARE(messages.Texts(),
                     QStringList{"書類は変更されています。ショーを見るには保存してください"});
            QCOMPARE(messages.Captions(), QStringList{"保存"});
            QVERIFY(messages.m_requests.front().icon == fw::EMsgIcon::None);
        }
        QCOMPARE(player.m_calls.size(), std::size_t(2));
        QVERIFY(Route(*m_app, cmd::ID_FILE_SAVE));
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_MANUAL));
        QCOMPARE(player.m_calls.size(), std::size_t(3));
    }

    void showsPlayThroughTheApplicationsWindow() {
        QVERIFY(WriteShow(Path("real.vls"), {"a", "b"}));
        fw::CDocument* document = m_app->DocManager().OpenDocumentFile(Path("real.vls"));
        QVERIFY(document);
        CScreenWnd* screen = m_app->ScreenWnd();
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_MANUAL));
        QVERIFY(screen->isVisible());
        QCOMPARE(screen->Canvas().pixel(5, 5) | 0xFF000000, qRgb(0, 0, 255));
        QVERIFY(!screen->IsTimerActive());
        QTest::keyClick(screen, Qt::Key_Escape);
        QVERIFY(!screen->isVisible());

        // The panel editor plays its own file through the same window, automatically.
        QVERIFY(m_app->DocManager().OpenDocumentFile(Path("b.vlm")));
        QVERIFY(Route(*m_app, cmd::ID_SLIDESHOW_AUTO));
        QVERIFY(screen->isVisible());
        QVERIFY(screen->IsTimerActive());
        QCOMPARE(screen->Canvas().pixel(5, 5) | 0xFF000000, qRgb(0, 255, 0));
        QTest::keyClick(screen, Qt::Key_Escape);
        QVERIFY(!screen->IsTimerActive());
    }

private:
    QString Path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

    fw::CDocument* ActiveDocument() const {
        fw::CMDIChildWnd* frame = m_app->MainFrame()->ActiveFrame();
        return frame ? frame->GetDocument() : nullptr;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<CVelmoApp> m_app;
};

QTEST_MAIN(CShowCommandsTest)
#include "ShowCommandsTest.moc"
