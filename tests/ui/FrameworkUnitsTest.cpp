// The framework's pieces on their own: routing and enabling, the recent-file list and its
// menu texts, the file messages, templates, menus from tables, the command line and the
// desktop entry written by "--register".
#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QSettings>
#include <QStandardPaths>
#include <QtTest>

#include "app/CommandLine.h"
#include "app/ShellRegistration.h"
#include "app/UiFont.h"
#include "framework/CmdTarget.h"
#include "framework/CommandRouter.h"
#include "framework/DocTemplate.h"
#include "framework/FileMessages.h"
#include "framework/MenuTable.h"
#include "framework/RecentFileList.h"
#include "framework/StringTable.h"

namespace {

class CTarget : public fw::CCmdTarget {
public:
    explicit CTarget(QStringList& log, QString name) : m_log(log), m_strName(std::move(name)) {}
    void Handle(int id) {
        AddHandler(id, [this, id] { m_log << QStringLiteral("%1:%2").arg(m_strName).arg(id); });
    }
    void Check(int id, bool* state) {
        AddCheck(id, [state] { return *state; });
    }
    void Drop(int id) { RemoveHandler(id); }

private:
    QStringList& m_log;
    QString m_strName;
};

} // namespace

class CFrameworkUnitsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void routeGoesToTheFirstTargetWithAHandler() {
        QStringList log;
        CTarget view(log, QStringLiteral("view"));
        CTarget document(log, QStringLiteral("document"));
        CTarget frame(log, QStringLiteral("frame"));
        CTarget app(log, QStringLiteral("app"));
        bool viewActive = true;
        fw::CCommandRouter router([&]() -> std::vector<fw::CCmdTarget*> {
            if (viewActive) {
                return {&view, &document, &frame, &app};
            }
            return {&frame, &app};
        });
        view.Handle(1);
        document.Handle(1);
        document.Handle(2);
        app.Handle(2);
        app.Handle(3);
        QVERIFY(router.Route(1));
        QVERIFY(router.Route(2));
        QVERIFY(router.Route(3));
        QVERIFY(!router.Route(4));
        QCOMPARE(log, (QStringList{"view:1", "document:2", "app:3"}));

        // Actions follow handler existence along the route, re-evaluated on demand.
        QAction one, two, four;
        router.Bind(&one, 1);
        router.Bind(&two, 2);
        router.Bind(&four, 4);
        QVERIFY(one.isEnabled());
        QVERIFY(!four.isEnabled());
        viewActive = false;
        router.UpdateActions();
        QVERIFY(!one.isEnabled());
        QVERIFY(two.isEnabled());
        two.trigger();
        QCOMPARE(log.back(), QStringLiteral("app:2"));
        app.Drop(2);
        router.UpdateActions();
        QVERIFY(!two.isEnabled());

