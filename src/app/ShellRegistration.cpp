#include "ShellRegistration.h"

#include <cstdio>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

namespace {

const QString kDesktopId = QStringLiteral("works.tollan.Velmo");
const QString kPanelIcon = QStringLiteral("application-x-velmo");
const QString kShowIcon = QStringLiteral("application-x-velmo-show");
const QString kPanelType = QStringLiteral("application/x-velmo");
const QString kShowType = QStringLiteral("application/x-velmo-show");

void Report(const QString& text) {
    std::fprintf(stderr, "velmo: %s\n", qPrintable(text));
}

QByteArray ReadResource(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

// Quotes a program path for an Exec line: inside double quotes, '"', '`', '$' and '\' are
// escaped with a backslash, and every backslash is then doubled by the entry's string rules.
QString QuoteExecArgument(const QString& path) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (QChar c : path) {
        needsQuotes = needsQuotes || reserved.contains(c);
    }
    if (!needsQuotes) {
        return path;
    }
    QString quoted;
    for (QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\')) {
            quoted += QLatin1Char('\\');
        }
        quoted += c;
    }
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

bool Run(const QString& program, const QStringList& args) {
    const QString found = QStandardPaths::findExecutable(program);
    if (found.isEmpty()) {
        Report(QStringLiteral("%1 is not installed (package xdg-utils)").arg(program));
        return false;
    }
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start(found, args);
    if (!process.waitForStarted(-1) || !process.waitForFinished(-1) ||
        process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        Report(QStringLiteral("%1 %2 failed").arg(program, args.join(QLatin1Char(' '))));
        return false;
    }
    return true;
}

} // namespace

QString DesktopEntryFor(const QString& executablePath) {
    QString entry =
        QString::fromUtf8(ReadResource(QStringLiteral(":/packaging/%1.desktop").arg(kDesktopId)));
    entry.replace(QStringLiteral("\nExec=velmo %F\n"),
                  QStringLiteral("\nExec=%1 %F\n").arg(QuoteExecArgument(executablePath)));
    return entry;
}

int RegisterForCurrentUser(const QString& executablePath) {
    QTemporaryDir work;
    if (!work.isValid()) {
        Report(QStringLiteral("cannot create a temporary folder"));
        return 1;
    }
    const QString desktop = work.filePath(kDesktopId + QStringLiteral(".desktop"));
    const QString mime = work.filePath(kDesktopId + QStringLiteral(".xml"));
    if (!WriteFile(desktop, DesktopEntryFor(executablePath).toUtf8()) ||
        !WriteFile(mime, ReadResource(QStringLiteral(":/packaging/%1.xml").arg(kDesktopId)))) {
        Report(QStringLiteral("cannot write the registration files"));
        return 1;
    }

    bool ok = Run(QStringLiteral("xdg-mime"),
                  {QStringLiteral("install"), QStringLiteral("--mode"), QStringLiteral("user"),
                   QStringLiteral("--novendor"), mime});
    const struct {
        QString resource;
        QString context;
        QString name;
        QList<int> sizes;
    } icons[] = {
        {QStringLiteral("velmo"), QStringLiteral("apps"), kDesktopId, {16, 32, 48, 64, 128, 256}},
        {QStringLiteral("velmo-panel"),
         QStringLiteral("mimetypes"),
         kPanelIcon,
         {16, 32, 48, 64, 128}},
        {QStringLiteral("velmo-show"),
         QStringLiteral("mimetypes"),
         kShowIcon,
         {16, 32, 48, 64, 128}},
    };
    for (const auto& icon : icons) {
        for (int size : icon.sizes) {
            const QString file =
                work.filePath(QStringLiteral("%1-%2.png").arg(icon.name).arg(size));
            ok = ok &&
                 WriteFile(file,
                           ReadResource(
                               QStringLiteral(":/icons/%1-%2.png").arg(icon.resource).arg(size)));
            ok = ok && Run(QStringLiteral("xdg-icon-resource"),
                           {QStringLiteral("install"), QStringLiteral("--mode"),
                            QStringLiteral("user"), QStringLiteral("--novendor"),
                            QStringLiteral("--noupdate"), QStringLiteral("--context"), icon.context,
                            QStringLiteral("--size"), QString::number(size), file, icon.name});
        }
    }
    ok = ok &&
         Run(QStringLiteral("xdg-icon-resource"),
             {QStringLiteral("forceupdate"), QStringLiteral("--mode"), QStringLiteral("user")});
    ok = ok && Run(QStringLiteral("xdg-desktop-menu"),
                   {QStringLiteral("install"), QStringLiteral("--mode"), QStringLiteral("user"),
                    QStringLiteral("--novendor"), desktop});
    ok = ok && Run(QStringLiteral("xdg-mime"),
                   {QStringLiteral("default"), kDesktopId + QStringLiteral(".desktop"), kPanelType,
                    kShowType});
    if (!ok) {
        return 1;
    }
    std::fprintf(stderr, "velmo: registered %s for %s and %s\n",
                 qPrintable(kDesktopId + QStringLiteral(".desktop")), qPrintable(kPanelType),
                 qPrintable(kShowType));
    return 0;
}
