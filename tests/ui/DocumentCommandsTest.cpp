// The document manager driven through the command router: start-up, New, open, save, save
// as, close, already-open activation, the recent-file list, the save question, and the
// framework's messages for failed opens and saves.
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "framework/DocManager.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"
#include "model/VelmoDoc.h"
#include "render/QtPictureDecoder.h"

using namespace testsupport;
using namespace uitest;

namespace {

CVelmoDoc& PanelOf(fw::CDocument* document) {
    return dynamic_cast<CVelmoDoc&>(document->Model());
}

QStringList Titles(CVelmoApp& app) {
    QStringList titles;
    for (fw::CDocument* document : app.DocManager().Documents()) {
        titles << document->GetTitle();
    }
    return titles;
}

int WindowCount(CVelmoApp& app) {
    return static_cast<int>(app.MainFrame()->MdiArea()->subWindowList().size());
}

void ClearProfile() {
    QSettings(QStringLiteral("Tollan Works"), QStringLiteral("Velmo")).clear();
}

} // namespace

class CDocumentCommandsTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString Path(const QString& name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        HonourFilePermissions();
        QVERIFY(m_dir.isValid());
    }
    void init() { ClearProfile(); }
    void cleanup() { Settle(); }

    void startUpOpensOneUntitledPanel() {
        auto app = StartApp();
        QVERIFY(app);
        QCOMPARE(Titles(*app), QStringList{QStringLiteral("無題1")});
        QCOMPARE(WindowCount(*app), 1);
        QCOMPARE(app->MainFrame()->CurrentMenuId(), int(cmd::IDR_VELMOTYPE));
        QCOMPARE(app->MainFrame()->windowTitle(), QStringLiteral("ベルモエディタ - 無題1"));
        QCOMPARE(app->MainFrame()->ActiveFrame()->windowTitle(), QStringLiteral("無題1"));
        QVERIFY(!ActiveDocument(*app)->IsModified());
    }

    void newNumbersUntitledDocumentsPerRun() {
        auto app = StartApp();
        QVERIFY(Route(*app, cmd::ID_FILE_NEW));
        QCOMPARE(Titles(*app), (QStringList{QStringLiteral("無題1"), QStringLiteral("無題2")}));
        QCOMPARE(ActiveDocument(*app)->GetTitle(), QStringLiteral("無題2"));
        // Numbers are not reused after a close.
        QVERIFY(Route(*app, cmd::ID_FILE_CLOSE));
        QVERIFY(Route(*app, cmd::ID_FILE_NEW));
        QCOMPARE(ActiveDocument(*app)->GetTitle(), QStringLiteral("無題3"));
    }

    void saveAsCloseOpenRoundTrip() {
        auto app = StartApp();
        CPrompterScope prompter;
        CMessageCapture messages;
        fw::CDocument* doc = ActiveDocument(*app);
        PanelOf(doc).m_panel.m_crBack = MakeRgb(10, 20, 30);
        PanelOf(doc).m_panel.m_rcTotal = CRect{0, 0, 321, 123};
        PanelOf(doc).RecordChange(true, false);
        QVERIFY(doc->IsModified());

        const QString path = Path(QStringLiteral("roundtrip.vlm"));
        prompter->m_files.push_back(path);
        QVERIFY(Route(*app, cmd::ID_FILE_SAVE_AS));
        QCOMPARE(prompter->m_fileRequests.size(), size_t(1));
        const fw::FileDialogRequest& saveAs = prompter->m_fileRequests[0];
        QVERIFY(saveAs.bSave);
        QCOMPARE(saveAs.title, QStringLiteral("Save As"));
        QCOMPARE(saveAs.filters, (QStringList{QStringLiteral("ベルモ書類 (*.vlm)"),
                                              QStringLiteral("All Files (*.*)")}));
        QCOMPARE(saveAs.defaultExtension, QStringLiteral("vlm"));
        QCOMPARE(QFileInfo(saveAs.initialPath).fileName(), QStringLiteral("無題1.vlm"));
        QVERIFY(QFile::exists(path));
        QVERIFY(!doc->IsModified());
        QCOMPARE(doc->GetTitle(), QStringLiteral("roundtrip.vlm"));
        QCOMPARE(app->MainFrame()->windowTitle(), QStringLiteral("ベルモエディタ - roundtrip.vlm"));
        QCOMPARE(app->DocManager().RecentFiles().At(0), path);

        // Closing an unmodified document asks nothing; the main menu comes back.
        QVERIFY(Route(*app, cmd::ID_FILE_CLOSE));
        QVERIFY(app->DocManager().Documents().empty());
        QCOMPARE(app->MainFrame()->CurrentMenuId(), int(cmd::IDR_MAINFRAME));
        QCOMPARE(app->MainFrame()->windowTitle(), QStringLiteral("ベルモエディタ"));

        prompter->m_files.push_back(path);
        QVERIFY(Route(*app, cmd::ID_FILE_OPEN));
        const fw::FileDialogRequest& open = prompter->m_fileRequests.back();
        QVERIFY(!open.bSave);
        QCOMPARE(open.title, QStringLiteral("Open"));
        QCOMPARE(open.filters.front(), QStringLiteral("ベルモ書類 (*.vlm)"));
        QCOMPARE(open.filters.back(), QStringLiteral("All Files (*.*)"));
        QCOMPARE(open.filters.size(), qsizetype(app->DocManager().Templates().size() + 1));
        fw::CDocument* reopened = ActiveDocument(*app);
        QVERIFY(reopened);
        QCOMPARE(reopened->GetTitle(), QStringLiteral("roundtrip.vlm"));
        QCOMPARE(PanelOf(reopened).m_panel.m_crBack, MakeRgb(10, 20, 30));
        QCOMPARE(PanelOf(reopened).m_panel.m_rcTotal, (CRect{0, 0, 321, 123}));
        QVERIFY(messages.m_requests.empty());
    }

    void saveWritesTheDocumentsOwnFile() {
        const QString path = Path(QStringLiteral("save.vlm"));
        QVERIFY(WritePanel(path, 200, 100, MakeRgb(1, 2, 3)));
        auto app = StartApp({path});
        CPrompterScope prompter;
        fw::CDocument* doc = ActiveDocument(*app);
        QCOMPARE(app->DocManager().Documents().size(), size_t(1));
        PanelOf(doc).m_panel.m_crBack = MakeRgb(200, 100, 50);
        PanelOf(doc).RecordChange(true, false);
        QVERIFY(Route(*app, cmd::ID_FILE_SAVE));
        QVERIFY(prompter->m_fileRequests.empty());
        QVERIFY(!doc->IsModified());
        render::CQtPictureDecoder decoder;
        CVelmoDoc check(decoder);
        QCOMPARE(check.OnOpenDocument(path.toStdString()), EDocOutcome::Opened);
        QCOMPARE(check.m_panel.m_crBack, MakeRgb(200, 100, 50));
    }

    void saveOfUntitledAsksAndCancelChangesNothing() {
        auto app = StartApp();
        CPrompterScope prompter;
        fw::CDocument* doc = ActiveDocument(*app);
        PanelOf(doc).RecordChange(true, false);
        QVERIFY(Route(*app, cmd::ID_FILE_SAVE));
        QCOMPARE(prompter->m_fileRequests.size(), size_t(1));
        QCOMPARE(prompter->m_fileRequests[0].title, QStringLiteral("Save As"));
        QVERIFY(doc->IsModified());
        QCOMPARE(doc->GetTitle(), QStringLiteral("無題1"));
        QVERIFY(doc->GetPathName().isEmpty());
    }

    void openingAnOpenFileActivatesItsWindow() {
        const QString a = Path(QStringLiteral("a.vlm"));
        const QString b = Path(QStringLiteral("b.vlm"));
        QVERIFY(WritePanel(a, 100, 100, 0));
        QVERIFY(WritePanel(b, 100, 100, 0));
        QVERIFY(QFile::link(a, Path(QStringLiteral("link-to-a.vlm"))));
        auto app = StartApp({a, b});
        QCOMPARE(app->DocManager().Documents().size(), size_t(2));
        QCOMPARE(ActiveDocument(*app)->GetTitle(), QStringLiteral("b.vlm"));

        // The same file by another spelling of its path, and through a link to it.
        fw::CDocument* again =
            app->DocManager().OpenDocumentFile(m_dir.path() + QStringLiteral("/./sub/../a.vlm"));
        QVERIFY(again);
        QCOMPARE(again->GetTitle(), QStringLiteral("a.vlm"));
        QCOMPARE(app->DocManager().Documents().size(), size_t(2));
        QCOMPARE(WindowCount(*app), 2);
        QCOMPARE(ActiveDocument(*app), again);

        app->MainFrame()->ActivateFrame(app->DocManager().Documents()[1]->GetFrame());
        QCOMPARE(ActiveDocument(*app)->GetTitle(), QStringLiteral("b.vlm"));
        QCOMPARE(app->DocManager().OpenDocumentFile(Path(QStringLiteral("link-to-a.vlm"))), again);
        QCOMPARE(ActiveDocument(*app), again);
        QCOMPARE(WindowCount(*app), 2);
    }

    void recentListHoldsFiveAndPersists() {
        QStringList paths;
        for (int i = 1; i <= 7; ++i) {
            paths << Path(QStringLiteral("recent%1.vlm").arg(i));
            QVERIFY(WritePanel(paths.back(), 50, 50, 0));
        }
        QStringList expected;
        {
            auto app = StartApp();
            for (const QString& path : paths) {
                QVERIFY(app->DocManager().OpenDocumentFile(path));
            }
            // Opening a listed file again moves it to the top instead of adding it twice.
            app->DocManager().CloseAllDocuments();
            Settle();
            QVERIFY(app->DocManager().OpenDocumentFile(paths[4]));
            expected = QStringList{paths[4], paths[6], paths[5], paths[3], paths[2]};
            QCOMPARE(app->DocManager().RecentFiles().Entries(), expected);

            // The File menu shows the five entries in place of the stand-in item.
            QMenu* file = app->MainFrame()->MenusOf(cmd::IDR_VELMOTYPE).front();
            QAction* standIn = FindAction(file, cmd::ID_FILE_MRU_FILE1);
            QVERIFY(!standIn->isVisible());
            QStringList shown;
            for (QAction* action : file->actions()) {
                if (action->property("velmoDynamicItem").toBool()) {
                    shown << action->text();
                    QVERIFY(action->isEnabled());
                }
            }
            QCOMPARE(shown.size(), 5);
            QVERIFY(shown[0].startsWith(QStringLiteral("&1 ")));
            QVERIFY(shown[0].endsWith(QStringLiteral("recent5.vlm")));
            for (const QString& text : shown) {
                QVERIFY2(text.size() - 3 <= 30, qPrintable(text));
            }
            QVERIFY(app->MainFrame()->close());
        }
        QSettings profile(QStringLiteral("Tollan Works"), QStringLiteral("Velmo"));
        profile.beginGroup(QStringLiteral("Recent File List"));
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(profile.value(QStringLiteral("File%1").arg(i + 1)).toString(), expected[i]);
        }
        QVERIFY(!profile.contains(QStringLiteral("File6")));
        profile.endGroup();

        // The next run reads the list back and opens an entry from the menu command.
        auto next = StartApp();
        QCOMPARE(next->DocManager().RecentFiles().Entries(), expected);
        QVERIFY(Route(*next, cmd::ID_FILE_MRU_FILE1 + 2));
        QCOMPARE(ActiveDocument(*next)->GetPathName(), paths[5]);
        QCOMPARE(next->DocManager().RecentFiles().At(0), paths[5]);
    }

    void recentEntryOfAMissingFileIsReportedAndDropped() {
        const QString path = Path(QStringLiteral("vanishing.vlm"));
        QVERIFY(WritePanel(path, 50, 50, 0));
        auto app = StartApp({path});
        QVERIFY(Route(*app, cmd::ID_FILE_CLOSE));
        QVERIFY(QFile::remove(path));
        CMessageCapture messages;
        QVERIFY(Route(*app, cmd::ID_FILE_MRU_FILE1));
        QCOMPARE(messages.Texts(), QStringList{path + QStringLiteral(" was not found.")});
        QVERIFY(app->DocManager().RecentFiles().IsEmpty());
        // With the list empty the stand-in item shows again, disabled.
        QMenu* file = app->MainFrame()->MenusOf(cmd::IDR_MAINFRAME).front();
        QAction* standIn = FindAction(file, cmd::ID_FILE_MRU_FILE1);
        QVERIFY(standIn->isVisible());
        QVERIFY(!standIn->isEnabled());
        QVERIFY(!Route(*app, cmd::ID_FILE_MRU_FILE1));
    }

    void closingAModifiedDocumentAsks() {
        auto app = StartApp();
        CMessageCapture messages;
        CPrompterScope prompter;
        fw::CDocument* doc = ActiveDocument(*app);
        PanelOf(doc).RecordChange(true, false);

        // Cancel keeps the window and the changes.
        messages.m_answers = {fw::EMsgResult::Cancel};
        QVERIFY(!doc->GetFrame()->close());
        Settle();
        QCOMPARE(WindowCount(*app), 1);
        QVERIFY(doc->IsModified());
        QCOMPARE(messages.m_requests.size(), size_t(1));
        const fw::MessageRequest& question = messages.m_requests[0];
        QCOMPARE(question.text, QStringLiteral("Save changes to 無題1?"));
        QCOMPARE(question.caption, QStringLiteral("Velmo"));
        QCOMPARE(question.buttons, fw::EMsgButtons::YesNoCancel);
        QCOMPARE(question.icon, fw::EMsgIcon::Exclamation);

        // Yes on an untitled document asks for a name; cancelling that keeps the window too.
        messages.m_answers = {fw::EMsgResult::Yes};
        QVERIFY(Route(*app, cmd::ID_FILE_CLOSE));
        QCOMPARE(WindowCount(*app), 1);
        QCOMPARE(prompter->m_fileRequests.size(), size_t(1));

        // Yes with a name saves, then closes.
        const QString path = Path(QStringLiteral("asked.vlm"));
        messages.m_answers = {fw::EMsgResult::Yes};
        prompter->m_files.push_back(path);
        QVERIFY(Route(*app, cmd::ID_FILE_CLOSE));
        QCOMPARE(WindowCount(*app), 0);
        QVERIFY(QFile::exists(path));

        // No discards: the file keeps what was saved.
        QVERIFY(app->DocManager().OpenDocumentFile(path));
        const QByteArray saved = ReadBytes(path);
        fw::CDocument* reopened = ActiveDocument(*app);
        PanelOf(reopened).m_panel.m_crBack = MakeRgb(9, 9, 9);
        PanelOf(reopened).RecordChange(true, false);
        messages.m_answers = {fw::EMsgResult::No};
        QVERIFY(reopened->GetFrame()->close());
        Settle();
        QCOMPARE(WindowCount(*app), 0);
        QCOMPARE(ReadBytes(path), saved);
        QCOMPARE(messages.m_requests.back().text, QStringLiteral("Save changes to asked.vlm?"));
    }

    void quittingAsksForEveryModifiedDocument() {
        auto app = StartApp();
        QVERIFY(Route(*app, cmd::ID_FILE_NEW));
        QVERIFY(Route(*app, cmd::ID_FILE_NEW));
        PanelOf(app->DocManager().Documents()[0]).RecordChange(true, false);
        PanelOf(app->DocManager().Documents()[2]).RecordChange(true, false);
        CMessageCapture messages;
        messages.m_answers = {fw::EMsgResult::No, fw::EMsgResult::Cancel};
        QVERIFY(Route(*app, cmd::ID_APP_EXIT));
        QCOMPARE(messages.Texts(), (QStringList{QStringLiteral("Save changes to 無題1?"),
                                                QStringLiteral("Save changes to 無題3?")}));
        QCOMPARE(WindowCount(*app), 3);
        QVERIFY(app->MainFrame()->isVisible());

        messages.m_answers = {fw::EMsgResult::No, fw::EMsgResult::No};
        QVERIFY(Route(*app, cmd::ID_APP_EXIT));
        QVERIFY(app->DocManager().Documents().empty());
        QVERIFY(!app->MainFrame()->isVisible());
    }

    void failedOpensAreReportedAndLeaveNoWindow_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing") << QStringLiteral("missing.vlm") << 0
                                 << QStringLiteral("%1 was not found.");
        QTest::newRow("missing folder")
            << QStringLiteral("nofolder/x.vlm") << 0 << QStringLiteral("%1 was not found.");
        QTest::newRow("truncated")
            << QStringLiteral("truncated.vlm") << 1 << QStringLiteral("Unexpected file format.");
        QTest::newRow("unreadable")
            << QStringLiteral("unreadable.vlm") << 2 << QStringLiteral("Access to %1 was denied.");
    }
    void failedOpensAreReportedAndLeaveNoWindow() {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, expected);
        const QString path = Path(name);
        if (kind == 1) {
            const QString whole = Path(QStringLiteral("whole.vlm"));
            QVERIFY(WritePanel(whole, 640, 480, 0));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(ReadBytes(whole).left(20));
        } else if (kind == 2) {
            QVERIFY(WritePanel(path, 640, 480, 0));
            QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
        }
        auto app = StartApp();
        CMessageCapture messages;
        CPrompterScope prompter;
        prompter->m_files.push_back(path);
        QVERIFY(Route(*app, cmd::ID_FILE_OPEN));
        QCOMPARE(messages.m_requests.size(), size_t(1));
        QCOMPARE(messages.m_requests[0].text,
                 expected.contains(QStringLiteral("%1")) ? expected.arg(path) : expected);
        QCOMPARE(messages.m_requests[0].caption, QStringLiteral("Velmo"));
        QCOMPARE(messages.m_requests[0].icon, fw::EMsgIcon::Exclamation);
        QCOMPARE(Titles(*app), QStringList{QStringLiteral("無題1")});
        QCOMPARE(WindowCount(*app), 1);
        QVERIFY(!app->DocManager().RecentFiles().Entries().contains(path));

        // The same file dropped on the main window fails the same way.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(app->MainFrame(), &enter);
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app->MainFrame(), &drop);
        Settle();
        QCOMPARE(messages.m_requests.size(), size_t(2));
        QCOMPARE(WindowCount(*app), 1);
        if (kind == 2) {
            ::chmod(QFile::encodeName(path).constData(), 0644);
        }
    }

    void commandLineFileOpensInsteadOfNewAndFailureEndsStartUp() {
        const QString path = Path(QStringLiteral("start.vlm"));
        QVERIFY(WritePanel(path, 64, 48, 0));
        auto app = StartApp({path});
        QCOMPARE(Titles(*app), QStringList{QStringLiteral("start.vlm")});
        app.reset();

        CMessageCapture messages;
        const QString missing = Path(QStringLiteral("absent.vlm"));
        auto failed = StartApp({missing});
        QVERIFY(!failed);
        QCOMPARE(messages.Texts(), QStringList{missing + QStringLiteral(" was not found.")});
    }

    void droppedFilesOpen() {
        const QString a = Path(QStringLiteral("dropped-a.vlm"));
        const QString b = Path(QStringLiteral("dropped-b.vlm"));
        QVERIFY(WritePanel(a, 64, 48, 0));
        QVERIFY(WritePanel(b, 64, 48, 0));
        auto app = StartApp();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(app->MainFrame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(app->MainFrame(), &drop);
        Settle();
        QCOMPARE(Titles(*app),
                 (QStringList{QStringLiteral("無題1"), QStringLiteral("dropped-a.vlm"),
                              QStringLiteral("dropped-b.vlm")}));
    }

    void failedSaveKeepsOldFileAndModifiedFlag() {
        QDir(m_dir.path()).mkdir(QStringLiteral("locked"));
        const QString folder = Path(QStringLiteral("locked"));
        const QString path = folder + QStringLiteral("/kept.vlm");
        QVERIFY(WritePanel(path, 300, 200, MakeRgb(1, 1, 1)));
        const QByteArray before = ReadBytes(path);
        auto app = StartApp({path});
        fw::CDocument* doc = ActiveDocument(*app);
        PanelOf(doc).m_panel.m_crBack = MakeRgb(250, 0, 0);
        PanelOf(doc).RecordChange(true, false);
        // A writable file in a locked folder would be written in place; a read-only file in a
        // locked folder cannot be written at all.
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0555) == 0);

        CMessageCapture messages;
        QVERIFY(Route(*app, cmd::ID_FILE_SAVE));
        QCOMPARE(messages.Texts(),
                 QStringList{QStringLiteral("Access to %1 was denied.").arg(path)});
        QCOMPARE(messages.m_requests[0].icon, fw::EMsgIcon::Exclamation);
        QCOMPARE(ReadBytes(path), before);
        QVERIFY(doc->IsModified());
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"kept.vlm"});

        // Save as into the same folder fails too and keeps the document's name.
        CPrompterScope prompter;
        prompter->m_files.push_back(folder + QStringLiteral("/other.vlm"));
        QVERIFY(Route(*app, cmd::ID_FILE_SAVE_AS));
        QCOMPARE(messages.m_requests.size(), size_t(2));
        QCOMPARE(doc->GetPathName(), path);
        QVERIFY(doc->IsModified());
        QVERIFY(!app->DocManager().RecentFiles().Entries().contains(folder +
                                                                    QStringLiteral("/other.vlm")));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        messages.m_answers = {fw::EMsgResult::No};
    }
};

QTEST_MAIN(CDocumentCommandsTest)
#include "DocumentCommandsTest.moc"