        // Check marks come from the first target that handles the command.
        bool on = true;
        frame.Handle(5);
        frame.Check(5, &on);
        QAction five;
        router.Bind(&five, 5);
        router.UpdateActions();
        QVERIFY(five.isCheckable());
        QVERIFY(five.isChecked());
        on = false;
        router.UpdateActions();
        QVERIFY(!five.isChecked());
    }

    void recentListKeepsTheLatestFive() {
        fw::CRecentFileList list(5);
        for (int i = 1; i <= 7; ++i) {
            list.Add(QStringLiteral("/data/f%1.vlm").arg(i));
        }
        QCOMPARE(list.Entries(), (QStringList{"/data/f7.vlm", "/data/f6.vlm", "/data/f5.vlm",
                                              "/data/f4.vlm", "/data/f3.vlm"}));
        list.Add(QStringLiteral("/data/f4.vlm"));
        QCOMPARE(list.Entries(), (QStringList{"/data/f4.vlm", "/data/f7.vlm", "/data/f6.vlm",
                                              "/data/f5.vlm", "/data/f3.vlm"}));
        list.Remove(1);
        list.Remove(99);
        QCOMPARE(list.GetSize(), 4);

        QSettings settings(QStringLiteral("Tollan Works"), QStringLiteral("VelmoUnitTest"));
        settings.clear();
        settings.setValue(QStringLiteral("Recent File List/File5"), QStringLiteral("stale"));
        list.WriteList(settings);
        QCOMPARE(settings.value(QStringLiteral("Recent File List/File1")).toString(),
                 QStringLiteral("/data/f4.vlm"));
        QVERIFY(!settings.contains(QStringLiteral("Recent File List/File5")));
        fw::CRecentFileList read(5);
        read.ReadList(settings);
        QCOMPARE(read.Entries(), list.Entries());
        settings.clear();
    }

    void recentMenuTextsAreAbbreviated() {
        using fw::CRecentFileList;
        QCOMPARE(CRecentFileList::DisplayName("/home/a/panel.vlm", "/tmp", 30),
                 QStringLiteral("/home/a/panel.vlm"));
        QCOMPARE(CRecentFileList::DisplayName("/home/a/panel.vlm", "/home/a", 30),
                 QStringLiteral("panel.vlm"));
        const QString longPath =
            QStringLiteral("/home/someone/comics/2024/summer/beach/panel-one.vlm");
        const QString shown = CRecentFileList::DisplayName(longPath, "/tmp", 30);
        QCOMPARE(shown, QStringLiteral("/home/.../beach/panel-one.vlm"));
        QVERIFY(shown.size() <= 30);
        // The name itself is always kept; ampersands are doubled so that they show.
        const QString longName = QStringLiteral("/x/y/a-very-long-file-name-that-is-long&.vlm");
        QCOMPARE(CRecentFileList::DisplayName(longName, "/tmp", 30),
                 QStringLiteral("a-very-long-file-name-that-is-long&&.vlm"));
    }

    void fileMessagesNameTheFile() {
        const QString path = QStringLiteral("/data/p.vlm");
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::NotFound, path, false),
                 QStringLiteral("/data/p.vlm was not found."));
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::AccessDenied, path, true),
                 QStringLiteral("Access to /data/p.vlm was denied."));
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::UnexpectedFileFormat, path, false),
                 QStringLiteral("Unexpected file format."));
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::FailedToOpen, path, false),
                 QStringLiteral("Failed to open document."));
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::FailedToSave, path, true),
                 QStringLiteral("Failed to save document."));
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::OtherFileError, path, false),
                 QStringLiteral("An unexpected error occurred while reading /data/p.vlm."));
        QVERIFY(fw::OutcomeMessage(EDocOutcome::Opened, path, false).isEmpty());
        QVERIFY(fw::OutcomeMessage(EDocOutcome::Saved, path, true).isEmpty());
        QCOMPARE(fw::SaveChangesQuestion(QStringLiteral("無題1")),
                 QStringLiteral("Save changes to 無題1?"));
        // A path holding "%2" is shown as it is.
        QCOMPARE(fw::OutcomeMessage(EDocOutcome::NotFound, QStringLiteral("/a%2b"), false),
                 QStringLiteral("/a%2b was not found."));
    }

    void templatesNumberUntitledAndMatchExtensions() {
        fw::CDocTemplate panel(129,
                               QStringLiteral("\n無題\n新規ベルモ\nベルモ書類 (*.vlm)\n.vlm\n"
                                              "Velmo.Document\nベルモ書類"),
                               nullptr, nullptr, nullptr);
        fw::CDocTemplate other(152, QStringLiteral("\n無題\n\nその他\n.vls\n\n"), nullptr, nullptr,
                               nullptr);
        QCOMPARE(panel.GetDocString(fw::CDocTemplate::regFileTypeId),
                 QStringLiteral("Velmo.Document"));
        QCOMPARE(panel.GetFilter(), QStringLiteral("ベルモ書類 (*.vlm)"));
        QCOMPARE(other.GetFilter(), QStringLiteral("その他 (*.vls)"));
        QCOMPARE(panel.NextUntitledTitle(), QStringLiteral("無題1"));
        QCOMPARE(panel.NextUntitledTitle(), QStringLiteral("無題2"));
        QCOMPARE(other.NextUntitledTitle(), QStringLiteral("無題1"));
        QCOMPARE(panel.MatchDocType("/a/b.vlm"), fw::CDocTemplate::yesAttemptNative);
        QCOMPARE(panel.MatchDocType("/a/b.VLM"), fw::CDocTemplate::yesAttemptNative);
        QCOMPARE(panel.MatchDocType("/a/b.vls"), fw::CDocTemplate::maybeAttemptForeign);
        QCOMPARE(panel.MatchDocType("/a/vlm"), fw::CDocTemplate::maybeAttemptForeign);
    }

    void menusAreBuiltFromTables() {
        QStringList log;
        CTarget app(log, QStringLiteral("app"));
        app.Handle(10);
        fw::CCommandRouter router([&app]() -> std::vector<fw::CCmdTarget*> { return {&app}; });
        fw::CStringTable strings;
        strings.Set(10, QStringLiteral("prompt ten\ntip ten"));
        QCOMPARE(strings.Prompt(10), QStringLiteral("prompt ten"));
        QCOMPARE(strings.ToolTip(10), QStringLiteral("tip ten"));
        QCOMPARE(strings.ToolTip(11), QString());
        QWidget owner;
        const std::vector<QMenu*> menus = fw::BuildMenuBar(
            &owner,
            {fw::MenuPopup(QStringLiteral("A(&A)"),
                           {fw::MenuCommand(10, QStringLiteral("ten\tCtrl+T")), fw::MenuSeparator(),
                            fw::MenuPopup(QStringLiteral("sub"),
                                          {fw::MenuCommand(11, QStringLiteral("eleven"))})})},
            router, strings);
        QCOMPARE(menus.size(), size_t(1));
        QCOMPARE(menus[0]->title(), QStringLiteral("A(&A)"));
        const QList<QAction*> items = menus[0]->actions();
        QCOMPARE(items.size(), 3);
        QCOMPARE(items[0]->text(), QStringLiteral("ten\tCtrl+T"));
        QCOMPARE(items[0]->data().toInt(), 10);
        QCOMPARE(items[0]->statusTip(), QStringLiteral("prompt ten"));
        QVERIFY(items[0]->isEnabled());
        QVERIFY(items[1]->isSeparator());
        QAction* eleven = items[2]->menu()->actions().front();
        QCOMPARE(eleven->data().toInt(), 11);
        QVERIFY(!eleven->isEnabled());
        items[0]->trigger();
        QCOMPARE(log, QStringList{"app:10"});
    }

    void commandLine() {
        SCommandLine line = ParseCommandLine({});
        QCOMPARE(line.action, SCommandLine::Run);
        QVERIFY(line.files.isEmpty());
        line = ParseCommandLine({"a.vlm", "b.vls"});
        QCOMPARE(line.files, (QStringList{"a.vlm", "b.vls"}));
        QCOMPARE(ParseCommandLine({"--register"}).action, SCommandLine::Register);
        QCOMPARE(ParseCommandLine({"--register", "a.vlm"}).action, SCommandLine::Error);
        QCOMPARE(ParseCommandLine({"--help"}).action, SCommandLine::Help);
        line = ParseCommandLine({"--bogus"});
        QCOMPARE(line.action, SCommandLine::Error);
        QVERIFY(line.strError.contains("--bogus"));
        // After "--" everything is a file name.
        line = ParseCommandLine({"--", "--register"});
        QCOMPARE(line.action, SCommandLine::Run);
        QCOMPARE(line.files, QStringList{"--register"});
    }

    void desktopEntryNamesTheProgram() {
        const QString plain = DesktopEntryFor(QStringLiteral("/opt/velmo/bin/velmo"));
        QVERIFY(plain.contains("\nExec=/opt/velmo/bin/velmo %F\n"));
        QVERIFY(plain.contains("\nMimeType=application/x-velmo;application/x-velmo-show;\n"));
        QVERIFY(plain.contains("\nIcon=works.tollan.Velmo\n"));
        const QString spaced = DesktopEntryFor(QStringLiteral("/my apps/$x/velmo"));
        QVERIFY2(spaced.contains("\nExec=\"/my apps/\\\\$x/velmo\" %F\n"), qPrintable(spaced));
    }

    // A desktop font without Japanese gives way to a proportional Japanese gothic at its own
    // size and weight; one with Japanese is kept as it is.
    void uiFontWritesJapanese() {
        QFont latin(QStringLiteral("DejaVu Sans"));
        latin.setPointSizeF(9.5);
        latin.setBold(true);
        QVERIFY(!QFontDatabase::writingSystems(latin.family()).contains(QFontDatabase::Japanese));
        const QFont ui = JapaneseUiFont(latin);
        QCOMPARE(ui.family(), QStringLiteral("IPAPGothic")); // installed with the build's fonts
        QCOMPARE(ui.pointSizeF(), 9.5);
        QVERIFY(ui.bold());

        const QFont mincho(QStringLiteral("IPAMincho"), 11);
        QCOMPARE(JapaneseUiFont(mincho), mincho);
    }
};

QTEST_MAIN(CFrameworkUnitsTest)
#include "FrameworkUnitsTest.moc"
