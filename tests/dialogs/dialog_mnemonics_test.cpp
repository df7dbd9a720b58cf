// Every dialog reachable from the keyboard: a label that names a field carries a mnemonic, each
// label with a mnemonic has a buddy in its dialog, no two mnemonics of one dialog share a
// letter, and Alt with a label's letter puts the focus on its field.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <memory>

#include "DialogTestSupport.h"
#include "editor/ExportSizeDialog.h"
#include "editor/dialogs/DialogWidgets.h"
#include "editor/dialogs/FukiOrderDialog.h"
#include "editor/dialogs/FukiPropDialog.h"
#include "editor/dialogs/FukiTextDialog.h"
#include "editor/dialogs/TotalSizeDialog.h"
#include "editor/dialogs/WaitTimeDialog.h"
#include "editor/dialogs/ZoomDialog.h"
#include "show/VideoSizeDialog.h"

namespace {

using DialogFactory = std::function<std::unique_ptr<QDialog>()>;

struct SDialogCase {
    const char* name;
    DialogFactory make;
};

const SDialogCase kDialogs[] = {
    {"total size", [] { return std::make_unique<CTotalSizeDialog>(); }},
    {"wait time", [] { return std::make_unique<CWaitTimeDialog>(); }},
    {"zoom", [] { return std::make_unique<CZoomDialog>(); }},
    {"balloon text", [] { return std::make_unique<CFukiTextDialog>(); }},
    {"balloon details", [] { return std::make_unique<CFukiPropDialog>(); }},
    {"balloon order", [] { return std::make_unique<CFukiOrderDialog>(); }},
    {"export size", [] { return std::make_unique<CExportSizeDialog>(nullptr, 100, 640); }},
    {"video size", [] { return std::make_unique<CVideoSizeDialog>(nullptr); }},
};

// The text a widget shows with a mnemonic in it, if it can have one.
QString MnemonicText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    return {};
}

// A label names a field when it ends in a colon ("横 ：", "表示率 :").
bool NamesField(const QLabel* label) {
    const QString text = dlg::WithoutMnemonic(label->text()).trimmed();
    return text.endsWith(QLatin1Char(':')) || text.endsWith(QChar(0xFF1A));
}

} // namespace

class CDialogMnemonicsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InstallUnexpectedMessageGuard(); }
    void cleanup() { QCOMPARE(TakeUnexpectedMessages(), QStringList()); }

    void MnemonicsHaveBuddiesAndDoNotCollide_data() {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kDialogs)); ++i) {
            QTest::newRow(kDialogs[i].name) << i;
        }
    }
    void MnemonicsHaveBuddiesAndDoNotCollide() {
        QFETCH(int, index);
        const std::unique_ptr<QDialog> dialog = kDialogs[index].make();
        QMap<QKeySequence, QString> owners;
        for (const QWidget* widget : dialog->findChildren<QWidget*>()) {
            const QString text = MnemonicText(widget);
            const QKeySequence key = QKeySequence::mnemonic(text);
            const auto* label = qobject_cast<const QLabel*>(widget);
            if (label != nullptr && NamesField(label)) {
                QVERIFY2(!key.isEmpty(), qPrintable(text + " has no mnemonic"));
            }
            if (key.isEmpty()) {
                continue;
            }
            QVERIFY2(!owners.contains(key),
                     qPrintable(text + " and " + owners.value(key) + " share a mnemonic"));
            owners.insert(key, text);
            if (label != nullptr) {
                QWidget* buddy = label->buddy();
                QVERIFY2(buddy != nullptr, qPrintable(text + " has no buddy"));
                QVERIFY(dialog->isAncestorOf(buddy));
                QVERIFY2(buddy->focusPolicy() & Qt::TabFocus, qPrintable(text));
            }
        }
    }

    // The texts stay as they were, the mnemonic added in the Japanese way.
    void MnemonicIsAddedToTheLabelText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<QString>("shown");
        QTest::newRow("full-width colon") << "横 ："
                                          << "W"
                                          << "横(&W) ：";
        QTest::newRow("ascii colon") << "表示率 :"
                                     << "Z"
                                     << "表示率(&Z) :";
        QTest::newRow("no colon") << "ｘ0.1秒"
                                  << "W"
                                  << "ｘ0.1秒(&W)";
        QTest::newRow("letter in the text") << "X :"
                                            << "X"
                                            << "&X :";
        QTest::newRow("lower-case letter in the text") << "(0.1pt)"
                                                       << "P"
                                                       << "(0.1&pt)";
        QTest::newRow("digit in the text") << "端1 :"
                                           << "1"
                                           << "端&1 :";
    }
    void MnemonicIsAddedToTheLabelText() {
        QFETCH(QString, text);
        QFETCH(QString, letter);
        QFETCH(QString, shown);
        QCOMPARE(dlg::WithMnemonic(text, letter[0]), shown);
        QCOMPARE(dlg::WithoutMnemonic(shown), text);
    }

    // Alt with each label's letter on the real balloon dialog moves the focus to its field.
    void AltLetterFocusesTheLabelsField() {
        CFukiPropDialog dialog;
        QVERIFY(ShowActive(dialog));
        // The outline's width takes the focus only while an outline is chosen.
        dialog.findChild<QCheckBox*>(QStringLiteral("1022"))->setChecked(true);
        int driven = 0;
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            const QKeySequence key = QKeySequence::mnemonic(label->text());
            if (key.isEmpty()) {
                continue;
            }
            // Start from the OK button so that every move is a real one.
            dlg::Button(&dialog, 1)->setFocus();
            QCOMPARE(QApplication::focusWidget(), dlg::Button(&dialog, 1));
            const QKeyCombination combination = key[0];
            QTest::keyClick(QApplication::focusWidget(), combination.key(),
                            combination.keyboardModifiers());
            QVERIFY2(QApplication::focusWidget() == label->buddy(), qPrintable(label->text()));
            ++driven;
        }
        QCOMPARE(driven, 17);
    }
};

QTEST_MAIN(CDialogMnemonicsTest)
#include "dialog_mnemonics_test.moc"
