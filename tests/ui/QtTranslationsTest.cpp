// Qt's own texts follow the desktop's language. Run with LANG=ja_JP.UTF-8 (and no LC_ALL,
// LC_MESSAGES or LANGUAGE): Qt takes the system locale from those variables itself, so the
// glibc locale need not be generated.
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

#include "app/QtTranslations.h"

class CQtTranslationsTest : public QObject {
    Q_OBJECT
private slots:
    void systemLocaleIsJapanese() {
        QCOMPARE(QLocale::system().language(), QLocale::Japanese);
        QVERIFY2(QFile::exists(QtTranslationsFolder() + QStringLiteral("/qtbase_ja.qm")),
                 qPrintable(QtTranslationsFolder()));
    }

    void standardButtonsAreJapanese_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("english");
        QTest::newRow("cancel") << int(QMessageBox::Cancel) << QStringLiteral("Cancel");
        QTest::newRow("yes") << int(QMessageBox::Yes) << QStringLiteral("&Yes");
        QTest::newRow("no") << int(QMessageBox::No) << QStringLiteral("&No");
        QTest::newRow("save") << int(QMessageBox::Save) << QStringLiteral("Save");
    }

    void standardButtonsAreJapanese() {
        QFETCH(int, button);
        QFETCH(QString, english);
        const auto which = static_cast<QMessageBox::StandardButton>(button);
        {
            QMessageBox box;
            box.setStandardButtons(which);
            QCOMPARE(box.button(which)->text(), english);
        }
        QVERIFY(InstallQtTranslations(QLocale::system()));
        QMessageBox box;
        box.setStandardButtons(which);
        const QString text = box.button(which)->text();
        QVERIFY2(text != english, qPrintable(text));
        // Japanese: the text holds kana or kanji.
        QVERIFY2(std::any_of(text.begin(), text.end(),
                             [](QChar c) { return c.unicode() >= 0x3040 && c.unicode() < 0xA000; }),
                 qPrintable(text));
        QDialogButtonBox buttons{QDialogButtonBox::StandardButton(button)};
        QCOMPARE(buttons.buttons().value(0)->text(), text);
        RemoveTranslators();
    }

    void cancelReadsKyanseru() {
        QVERIFY(InstallQtTranslations(QLocale::system()));
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("キャンセル"));
        RemoveTranslators();
    }

    void languagesWithoutACatalogueLoadNothing() {
        QVERIFY(!InstallQtTranslations(QLocale(QLocale::Zulu)));
        QDialogButtonBox buttons(QDialogButtonBox::Cancel);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Cancel"));
    }

private:
    static void RemoveTranslators() {
        for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

QTEST_MAIN(CQtTranslationsTest)
#include "QtTranslationsTest.moc"
