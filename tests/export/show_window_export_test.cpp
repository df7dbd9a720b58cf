// The show window's "エクスポート...": the saved show written where the save dialog says, the
// kind chosen by the name (no extension: a folder of PNGs); unknown kinds and unsaved shows are
// refused with a message. A video's size and frame rate are asked after the save dialog; the
// progress dialog's cancel leaves nothing at the target.
#include <QDialog>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>
#include <functional>

#include "AppDriver.h"
#include "ExportTestSupport.h"
#include "MessageCapture.h"
#include "ScriptedPrompter.h"
#include "TestFiles.h"
#include "app/VelmoApp.h"
#include "framework/CommandIds.h"
#include "render/QtPictureDecoder.h"

namespace {

// Runs trigger while a zero-interval timer offers each visible top-level widget to act until it
// returns true; true when it did.
bool WhileRunning(const std::function<void()>& trigger, const std::function<bool(QWidget*)>& act) {
    bool done = false;
    QTimer timer;
    timer.setInterval(0);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!done && widget->isVisible() && act(widget)) {
                done = true;
                timer.stop();
            }
        }
    });
    timer.start();
    trigger();
    timer.stop();
    return done;
}

} // namespace

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

    void VideoTakesTheSizeAndFrameRateChosenAfterTheSaveDialog() {
        QTemporaryDir dir;
        QVERIFY(testsupport::WritePanel(dir.filePath("01-a.vlm"), 640, 480, 0x00FF0000));
        QVERIFY(testsupport::WriteShow(dir.filePath("s.vls"), {"01-a"}));
        std::unique_ptr<CVelmoApp> app = testsupport::StartApp({dir.filePath("s.vls")});
        QVERIFY(app);
        testsupport::CPrompterScope prompter;
        testsupport::CMessageCapture messages;

        // Cancelling the size dialog exports nothing.
        prompter->m_files.push_back(dir.filePath("none.mp4"));
        QVERIFY(WhileRunning([&] { QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT)); },
                             [](QWidget* widget) {
                                 auto* dialog = qobject_cast<QDialog*>(widget);
                                 if (!dialog || !widget->findChild<QSpinBox*>("fps")) {
                                     return false;
                                 }
                                 dialog->reject();
                                 return true;
                             }));
        QVERIFY(!QFile::exists(dir.filePath("none.mp4")));

        prompter->m_files.push_back(dir.filePath("small.mp4"));
        QStringList offered;
        QVERIFY(WhileRunning([&] { QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT)); },
                             [&](QWidget* widget) {
                                 auto* dialog = qobject_cast<QDialog*>(widget);
                                 if (!dialog || !widget->findChild<QSpinBox*>("fps")) {
                                     return false;
                                 }
                                 const std::pair<const char*, int> fields[] = {
                                     {"width", 320}, {"height", 240}, {"fps", 12}};
                                 for (const auto& [name, value] : fields) {
                                     auto* spin = widget->findChild<QSpinBox*>(name);
                                     offered << QString::number(spin->value());
                                     spin->setValue(value);
                                 }
                                 dialog->accept();
                                 return true;
                             }));
        QCOMPARE(offered, (QStringList{"1920", "1080", "30"}));
        exporttest::SVideoReadBack shape;
        QVERIFY(exporttest::ReadBackVideo(dir.filePath("small.mp4"), shape));
        QCOMPARE(QSize(shape.nWidth, shape.nHeight), QSize(320, 240));
        // Still layers are encoded once, so the rate shows in the time base: the video counts
        // tenths of a frame (the muxer may subdivide them further), 1/120 s at 12 frames a
        // second where the default 30 would count in 1/300 s.
        QVERIFY2(shape.nTimeScale % 120 == 0 && shape.nTimeScale % 300 != 0,
                 qPrintable(QString::number(shape.nTimeScale)));
        QVERIFY(messages.Texts().isEmpty());
    }

    // The progress dialog's "キャンセル" pressed once the first panel is written: the export
    // stops and neither the video nor its temporary is left in the folder.
    void CancelInTheProgressDialogLeavesNothing() {
        QTemporaryDir dir;
        QStringList names;
        for (int i = 1; i <= 4; ++i) {
            const QString name = QStringLiteral("%1-p").arg(i, 2, 10, QLatin1Char('0'));
            QVERIFY(testsupport::WritePanel(dir.filePath(name + ".vlm"), 640, 480, 0x000000FF));
            names << name;
        }
        QVERIFY(testsupport::WriteShow(dir.filePath("s.vls"), names));
        const QStringList before = exporttest::FolderEntries(dir.path());
        std::unique_ptr<CVelmoApp> app = testsupport::StartApp({dir.filePath("s.vls")});
        QVERIFY(app);
        testsupport::CPrompterScope prompter;
        testsupport::CMessageCapture messages;

        prompter->m_files.push_back(dir.filePath("show.mp4"));
        QStringList whileWriting;
        const auto act = [&](QWidget* widget) {
            if (auto* dialog = qobject_cast<QDialog*>(widget);
                dialog && widget->findChild<QSpinBox*>("fps")) {
                dialog->accept(); // the default size and rate
                return false;
            }
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (!progress || progress->value() < 1) {
                return false;
            }
            whileWriting = exporttest::FolderEntries(dir.path());
            QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
            return true;
        };
        QVERIFY(WhileRunning([&] { QVERIFY(testsupport::Route(*app, cmd::ID_SHOW_EXPORT)); }, act));
        // The export was under way: its temporary was beside the target.
        QCOMPARE(whileWriting.size(), before.size() + 1);
        QCOMPARE(exporttest::FolderEntries(dir.path()), before);
        QVERIFY(messages.Texts().isEmpty());
    }
};

QTEST_MAIN(CShowWindowExportTest)
#include "show_window_export_test.moc"
