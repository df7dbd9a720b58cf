// The writing choices of "ふきだしの詳細設定...": the face chooser, vertical writing, fitting,
// the outline, the live preview and the note on text that does not fit.
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include "DialogTestSupport.h"
#include "editor/dialogs/FukiPreview.h"
#include "editor/dialogs/FukiPropDialog.h"
#include "model/FukiStyle.h"
#include "model/TextCodec.h"
#include "render/FukiFont.h"

namespace {

QComboBox* Face(const CFukiPropDialog& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("1019"));
}

QCheckBox* Check(const CFukiPropDialog& dialog, int id) {
    return dialog.findChild<QCheckBox*>(QString::number(id));
}

QString Note(const CFukiPropDialog& dialog) {
    return dialog.findChild<QLabel*>(QStringLiteral("fitNote"))->text();
}

CFukiPreview* Preview(const CFukiPropDialog& dialog) {
    return dialog.findChild<CFukiPreview*>();
}

void SetText(CFukiPropDialog& dialog, const QString& text) {
    TextEditOf(&dialog, 1014)->setPlainText(text);
}

} // namespace

class CFukiWritingDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        InstallUnexpectedMessageGuard();
        QVERIFY(QFontDatabase::hasFamily(QStringLiteral("IPAGothic")));
    }
    void cleanup() { QCOMPARE(TakeUnexpectedMessages(), QStringList()); }

    void FaceChooserListsJapaneseFacesWithTheDefaultFirst() {
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        QComboBox* face = Face(dialog);
        QVERIFY(face->count() >= 2);
        QCOMPARE(face->currentIndex(), 0);
        QVERIFY(face->itemText(0).startsWith(render::DefaultGothicFace()));
        QVERIFY(face->itemData(0).toByteArray().isEmpty());
        for (int i = 1; i < face->count(); ++i) {
            const QString family = face->itemText(i);
            QVERIFY2(QFontDatabase::writingSystems(family).contains(QFontDatabase::Japanese),
                     qPrintable(family));
            QVERIFY(family != render::DefaultGothicFace());
        }
        // Choosing a face stores its name; the default stores none.
        const int mincho = face->findText(QStringLiteral("IPAMincho"));
        QVERIFY2(mincho > 0, "the IPA Mincho font is installed");
        face->setCurrentIndex(mincho);
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_strFontFace, std::string("IPAMincho"));
    }

    void AFaceNotInstalledIsShownAsMissingAndKept() {
        CFukiPropDialog dialog;
        dialog.m_fuki.m_strFontFace = "\x82\x6c\x82\x72 Gothic"; // "ＭＳ Gothic"
        QVERIFY(ShowActive(dialog));
        QComboBox* face = Face(dialog);
        QCOMPARE(face->currentIndex(), 1);
        QCOMPARE(face->currentText(), QStringLiteral("ＭＳ Gothic (見つかりません)"));
        // Drawn in the default face meanwhile.
        QCOMPARE(render::ResolveFukiFace(dialog.m_fuki.m_strFontFace), render::DefaultGothicFace());
        Click(&dialog, 1);
        QCOMPARE(dialog.m_fuki.m_strFontFace, std::string("\x82\x6c\x82\x72 Gothic"));

        CFukiPropDialog standard;
        standard.m_fuki.m_strFontFace = "NoSuchFace";
        QVERIFY(ShowActive(standard));
        Face(standard)->setCurrentIndex(0);
        Click(&standard, 1);
        QCOMPARE(standard.m_fuki.m_strFontFace, std::string());
    }

    void ChoicesAreStoredInTheReservedWordsOnlyWhenChanged() {
        CFukiPropDialog untouched;
        QVERIFY(ShowActive(untouched));
        QVERIFY(!Check(untouched, 1020)->isChecked());
        QCOMPARE(EditOf(&untouched, 1023)->text(), QStringLiteral("2"));
        QVERIFY(!EditOf(&untouched, 1023)->isEnabled());
        Click(&untouched, 1);
        QCOMPARE(untouched.m_fuki.m_nReserved1, 0);
        QCOMPARE(untouched.m_fuki.m_nReserved2, 0);

        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        Check(dialog, 1020)->setChecked(true);
        Check(dialog, 1021)->setChecked(true);
        Check(dialog, 1022)->setChecked(true);
        QVERIFY(EditOf(&dialog, 1023)->isEnabled());
        Type(EditOf(&dialog, 1023), QStringLiteral("3"));
        Click(&dialog, 1);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.m_fuki.m_nReserved1, 0x307);
        QCOMPARE(dialog.m_fuki.m_nReserved2, 0xFFFFFF); // white
        const SFukiStyle style = GetFukiStyle(dialog.m_fuki);
        QVERIFY(style.m_bVertical && style.m_bFit && style.m_bOutline);

        // Opened again, the choices are shown; unchecking vertical keeps the rest.
        CFukiPropDialog again;
        again.m_fuki.CopyFrom(dialog.m_fuki);
        QVERIFY(ShowActive(again));
        QVERIFY(Check(again, 1020)->isChecked() && Check(again, 1021)->isChecked() &&
                Check(again, 1022)->isChecked());
        QCOMPARE(EditOf(&again, 1023)->text(), QStringLiteral("3"));
        Check(again, 1020)->setChecked(false);
        Click(&again, 1);
        QCOMPARE(again.m_fuki.m_nReserved1, 0x306);
        QCOMPARE(again.m_fuki.m_nReserved2, 0xFFFFFF);
    }

    void OutlineWidthOutsideItsRangeIsRefused() {
        CMessageLog log;
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        Check(dialog, 1022)->setChecked(true);
        Type(EditOf(&dialog, 1023), QStringLiteral("256"));
        Click(&dialog, 1);
        QCOMPARE(log.Texts(), QStringList{"Please enter an integer between 1 and 255."});
        QVERIFY(IsRefusedField(EditOf(&dialog, 1023)));
        QCOMPARE(dialog.m_fuki.m_nReserved1, 0);
    }

    void PreviewFollowsTheFieldsAndTheNoteSaysWhenTextDoesNotFit() {
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        CFukiPreview* preview = Preview(dialog);
        QVERIFY(preview != nullptr && preview->isVisible());
        QCOMPARE(Note(dialog), QString());
        const QImage horizontal = preview->grab().toImage();
        Check(dialog, 1020)->setChecked(true);
        QVERIFY(GetFukiStyle(preview->Fuki()).m_bVertical);
        QVERIFY(preview->grab().toImage() != horizontal);
        Type(EditOf(&dialog, 1005), QStringLiteral("400"));
        QCOMPARE(preview->Fuki().m_rcBody.right, 400);
        Type(EditOf(&dialog, 1005), QStringLiteral("200"));

        // Far too much text for the default balloon.
        QString longText;
        for (int i = 0; i < 30; ++i) {
            longText += QStringLiteral("とても長いセリフです。");
        }
        SetText(dialog, longText);
        QCOMPARE(Note(dialog), QStringLiteral("セリフがふきだしに収まりません。"));
        Check(dialog, 1021)->setChecked(true);
        QVERIFY(Note(dialog).contains(QStringLiteral("6pt")));
        // A shorter text fits once it is shrunk.
        SetText(dialog, QStringLiteral("とても長いセリフです。とても長いセリフです。"));
        QCOMPARE(Note(dialog), QString());
        Check(dialog, 1021)->setChecked(false);
        QCOMPARE(Note(dialog), QStringLiteral("セリフがふきだしに収まりません。"));
        Click(&dialog, 2);
    }
};

QTEST_MAIN(CFukiWritingDialogTest)
#include "fuki_writing_dialog_test.moc"
