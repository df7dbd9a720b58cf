// The velmo executable's own command line: help, refusal of unknown options, and "--register"
// installing the desktop entry, the two file types (a panel known by its first bytes too) and
// the icons for the current user.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct SRun {
    int nExit = -1;
    QString strOut;
    QString strErr;
};

SRun RunVelmo(const QStringList& args, const QProcessEnvironment& env) {
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(VELMO_EXECUTABLE), args);
    SRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.nExit = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.strOut = QString::fromUtf8(process.readAllStandardOutput());
    run.strErr = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QString ReadText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class CProcessTest : public QObject {
    Q_OBJECT
private slots:
    void helpAndUnknownOptions() {
        const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const SRun help = RunVelmo({QStringLiteral("--help")}, env);
        QCOMPARE(help.nExit, 0);
        QVERIFY(help.strOut.contains(QStringLiteral("--register")));
        const SRun bogus = RunVelmo({QStringLiteral("--bogus")}, env);
        QCOMPARE(bogus.nExit, 2);
        QVERIFY(bogus.strErr.contains(QStringLiteral("unknown option: --bogus")));
    }

    void registerInstallsForTheCurrentUser() {
        QTemporaryDir home;
        QVERIFY(home.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        const QString data = home.filePath(QStringLiteral("data"));
        const QString config = home.filePath(QStringLiteral("config"));
        env.insert(QStringLiteral("HOME"), home.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), data);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        env.insert(QStringLiteral("XDG_DATA_DIRS"), data + QStringLiteral(":/usr/share"));
        const SRun run = RunVelmo({QStringLiteral("--register")}, env);
        QVERIFY2(run.nExit == 0, qPrintable(run.strErr));

        const QString desktop =
            ReadText(data + QStringLiteral("/applications/works.tollan.Velmo.desktop"));
        QVERIFY2(desktop.contains(
                     QStringLiteral("\nExec=%1 %F\n")
                         .arg(QFileInfo(QStringLiteral(VELMO_EXECUTABLE)).absoluteFilePath())),
                 qPrintable(desktop));
        QVERIFY(desktop.contains(
            QStringLiteral("\nMimeType=application/x-velmo;application/x-velmo-show;\n")));

        const QString types =
            ReadText(data + QStringLiteral("/mime/packages/works.tollan.Velmo.xml"));
        QVERIFY(types.contains(QStringLiteral("<glob pattern=\"*.vlm\"/>")));
        // A panel is also known by its first bytes (the version word); a show, by name only.
        QCOMPARE(types.count(QStringLiteral("<magic")), 1);
        const QByteArray magic = ReadText(data + QStringLiteral("/mime/magic")).toLatin1();
        QVERIFY(magic.contains("application/x-velmo]"));
        QVERIFY(!magic.contains("application/x-velmo-show]"));
        const QString globs = ReadText(data + QStringLiteral("/mime/globs2"));
        QVERIFY2(globs.contains(QStringLiteral("application/x-velmo:*.vlm")), qPrintable(globs));
        QVERIFY(globs.contains(QStringLiteral("application/x-velmo-show:*.vls")));

        QVERIFY(QFile::exists(data +
                              QStringLiteral("/icons/hicolor/48x48/apps/works.tollan.Velmo.png")));
        QVERIFY(QFile::exists(
            data + QStringLiteral("/icons/hicolor/32x32/mimetypes/application-x-velmo-show.png")));
        const QString defaults = ReadText(config + QStringLiteral("/mimeapps.list"));
        QVERIFY2(
            defaults.contains(QStringLiteral("application/x-velmo=works.tollan.Velmo.desktop")),
            qPrintable(defaults));
    }
};

QTEST_MAIN(CProcessTest)
#include "ProcessTest.moc"
