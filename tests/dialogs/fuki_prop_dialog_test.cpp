// "ふきだしの詳細設定..." driven through its fields, buttons and colour choosers.
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "DialogTestSupport.h"
#include "editor/dialogs/FukiPropDialog.h"
#include "model/TextCodec.h"

namespace {
const QString kEnterInteger = QStringLiteral("Please enter an integer.");
const std::string kCrLf = "\r\n";

QString Field(const CFukiPropDialog& dialog, int id) {
    return EditOf(&dialog, id)->text();
}

QComboBox* TailSide(const CFukiPropDialog& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("1003"));
}
} // namespace

class CFukiPropDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallUnexpectedMessageGuard(); }
    void cleanup() { QCOMPARE(TakeUnexpectedMessages(), QStringList()); }

    void DefaultBalloonIsShownInItsFields() {
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("ふきだしの詳細設定..."));
        const std::pair<int, const char*> expected[] = {
            {1000, "50"}, {1004, "50"},  {1001, "150"}, {1005, "200"}, {1006, "10"},
            {1007, "10"}, {1010, "200"}, {1011, "200"}, {1012, "45"},  {1013, "55"},
            {1008, "1"},  {1016, "1"},   {1017, "150"}, {1018, "30"}};
        for (const auto& [id, text] : expected) {
            QCOMPARE(Field(dialog, id), QString::fromLatin1(text));
        }
        QStringList sides;
        for (int i = 0; i < TailSide(dialog)->count(); ++i) {
            sides << TailSide(dialog)->itemText(i);
        }
        QCOMPARE(sides, (QStringList{"上", "下", "左", "右"}));
        QCOMPARE(TailSide(dialog)->currentText(), QStringLiteral("下"));
        QCOMPARE(TextEditOf(&dialog, 1014)->toPlainText(),
                 QStringLiteral("ここにセリフを入れてください"));

        QStringList groups;
        for (const QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
            groups << group->title();
        }
        groups.sort();
        QStringList expectedGroups{"ふきだし", "位置",   "コーナー", "枝",
                                   "枠囲み",   "セリフ", "自動表示"};
        expectedGroups.sort();
        QCOMPARE(groups, expectedGroups);
        // Each control lies in the group of its template; the two "縦 :" / "横 :" pairs differ.
        const std::pair<int, const char*> groupOf[] = {
            {1000, "位置"},   {1005, "位置"},    {1006, "コーナー"}, {1007, "コーナー"},
            {1010, "枝"},     {1013, "枝"},      {1008, "枠囲み"},   {1016, "枠囲み"},
            {1017, "セリフ"}, {1018, "自動表示"}};
        for (const auto& [id, title] : groupOf) {
            auto* group = qobject_cast<QGroupBox*>(EditOf(&dialog, id)->parentWidget());
            QVERIFY(group != nullptr);
            QCOMPARE(group->title(), QString::fromUtf8(title));
        }
        QCOMPARE(qobject_cast<QGroupBox*>(TextEditOf(&dialog, 1014)->parentWidget())->title(),
                 QStringLiteral("セリフ"));
        QCOMPARE(
            qobject_cast<QGroupBox*>(dialog.findChild<QWidget*>("1009")->parentWidget())->title(),
            QStringLiteral("ふきだし"));
        QCOMPARE(
            qobject_cast<QGroupBox*>(dialog.findChild<QWidget*>("1015")->parentWidget())->title(),
            QStringLiteral("枠囲み"));
        QVERIFY(EditOf(&dialog, 1006)->geometry().top() < EditOf(&dialog, 1007)->geometry().top());

        QCOMPARE(QApplication::focusWidget(), EditOf(&dialog, 1000));
        // The face and writing choices follow the font size; the outline's width and colour
        // take the focus only while the outline is chosen.
        QCOMPARE(
            TabChain(EditOf(&dialog, 1000), 25),
            (QStringList{"1000", "1004", "1001", "1005", "1006", "1007", "1010", "1011", "1003",
                         "1012", "1013", "1008", "1016", "1015", "1009", "1014", "1017", "1019",
                         "1020", "1021", "1022", "1018", "1",    "2",    "1000"}));
    }

    void ValuesAreTakenAsTypedForTheCallerToNormalise() {
        CMessageLog log;
        CFukiPropDialog dialog;
        dialog.m_fuki.m_nOrder = 3;
        dialog.m_fuki.m_strFontFace = "\x82\x6c\x82\x72 Gothic";
        dialog.m_fuki.m_crText = MakeRgb(1, 2, 3);
        dialog.m_fuki.m_nReserved1 = 77;
        QVERIFY(ShowActive(dialog));
        Type(EditOf(&dialog, 1012), QStringLiteral("80"));
        Type(EditOf(&dialog, 1013), QStringLiteral("20"));
        Type(EditOf(&dialog, 1004), QStringLiteral("300"));
        Type(EditOf(&dialog, 1005), QStringLiteral("100"));
        Type(EditOf(&dialog, 1018), QStringLiteral("-5"));
        Type(EditOf(&dialog, 1006), QStringLiteral(" -7 "));
        Type(EditOf(&dialog, 1016), QStringLiteral("4"));
        TailSide(dialog)->setFocus();
        QTest::keyClick(TailSide(dialog), Qt::Key_End);
        Click(&dialog, 1);
        QVERIFY(log.m_requests.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));

        const CFuki& f = dialog.m_fuki;
        QCOMPARE(f.m_nTailBase1, 80);
        QCOMPARE(f.m_nTailBase2, 20);
        QCOMPARE(f.m_rcBody.left, 300);
        QCOMPARE(f.m_rcBody.right, 100);
        QCOMPARE(f.m_nWait, -5);
        QCOMPARE(f.m_nCornerWidth, -7);
        QCOMPARE(f.m_nBorderWidth, 4);
        QCOMPARE(f.m_nBorderHeight, 1);
        QCOMPARE(f.m_nTailSide, int(TAIL_RIGHT));
        // Carried through untouched: display position, font face, text colour, reserved words,
        // and the text, which was not edited.
        QCOMPARE(f.m_nOrder, 3);
        QCOMPARE(f.m_strFontFace, std::string("\x82\x6c\x82\x72 Gothic"));
        QCOMPARE(f.m_crText, MakeRgb(1, 2, 3));
        QCOMPARE(f.m_nReserved1, 77);
        QCOMPARE(f.m_strText, std::string(kDefaultFukiText));

        CFuki normalised;
        normalised.CopyFrom(f);
        normalised.Normalize();
        QCOMPARE(normalised.m_nTailBase1, 20);
        QCOMPARE(normalised.m_nTailBase2, 80);
        QCOMPARE(normalised.m_rcBody.left, 100);
        QCOMPARE(normalised.m_rcBody.right, 300);
    }

    void RefusalsComeInTheOrderOfTheFields() {
        CMessageLog log;
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        const CFuki before = dialog.m_fuki;

        // Wrong everywhere: the bottom edge (1001) is read before the top edge (1000).
        for (int id : {1000, 1001, 1012, 1017, 1018}) {
            Type(EditOf(&dialog, id), QStringLiteral("x"));
        }
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1001)));

        log.Clear();
        Type(EditOf(&dialog, 1001), QStringLiteral("100"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1000)));

        log.Clear();
        Type(EditOf(&dialog, 1000), QStringLiteral("50"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1012)));

        // Both tail bases must be integers before either range is looked at.
        log.Clear();
        Type(EditOf(&dialog, 1012), QStringLiteral("101"));
        Type(EditOf(&dialog, 1013), QStringLiteral(""));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1013)));

        log.Clear();
        Type(EditOf(&dialog, 1013), QStringLiteral("-1"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 0 and 100."});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1012)));

        log.Clear();
        Type(EditOf(&dialog, 1012), QStringLiteral("100"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 0 and 100."});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1013)));

        // The font size's range is checked before the wait is read.
        log.Clear();
        Type(EditOf(&dialog, 1013), QStringLiteral("0"));
        Type(EditOf(&dialog, 1017), QStringLiteral("0"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 1 and 1000."});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1017)));

        log.Clear();
        Type(EditOf(&dialog, 1017), QStringLiteral("1001"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 1 and 1000."});

        log.Clear();
        Type(EditOf(&dialog, 1017), QStringLiteral("1000"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1018)));
        QVERIFY(dialog.isVisible());
        // Nothing reaches the members while a field is refused.
        QCOMPARE(dialog.m_fuki.m_rcBody, before.m_rcBody);
        QCOMPARE(dialog.m_fuki.m_nTailBase1, before.m_nTailBase1);

        log.Clear();
        Type(EditOf(&dialog, 1018), QStringLiteral("0"));
        Click(&dialog, 1);
        QVERIFY(log.m_requests.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_nTailBase1, 100);
        QCOMPARE(dialog.m_fuki.m_nTailBase2, 0);
        QCOMPARE(dialog.m_fuki.m_nFontSize, 1000);
    }

    void EmptyTailXIsNotAnInteger() {
        CMessageLog log;
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        Type(EditOf(&dialog, 1010), QStringLiteral(""));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{kEnterInteger});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1010)));
        QVERIFY(dialog.isVisible());
    }

    void EnterInTheTextMakesANewLine() {
        CMessageLog log;
        CFukiPropDialog dialog;
        dialog.m_fuki.m_strText = "abc";
        QVERIFY(ShowActive(dialog));
        QPlainTextEdit* text = TextEditOf(&dialog, 1014);
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        TypeKeys(text, QStringLiteral("あい"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(text->toPlainText(), QStringLiteral("abc\nあい"));
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_strText, "abc" + kCrLf + "\x82\xa0\x82\xa2");
    }

    void TextLinesAreShownAndUneditedTextKeepsItsBytes() {
        CFukiPropDialog dialog;
        // A line break, and a byte that is not code page 932 at all.
        const std::string stored = "A" + kCrLf + "B\x80";
        dialog.m_fuki.m_strText = stored;
        QVERIFY(ShowActive(dialog));
        QVERIFY(TextEditOf(&dialog, 1014)->toPlainText().startsWith(QStringLiteral("A\nB")));
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_strText, stored);
    }

    void CharacterCodePage932LacksIsNamedAndTheDialogStays() {
        CMessageLog log;
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        QPlainTextEdit* text = TextEditOf(&dialog, 1014);
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        TypeKeys(text, QStringLiteral("😀"));
        Click(&dialog, 1);
        QCOMPARE(log.m_requests.size(), 1);
        QVERIFY(log.m_requests.front().text.contains(QStringLiteral("😀")));
        QVERIFY(log.m_requests.front().text.contains(QStringLiteral("U+1F600")));
        QCOMPARE(log.m_requests.front().caption, QStringLiteral("エラー"));
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), text);
        QCOMPARE(text->textCursor().selectedText(), QStringLiteral("😀"));
        QCOMPARE(dialog.m_fuki.m_strText, std::string(kDefaultFukiText));

        // The text is read after the tail bases and before the font size.
        log.Clear();
        Type(EditOf(&dialog, 1017), QStringLiteral("0"));
        Click(&dialog, 1);
        QCOMPARE(log.m_requests.size(), 1);
        QCOMPARE(log.m_requests.front().caption, QStringLiteral("エラー"));

        log.Clear();
        text->setFocus();
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Backspace);
        Type(EditOf(&dialog, 1017), QStringLiteral("150"));
        TypeKeys(text, QStringLiteral("〜"));
        Click(&dialog, 1);
        QVERIFY(log.m_requests.isEmpty());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_strText, std::string(kDefaultFukiText) + "\x81\x60");
    }

    void ColourChoosersStartFromTheColourAndCountOnlyOnOk() {
        CMessageLog log;
        CScriptedPrompter* prompter = InstallScriptedPrompter();
        prompter->m_answers = {MakeRgb(10, 20, 30), std::nullopt, MakeRgb(40, 50, 60)};
        CFukiPropDialog dialog;
        dialog.m_fuki.m_crBorder = MakeRgb(0, 0, 255);
        QVERIFY(ShowActive(dialog));
        Click(&dialog, 1009); // fill: chosen
        Click(&dialog, 1009); // fill: chooser cancelled, the chosen colour stays
        Click(&dialog, 1015); // border: chosen
        QCOMPARE(prompter->m_offered, (std::vector<COLORREF>{kDefaultFukiFill, MakeRgb(10, 20, 30),
                                                             MakeRgb(0, 0, 255)}));
        QCOMPARE(dialog.m_fuki.m_crFill, kDefaultFukiFill); // not before OK
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_crFill, MakeRgb(10, 20, 30));
        QCOMPARE(dialog.m_fuki.m_crBorder, MakeRgb(40, 50, 60));

        prompter->m_answers = {MakeRgb(1, 1, 1)};
        CFukiPropDialog cancelled;
        QVERIFY(ShowActive(cancelled));
        Click(&cancelled, 1009);
        Click(&cancelled, 2);
        QCOMPARE(cancelled.result(), int(QDialog::Rejected));
        QCOMPARE(cancelled.m_fuki.m_crFill, kDefaultFukiFill);
        fw::SetPrompter(nullptr);
    }

    void TailSideOutsideTheFourIsKept() {
        CFukiPropDialog dialog;
        dialog.m_fuki.m_nTailSide = 7;
        QVERIFY(ShowActive(dialog));
        QCOMPARE(TailSide(dialog)->currentIndex(), -1);
        Click(&dialog, 1);
        QCOMPARE(dialog.m_fuki.m_nTailSide, 7);
    }
};

QTEST_MAIN(CFukiPropDialogTest)
#include "fuki_prop_dialog_test.moc"
