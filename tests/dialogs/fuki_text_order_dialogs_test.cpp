// "セリフの編集..." and "ふきだしの順序の詳細設定..." driven through their controls.
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "DialogTestSupport.h"
#include "editor/dialogs/FukiOrderDialog.h"
#include "editor/dialogs/FukiTextDialog.h"

namespace {
const QString kEnterInteger = QStringLiteral("Please enter an integer.");

QListWidget* List(const QWidget& dialog) {
    return dialog.findChild<QListWidget*>(QStringLiteral("1023"));
}

QStringList Rows(const QWidget& dialog) {
    QStringList rows;
    for (int i = 0; i < List(dialog)->count(); ++i) {
        rows << List(dialog)->item(i)->text();
    }
    return rows;
}

void ClickRow(const QWidget& dialog, int row) {
    QListWidget* list = List(dialog);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(row)).center());
}

QString WaitField(const QWidget& dialog) {
    return EditOf(&dialog, 1018)->text();
}

// Balloons added in this order take positions 1, 2, 3 (back to front); waits 10, 20, 30.
int AddBalloon(CPanel& panel, const std::string& text, std::int32_t wait) {
    const int slot = panel.AddFuki();
    panel.m_fuki[slot].m_strText = text;
    panel.m_fuki[slot].m_nWait = wait;
    return slot;
}
} // namespace

class CFukiTextOrderDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallUnexpectedMessageGuard(); }
    void cleanup() { QCOMPARE(TakeUnexpectedMessages(), QStringList()); }

    void TextDialogEditsLinesAndStoresCodePage932() {
        CMessageLog log;
        CFukiTextDialog dialog;
        QVERIFY(dialog.m_strText.empty());
        dialog.m_strText = "\x82\xa0\r\nb";
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("セリフの編集..."));
        QPlainTextEdit* text = TextEditOf(&dialog, 1014);
        QCOMPARE(text->toPlainText(), QStringLiteral("あ\nb"));
        QCOMPARE(TabChain(text, 4), (QStringList{"1014", "1", "2", "1014"}));

        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        QTest::keyClick(text, Qt::Key_Enter);
        TypeKeys(text, QStringLiteral("c"));
        QVERIFY(dialog.isVisible());
        Click(&dialog, 1);
        QVERIFY(log.m_requests.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_strText, std::string("\x82\xa0\r\nb\r\n\r\nc"));
    }

    void TextDialogTakesEmptyTextAndRefusesWhatCannotBeStored() {
        CMessageLog log;
        CFukiTextDialog dialog;
        dialog.m_strText = "abc";
        QVERIFY(ShowActive(dialog));
        QPlainTextEdit* text = TextEditOf(&dialog, 1014);
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        TypeKeys(text, QStringLiteral("😀"));
        TypeKeys(text, QStringLiteral("€"));
        Click(&dialog, 1);
        QCOMPARE(log.m_requests.size(), 1);
        const QString message = log.m_requests.front().text;
        QVERIFY(message.contains(QStringLiteral("U+1F600")) &&
                message.contains(QStringLiteral("U+20AC")));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.m_strText, std::string("abc"));

        text->selectAll();
        QTest::keyClick(text, Qt::Key_Delete);
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_strText, std::string());
    }

    void TextDialogKeepsUneditedBytesAndCancelReadsNothing() {
        CFukiTextDialog unedited;
        unedited.m_strText = "x\ry\xff";
        QVERIFY(ShowActive(unedited));
        Click(&unedited, 1);
        QCOMPARE(unedited.m_strText, std::string("x\ry\xff"));

        CFukiTextDialog cancelled;
        cancelled.m_strText = "abc";
        QVERIFY(ShowActive(cancelled));
        TypeKeys(TextEditOf(&cancelled, 1014), QStringLiteral("d"));
        Click(&cancelled, 2);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(cancelled.m_strText, std::string("abc"));
    }

    void OrderDialogWithoutBalloonsListsBackgroundAndPicture() {
        CFukiOrderDialog dialog;
        dialog.m_panel.m_nFirstWait = 31;
        dialog.m_panel.m_image.m_nWait = 44;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ふきだしの順序の詳細設定..."));
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像"}));
        QCOMPARE(List(dialog)->currentRow(), 0);
        QCOMPARE(WaitField(dialog), QStringLiteral("31"));
        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
            groups << group->title();
        }
        QCOMPARE(groups, (QStringList{"表示の順序", "表示後の待ち時間"}));
        QCOMPARE(TabChain(List(dialog), 7),
                 (QStringList{"1023", "1024", "1022", "1018", "1", "2", "1023"}));

        ClickRow(dialog, 1);
        QCOMPARE(WaitField(dialog), QStringLiteral("44"));
        QCOMPARE(dialog.m_nWait, 44);
        Click(&dialog, 1024);
        Click(&dialog, 1022);
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像"}));
        QCOMPARE(List(dialog)->currentRow(), 1);
    }

    void OrderDialogMovesBalloonsOneStep() {
        CFukiOrderDialog dialog;
        const int a = AddBalloon(dialog.m_panel, "A", 10);
        const int b = AddBalloon(dialog.m_panel, "B", 20);
        const int c = AddBalloon(dialog.m_panel, "C", 30);
        QVERIFY(ShowActive(dialog));
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "A", "B", "C"}));

        ClickRow(dialog, 3);
        QCOMPARE(WaitField(dialog), QStringLiteral("20"));
        Click(&dialog, 1022); // "下へ": B one step to the front
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "A", "C", "B"}));
        QCOMPARE(List(dialog)->currentRow(), 4);
        QCOMPARE(WaitField(dialog), QStringLiteral("20"));
        QCOMPARE(dialog.m_panel.m_fuki[b].m_nOrder, 3);
        QCOMPARE(dialog.m_panel.m_fuki[c].m_nOrder, 2);

        Click(&dialog, 1022); // already frontmost
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "A", "C", "B"}));
        QCOMPARE(List(dialog)->currentRow(), 4);

        ClickRow(dialog, 2);
        Click(&dialog, 1024); // "上へ" on the backmost balloon
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "A", "C", "B"}));
        QCOMPARE(List(dialog)->currentRow(), 2);
        QCOMPARE(dialog.m_panel.m_fuki[a].m_nOrder, 1);

        ClickRow(dialog, 4);
        Click(&dialog, 1024); // B back one step
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "A", "B", "C"}));
        QCOMPARE(List(dialog)->currentRow(), 3);
    }

    void OrderDialogStoresEveryWaitAsItIsTyped() {
        CMessageLog log;
        CFukiOrderDialog dialog;
        AddBalloon(dialog.m_panel, "A", 10);
        const int b = AddBalloon(dialog.m_panel, "B", 20);
        const int c = AddBalloon(dialog.m_panel, "C", 30);
        QVERIFY(ShowActive(dialog));

        ClickRow(dialog, 4);
        Type(EditOf(&dialog, 1018), QStringLiteral("55"));
        QCOMPARE(dialog.m_panel.m_fuki[c].m_nWait, 55);
        ClickRow(dialog, 0);
        QCOMPARE(WaitField(dialog), QStringLiteral("30"));
        ClickRow(dialog, 4);
        QCOMPARE(WaitField(dialog), QStringLiteral("55"));

        // Clearing the field is refused at once; the row keeps its last good wait.
        ClickRow(dialog, 3);
        Type(EditOf(&dialog, 1018), QStringLiteral(""));
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QCOMPARE(log.m_requests.front().caption, QStringLiteral("Velmo"));
        QCOMPARE(dialog.m_panel.m_fuki[b].m_nWait, 20);
        log.Clear();
        Type(EditOf(&dialog, 1018), QStringLiteral("-8"));
        QCOMPARE(log.Texts(), QStringList{kEnterInteger}); // the lone "-" on the way
        QCOMPARE(dialog.m_panel.m_fuki[b].m_nWait, -8);

        // OK reads the field once more.
        log.Clear();
        Type(EditOf(&dialog, 1018), QStringLiteral("x"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), (QStringList{kEnterInteger, kEnterInteger}));
        QVERIFY(dialog.isVisible());
        QVERIFY(IsRefusedField(EditOf(&dialog, 1018)));

        ClickRow(dialog, 0);
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_panel.m_fuki[c].m_nWait, 55);
        QCOMPARE(dialog.m_panel.m_fuki[b].m_nWait, -8);
        QCOMPARE(dialog.m_panel.m_nFirstWait, 30);
    }

    void OrderDialogListsEveryTextOnOneRow() {
        CFukiOrderDialog dialog;
        const int empty = AddBalloon(dialog.m_panel, "", 10);
        AddBalloon(dialog.m_panel, "a\r\nb", 20);
        QVERIFY(ShowActive(dialog));
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "", "a b"}));
        ClickRow(dialog, 2);
        Click(&dialog, 1022);
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "a b", ""}));
        QCOMPARE(dialog.m_panel.m_fuki[empty].m_nOrder, 2);
    }

    void OrderDialogRowsFollowTheirSlotsWhenPositionsRepeat() {
        // A file may bring two balloons at one position: each row still edits its own slot.
        CFukiOrderDialog dialog;
        dialog.m_panel.m_fuki[0].m_nOrder = 1;
        dialog.m_panel.m_fuki[0].m_strText = "first";
        dialog.m_panel.m_fuki[0].m_nWait = 11;
        dialog.m_panel.m_fuki[5].m_nOrder = 1;
        dialog.m_panel.m_fuki[5].m_strText = "sixth";
        dialog.m_panel.m_fuki[5].m_nWait = 66;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(Rows(dialog), (QStringList{"背景", "画像", "first", "sixth"}));
        ClickRow(dialog, 2);
        QCOMPARE(WaitField(dialog), QStringLiteral("11"));
        ClickRow(dialog, 3);
        QCOMPARE(WaitField(dialog), QStringLiteral("66"));
        Type(EditOf(&dialog, 1018), QStringLiteral("67"));
        QCOMPARE(dialog.m_panel.m_fuki[5].m_nWait, 67);
        QCOMPARE(dialog.m_panel.m_fuki[0].m_nWait, 11);
    }
};

QTEST_MAIN(CFukiTextOrderDialogsTest)
#include "fuki_text_order_dialogs_test.moc"
