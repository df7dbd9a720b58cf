// Opening by shell request between two processes on a session bus of their own: the running
// instance (this test process) owns the name; a second velmo started with files hands them over
// with "Open" and ends at once. Without a session bus a start runs alone.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "UiTestSupport.h"
#include "app/VelmoApp.h"
#include "framework/DocManager.h"
#include "framework/FwDocument.h"
#include "framework/SingleInstance.h"

using namespace testsupport;
using namespace uitest;

namespace {

QStringList OpenPaths(CVelmoApp& app) {
    QStringList paths;
    for (fw::CDocument* document : app.DocManager().Documents()) {
        paths << document->GetPathName();
    }
    return paths;
}

} // namespace

class CSingleInstanceTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    std::unique_ptr<CVelmoApp> m_app;

    // Runs a second velmo and lets this process answer its call while waiting for it to end.
    int RunSecond(const QStringList& args, const QString& workingDir = {}) {
        QProcess second;
        if (!workingDir.isEmpty()) {
            second.setWorkingDirectory(workingDir);
        }
        second.setProcessChannelMode(QProcess::ForwardedChannels);
        second.start(QStringLiteral(VELMO_EXECUTABLE), args);
        if (!second.waitForStarted(60000)) {
            return -1;
        }
        // The event loop keeps running meanwhile, so that this instance answers the call.
        QDeadlineTimer deadline(120000);
        while (second.state() != QProcess::NotRunning && !deadline.hasExpired()) {
            QTest::qWait(20);
        }
        if (second.state() != QProcess::NotRunning) {
            second.kill();
            second.waitForFinished();
            return -2;
        }
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -3;
    }

private slots:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings(QStringLiteral("Tollan Works"), QStringLiteral("Velmo")).clear();
        QVERIFY(m_dir.isValid());
        QVERIFY2(fw::CSingleInstance::SessionBusAvailable(), "run under dbus-run-session");
        m_app = std::make_unique<CVelmoApp>();
        CVelmoApp::SStartup startup;
        startup.bServeShellRequests = true;
        QVERIFY(m_app->InitInstance(startup));
        QVERIFY(QDBusConnection::sessionBus().interface()->isServiceRegistered(
            fw::CSingleInstance::kServiceName));
    }
    void cleanupTestCase() {
        m_app->DocManager().CloseAllDocuments();
        m_app.reset();
        Settle();
    }

    void secondStartHandsItsFilesOver() {
        const QString a = m_dir.filePath(QStringLiteral("first.vlm"));
        const QString b = m_dir.filePath(QStringLiteral("second.vlm"));
        QVERIFY(WritePanel(a, 64, 48, 0));
        QVERIFY(WritePanel(b, 64, 48, 0));
        QCOMPARE(RunSecond({a}), 0);
        QTRY_VERIFY_WITH_TIMEOUT(OpenPaths(*m_app).contains(a), 30000);
        // The plain start's untitled panel and the handed-over file: no second main window.
        QCOMPARE(m_app->DocManager().Documents().size(), size_t(2));

        // Relative names are made absolute in the folder the second start ran in; a file
        // already open is only brought to the front.
        QCOMPARE(
            RunSecond({QStringLiteral("second.vlm"), QStringLiteral("first.vlm")}, m_dir.path()),
            0);
        QTRY_VERIFY_WITH_TIMEOUT(OpenPaths(*m_app).contains(b), 30000);
        QCOMPARE(m_app->DocManager().Documents().size(), size_t(3));
    }

    void handedOverFailureIsReportedByTheRunningInstance() {
        CMessageCapture messages;
        const QString missing = m_dir.filePath(QStringLiteral("missing.vlm"));
        const size_t before = m_app->DocManager().Documents().size();
        QCOMPARE(RunSecond({missing}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(messages.Texts(),
                                  QStringList{missing + QStringLiteral(" was not found.")}, 30000);
        QCOMPARE(m_app->DocManager().Documents().size(), before);
    }

    void withoutASessionBusAStartRunsAlone() {
        const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
        QVERIFY(!fw::CSingleInstance::SessionBusAvailable());
        QVERIFY(!fw::CSingleInstance::ForwardToRunning({m_dir.filePath("first.vlm")}));
        fw::CSingleInstance alone;
        QVERIFY(!alone.Serve());
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    }
};

QTEST_MAIN(CSingleInstanceTest)
#include "SingleInstanceTest.moc"
