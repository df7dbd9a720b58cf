// The show window's "エクスポート...": the saved show written where the save dialog says, the
// kind chosen by the name (no extension: a folder of PNGs); unknown kinds and unsaved shows are
// refused with a message.
#include <QtTest>

#include "AppDriver.h"
#include "ExportTestSupport.h"
#include "MessageCapture.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "render/QtPictureDecoder.h"

class CShowWindowExportTest : public QObject {
    Q_OBJECT

private slots:
    void ExportsTheSavedShowByTheNameGiven() {
        QTemporaryDir dir;
        QVERIFY(testsupport::WritePanel(dir.filePath("01-a.vlm"), 640, 480, 0x00FF0000));
        QVERIFY(testsupport::WritePanel(dir.filePath("02-b.vlm"), 480, 640, 0x0000FF00));
        QVERIFY(testsupport::WriteShow(dir.filePath("s.vls"), {"01-a", "02-b"}));
        std::unique_ptr<CVelmoApp> app = testsupport::StartApp({dir.filePath("s.vls")});
        QVERIFY(app);
        testsupport::CPrompterScope prompter;
        testsupport::CMessageCapture messages;

        prompter->m_files.push_back(dir.filePath("frames"));
        QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT));
        QCOMPARE(exporttest::FolderEntries(dir.filePath("frames")),
                 (QStringList{"001-01-background.png", "001-02-picture.png",
                              "002-01-background.png", "002-02-picture.png"}));
        QCOMPARE(QImage(dir.filePath("frames/001-01-background.png")).size(), QSize(1920, 1080));

        prompter->m_files.push_back(dir.filePath("handout.pdf"));
        QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT));
        QCOMPARE(exporttest::PdfPageCount(dir.filePath("handout.pdf")), 2);
        QVERIFY(messages.Texts().isEmpty());

        prompter->m_files.push_back(dir.filePath("show.avi"));
        QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT));
        QCOMPARE(messages.Texts().size(), 1);
        QVERIFY(messages.Texts()[0].contains(QStringLiteral(".mp4")));
        QVERIFY(!QFile::exists(dir.filePath("show.avi")));
    }
};

QTEST_MAIN(CShowWindowExportTest)
#include "show_window_export_test.moc"
