// Printing through the print module: the preview chosen from the view draws its one page
// through the module, at the page resolution; a missing, foreign or damaged module is refused
// with its file named; and the program itself does not load Qt's print support.
#include <QDialog>
#include <QPrintPreviewWidget>
#include <QtTest>

#include "EditorTestSupport.h"
#include "UnusableModules.h"
#include "editor/PagePrinting.h"
#include "export/PanelPage.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

using edtest::CEditorFixture;

class CPrintModuleTest : public QObject {
    Q_OBJECT

private slots:
    // Chosen from the view as a user chooses it, the preview shows one page and draws it at the
    // page resolution; closing it returns to the editor.
    void PreviewFromTheViewShowsOnePage() {
        CEditorFixture fixture;
        fixture.Doc().m_panel.m_rcTotal = CRect{0, 0, 320, 200};
        int pages = -1;
        const bool opened = edtest::WithDialog([&] { fixture.Route(cmd::ID_FILE_PRINT_PREVIEW); },
                                               [&](QDialog& dialog) {
                                                   auto* preview =
                                                       dialog.findChild<QPrintPreviewWidget*>();
                                                   QVERIFY(preview != nullptr);
                                                   QTRY_VERIFY(preview->pageCount() > 0);
                                                   pages = preview->pageCount();
                                                   dialog.reject();
                                               });
        QVERIFY(opened);
        QCOMPARE(pages, 1);
        QVERIFY(fixture.m_messages.Texts().isEmpty());
    }

    // The module built beside the tests hands the page painter a device at the page resolution.
    void ModulePaintsAtThePageResolution() {
        std::string error;
        const std::unique_ptr<editor::IPagePrinting> printing = editor::OpenPagePrinting(error);
        QVERIFY2(printing != nullptr, error.c_str());
        QWidget parent;
        int calls = 0;
        int dpi = 0;
        QTimer::singleShot(0, &parent, [&calls] {
            QTRY_VERIFY(QApplication::activeModalWidget() != nullptr && calls > 0);
            QApplication::activeModalWidget()->close();
        });
        printing->Preview(&parent, [&](QPagedPaintDevice& page) {
            ++calls;
            dpi = page.logicalDpiX();
        });
        QVERIFY(calls >= 1);
        QCOMPARE(dpi, exporting::kPageDpi);
    }

    // Each way the module can be unusable says so and names the file.
    void UnusableModulesAreNamed() {
        testsupport::ExpectUnusableModulesRefused(
            [](const std::string& path, std::string& error) {
                return editor::OpenPagePrintingAt(path, error) != nullptr;
            },
            "print module");
    }
};

QTEST_MAIN(CPrintModuleTest)
#include "print_module_test.moc"
