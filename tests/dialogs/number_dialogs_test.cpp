// "全体のサイズ...", "待ち時間の設定" and "表示率の変更" driven through their fields.
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "DialogTestSupport.h"
#include "editor/dialogs/DialogWidgets.h"
#include "editor/dialogs/TotalSizeDialog.h"
#include "editor/dialogs/WaitTimeDialog.h"
#include "editor/dialogs/ZoomDialog.h"

namespace {
const QString kEnterInteger = QStringLiteral("Please enter an integer.");

// The labels' texts without their mnemonic marks.
QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << dlg::WithoutMnemonic(label->text());
    }
    return texts;
}
} // namespace

class CNumberDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallUnexpectedMessageGuard(); }
    void cleanup() { QCOMPARE(TakeUnexpectedMessages(), QStringList()); }

    void SizeDialogShowsAndTabsLikeItsTemplate() {
        CTotalSizeDialog dialog;
        dialog.m_nHeight = 480;
        dialog.m_nWidth = 640;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("全体のサイズ..."));
        QCOMPARE(EditOf(&dialog, 1019)->text(), QStringLiteral("640"));
        QCOMPARE(EditOf(&dialog, 1018)->text(), QStringLiteral("480"));
        QCOMPARE(LabelTexts(dialog),
                 (QStringList{QStringLiteral("横 ："), QStringLiteral("縦 :")}));
        QCOMPARE(QApplication::focusWidget(), EditOf(&dialog, 1019));
        QCOMPARE(TabChain(EditOf(&dialog, 1019), 5),
                 (QStringList{"1019", "1018", "1", "2", "1019"}));
    }

    void SizeDialogRefusesTheHeightFirstThenTheWidth() {
        CMessageLog log;
        CTotalSizeDialog dialog;
        dialog.m_nHeight = 480;
        dialog.m_nWidth = 640;
        QVERIFY(ShowActive(dialog));
        Type(EditOf(&dialog, 1018), QStringLiteral("99"));
        Type(EditOf(&dialog, 1019), QStringLiteral("abc"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 100 and 2000."});
        QCOMPARE(log.m_requests.front().caption, QStringLiteral("Velmo"));
        QVERIFY(log.m_requests.front().icon == fw::EMsgIcon::Exclamation);
        QVERIFY(dialog.isVisible());
        QVERIFY(IsRefusedField(EditOf(&dialog, 1018)));

        log.Clear();
        Type(EditOf(&dialog, 1018), QStringLiteral("100"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1019)));

        log.Clear();
        Type(EditOf(&dialog, 1019), QStringLiteral("2001"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 10 and 2000."});
        QVERIFY(dialog.isVisible());
        // Nothing is handed back while the dialog refuses.
        QCOMPARE(dialog.m_nHeight, 480);
        QCOMPARE(dialog.m_nWidth, 640);

        log.Clear();
        Type(EditOf(&dialog, 1019), QStringLiteral("10"));
        Click(&dialog, 1);
        QVERIFY(log.m_requests.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.m_nHeight, 100);
        QCOMPARE(dialog.m_nWidth, 10);
    }

    void SizeDialogAcceptsBlanksAroundAndCancelReadsNothing() {
        CMessageLog log;
        CTotalSizeDialog accepted;
        QVERIFY(ShowActive(accepted));
        Type(EditOf(&accepted, 1018), QStringLiteral(" 250\t"));
        Type(EditOf(&accepted, 1019), QStringLiteral("  2000 "));
        Click(&accepted, 1);
        QCOMPARE(accepted.result(), int(QDialog::Accepted));
        QCOMPARE(accepted.m_nHeight, 250);
        QCOMPARE(accepted.m_nWidth, 2000);

        CTotalSizeDialog cancelled;
        cancelled.m_nHeight = 300;
        cancelled.m_nWidth = 400;
        QVERIFY(ShowActive(cancelled));
        Type(EditOf(&cancelled, 1018), QStringLiteral("500"));
        Click(&cancelled, 2);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(cancelled.m_nHeight, 300);
        QVERIFY(log.m_requests.isEmpty());
    }

    void WaitDialogTakesAnyIntegerAndRefusesTheRest() {
        CMessageLog log;
        CWaitTimeDialog dialog;
        dialog.m_nWaitTime = -12;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("待ち時間の設定"));
        QCOMPARE(EditOf(&dialog, 1018)->text(), QStringLiteral("-12"));
        QCOMPARE(LabelTexts(dialog), QStringList{"ｘ0.1秒"});
        // The buttons come first in the template, so the dialog opens on "OK".
        QCOMPARE(TabChain(dialog.focusWidget(), 4), (QStringList{"1", "2", "1018", "1"}));

        for (const QString& refused :
             {QStringLiteral("abc"), QStringLiteral(""), QStringLiteral("-0"), QStringLiteral("+0"),
              QStringLiteral("5x"), QStringLiteral("2147483648"), QStringLiteral("１２")}) {
            log.Clear();
            Type(EditOf(&dialog, 1018), refused);
            Click(&dialog, 1);
            QCOMPARE(log.Texts(), QStringList{kEnterInteger});
            QVERIFY2(dialog.isVisible(), qPrintable(refused));
            QVERIFY(IsRefusedField(EditOf(&dialog, 1018)));
        }
        QCOMPARE(dialog.m_nWaitTime, -12);

        Type(EditOf(&dialog, 1018), QStringLiteral("-5"));
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_nWaitTime, -5);

        CWaitTimeDialog zero;
        zero.m_nWaitTime = 30;
        QVERIFY(ShowActive(zero));
        Type(EditOf(&zero, 1018), QStringLiteral("0"));
        Click(&zero, 1);
        QCOMPARE(zero.result(), int(QDialog::Accepted));
        QCOMPARE(zero.m_nWaitTime, 0);
    }

    void ZoomDialogKeepsToTenThroughAThousand() {
        CMessageLog log;
        CZoomDialog dialog;
        dialog.m_nRate = 100;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("表示率の変更"));
        QCOMPARE(EditOf(&dialog, 1017)->text(), QStringLiteral("100"));
        QCOMPARE(LabelTexts(dialog), (QStringList{"表示率 :", "%"}));
        QCOMPARE(TabChain(dialog.focusWidget(), 3), (QStringList{"1", "2", "1017"}));
        for (const QString& refused :
             {QStringLiteral("5"), QStringLiteral("1001"), QStringLiteral("9")}) {
            log.Clear();
            Type(EditOf(&dialog, 1017), refused);
            Click(&dialog, 1);
            QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 10 and 1000."});
            QVERIFY(IsRefusedField(EditOf(&dialog, 1017)));
        }
        QCOMPARE(dialog.m_nRate, 100);
        Type(EditOf(&dialog, 1017), QStringLiteral("1000"));
        Click(&dialog, 1);
        QCOMPARE(dialog.m_nRate, 1000);

        CZoomDialog lowest;
        QVERIFY(ShowActive(lowest));
        Type(EditOf(&lowest, 1017), QStringLiteral("10"));
        QTest::keyClick(EditOf(&lowest, 1017), Qt::Key_Return); // Enter presses the default "OK"
        QCOMPARE(lowest.result(), int(QDialog::Accepted));
        QCOMPARE(lowest.m_nRate, 10);
    }
};

QTEST_MAIN(CNumberDialogsTest)
#include "number_dialogs_test.moc"
