// The panel editor's "エクスポート...": the extension chooses the kind of file, the size dialog the
// zoom or width; an unknown extension is refused with the supported ones named.
#include <QDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>

#include "EditorTestSupport.h"
#include "ExportTestSupport.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

class CEditorExportTest : public QObject {
    Q_OBJECT

private slots:
    void ExportsAtTheChosenSizeAndRefusesUnknownKinds() {
        edtest::CEditorFixture fixture;
        fixture.Doc().m_panel.m_crBack = 0x00FF0000;
        QVERIFY(fixture.IsEnabled(cmd::ID_FILE_EXPORT));

        const QString gif = fixture.m_dir.filePath(QStringLiteral("p.gif"));
        fixture.m_prompter->m_files.push_back(gif);
        QVERIFY(fixture.Route(cmd::ID_FILE_EXPORT));
        QCOMPARE(fixture.m_messages.Texts().size(), 1);
        QVERIFY(fixture.m_messages.Texts()[0].contains(QStringLiteral(".webp")));
        QVERIFY(!QFile::exists(gif));

        const QString png = fixture.m_dir.filePath(QStringLiteral("p.png"));
        fixture.m_prompter->m_files.push_back(png);
        QVERIFY(edtest::WithDialog(
            [&] { fixture.Route(cmd::ID_FILE_EXPORT); },
            [](QDialog& dialog) {
                dialog.findChild<QRadioButton*>(QStringLiteral("byWidth"))->setChecked(true);
                dialog.findChild<QSpinBox*>(QStringLiteral("width"))->setValue(320);
                dialog.accept();
            }));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(320, 240));
        QCOMPARE(image.pixel(10, 10), qRgb(0, 0, 255));

        // Cancelling the size dialog writes nothing; a PDF asks no size.
        const QString jpg = fixture.m_dir.filePath(QStringLiteral("p.jpg"));
        fixture.m_prompter->m_files.push_back(jpg);
        QVERIFY(edtest::WithDialog([&] { fixture.Route(cmd::ID_FILE_EXPORT); },
                                   [](QDialog& dialog) { dialog.reject(); }));
        QVERIFY(!QFile::exists(jpg));
        const QString pdf = fixture.m_dir.filePath(QStringLiteral("p.pdf"));
        fixture.m_prompter->m_files.push_back(pdf);
        QVERIFY(fixture.Route(cmd::ID_FILE_EXPORT));
        QCOMPARE(exporttest::PdfPageCount(pdf), 1);
        QCOMPARE(fixture.m_messages.Texts().size(), 1);
    }
};

QTEST_MAIN(CEditorExportTest)
#include "editor_export_test.moc"
