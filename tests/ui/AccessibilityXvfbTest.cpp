// The program as a screen reader sees it: under Xvfb with accessibility always on and an
// accessibility bus of its own, the main window with a panel and a show, every dialog and the
// playing show window are open at once while a separate process walks every object over the
// bus, asking for all properties at once (GetAll) and one by one and reading states, texts,
// values and actions. The program must answer every question and keep running, and the
// controls a user works with must have names.
#include <QDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

#include "UiTestSupport.h"
#include "app/AboutDialog.h"
#include "app/RecoveryDialog.h"
#include "app/VelmoApp.h"
#include "editor/dialogs/FukiOrderDialog.h"
#include "editor/dialogs/FukiPropDialog.h"
#include "editor/dialogs/FukiTextDialog.h"
#include "editor/dialogs/TotalSizeDialog.h"
#include "editor/dialogs/WaitTimeDialog.h"
#include "editor/dialogs/ZoomDialog.h"
#include "framework/AccessibilityGuard.h"
#include "model/Panel.h"
#include "show/ScreenWnd.h"

using namespace testsupport;

namespace {

// Roles of the controls a user acts on; each must have a name a screen reader can say.
const QStringList kNamedRoles = {QStringLiteral("push button"),  QStringLiteral("check box"),
                                 QStringLiteral("radio button"), QStringLiteral("text"),
                                 QStringLiteral("spin button"),  QStringLiteral("combo box"),
                                 QStringLiteral("list"),         QStringLiteral("slider")};

} // namespace

class CAccessibilityXvfbTest : public QObject {
    Q_OBJECT
private slots:
    void everyObjectAnswersEveryQuestion() {
        fw::CAccessibilityGuard::Install();
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString picture = dir.filePath(QStringLiteral("a.bmp"));
        QVERIFY(WritePicture(picture, QSize(64, 48), Qt::darkGreen));
        const QString panel = dir.filePath(QStringLiteral("a.vlm"));
        QVERIFY(WritePanel(panel, 320, 240, MakeRgb(255, 255, 255), picture));
        const QString show = dir.filePath(QStringLiteral("s.vls"));
        QVERIFY(WriteShow(show, {QStringLiteral("a")}));

        auto app = StartApp({panel, show});
        QVERIFY(app);

        std::vector<std::unique_ptr<QDialog>> dialogs;
        dialogs.push_back(std::make_unique<CFukiPropDialog>());
        dialogs.push_back(std::make_unique<CFukiTextDialog>());
        dialogs.push_back(std::make_unique<CFukiOrderDialog>());
        dialogs.push_back(std::make_unique<CTotalSizeDialog>());
        dialogs.push_back(std::make_unique<CWaitTimeDialog>());
        dialogs.push_back(std::make_unique<CZoomDialog>());
        dialogs.push_back(std::make_unique<CAboutDialog>());
        CRecoveryDialog::SEntry damaged;
        damaged.strFile = "/nowhere/x.vrec";
        damaged.bDamaged = true;
        CRecoveryDialog::SEntry good;
        good.strFile = "/nowhere/y.vrec";
        good.index.strTitle = "a.vlm";
        good.index.strPath = panel.toStdString();
        dialogs.push_back(std::make_unique<CRecoveryDialog>(
            std::vector<CRecoveryDialog::SEntry>{good, damaged}, nullptr));
        for (const auto& dialog : dialogs) {
            dialog->show();
        }
        app->ScreenWnd()->PlayDocumentFile(show, true);
        for (const auto& dialog : dialogs) {
            QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        }

        QProcess walker;
        walker.setProcessChannelMode(QProcess::MergedChannels);
        walker.start(
            QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(VELMO_A11Y_WALKER), QStringLiteral("Velmo"), QStringLiteral("120")});
        QVERIFY(walker.waitForStarted(30000));
        // This process answers the walker, so its event loop runs while the walk goes on.
        QTRY_VERIFY_WITH_TIMEOUT(walker.state() == QProcess::NotRunning, 280000);
        const QString output = QString::fromUtf8(walker.readAll());
        QVERIFY2(walker.exitCode() == 0, qPrintable(output.right(3000)));

        // The walk reached every window, and every control has a name.
        for (const QString& seen :
             {QStringLiteral("ベルモ漫画"), QStringLiteral("スライドショー"),
              QStringLiteral("前回、保存されていない変更があります"), QStringLiteral("a.vlm")}) {
            QVERIFY2(output.contains(seen), qPrintable(seen));
        }
        QStringList unnamed;
        const QStringList lines = output.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            for (const QString& role : kNamedRoles) {
                // A drop-down's own list of choices is Qt's and is read with the drop-down.
                const bool choices = role == QStringLiteral("list") && i > 0 &&
                                     lines[i - 1].contains(QStringLiteral("[combo box]"));
                if (!choices &&
                    lines[i].contains(QStringLiteral("[") + role + QStringLiteral("] ''"))) {
                    // With the line before it, which names where it is.
                    unnamed << lines[std::max<qsizetype>(0, i - 1)].trimmed() +
                                   QStringLiteral(" > ") + lines[i].trimmed();
                }
            }
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QLatin1Char('\n'))));
        QVERIFY(output.contains(QStringLiteral("walked ")));
        app->ScreenWnd()->hide();
    }
};

QTEST_MAIN(CAccessibilityXvfbTest)
#include "AccessibilityXvfbTest.moc"
