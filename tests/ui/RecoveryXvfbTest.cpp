// Nothing lost: the real program edits a panel under Xvfb and is killed with SIGKILL before
// saving; the next start offers the changes, restores them and saves, and the file then holds
// exactly what the killed program would have saved. A second copy running beside them keeps
// its own recovery copy, which nobody takes or changes (kill-and-restore.sh).
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "model/Archive.h"
#include "model/VelmoDoc.h"
#include "render/QtPictureDecoder.h"

using namespace testsupport;

class CRecoveryXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void killedProgramLosesNothing() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString one = dir.filePath(QStringLiteral("one.vlm"));
        const QString two = dir.filePath(QStringLiteral("two.vlm"));
        QVERIFY(WritePanel(one, 400, 300, MakeRgb(200, 220, 240)));
        QVERIFY(WritePanel(two, 300, 200, MakeRgb(240, 220, 200)));

        // What the killed program would have saved after its three edits: two new balloons,
        // then a copy of the second.
        render::CQtPictureDecoder decoder;
        CVelmoDoc doc(decoder);
        QCOMPARE(doc.OnOpenDocument(one.toStdString()), EDocOutcome::Opened);
        doc.RecordChange(false, true);
        doc.AddFuki();
        const int second = doc.AddFuki();
        QVERIFY(doc.DuplicateFuki(second) >= 0);
        CArchive ar = CArchive::ForStoring(one.toStdString());
        doc.Serialize(ar);
        const std::vector<std::uint8_t> bytes = ar.GetStoredBytes();
        const QString expected = dir.filePath(QStringLiteral("expected.vlm"));
        QVERIFY(WriteBytes(expected, QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                                qsizetype(bytes.size()))));
        QVERIFY(ReadBytes(one) != ReadBytes(expected));

        QProcess run;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(QStringLiteral("dbus-run-session"),
                  {QStringLiteral("--"), QStringLiteral("xvfb-run"), QStringLiteral("-a"),
                   QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                   QStringLiteral("/bin/sh"), QStringLiteral(VELMO_RECOVERY_SCRIPT),
                   QStringLiteral(VELMO_EXECUTABLE), one, two, expected,
                   dir.filePath(QStringLiteral("state"))});
        QVERIFY(run.waitForStarted(60000));
        QVERIFY(run.waitForFinished(400000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(ReadBytes(one), ReadBytes(expected));
    }
};

QTEST_MAIN(CRecoveryXvfbTest)
#include "RecoveryXvfbTest.moc"
