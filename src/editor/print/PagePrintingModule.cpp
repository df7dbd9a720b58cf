// The print module velmo-print.so: Qt's print dialog, the default printer and the print preview
// behind editor/PagePrinting.h. The page itself is drawn by the program, through the painter it
// passes; the module only sets the printer to the page resolution first.
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "editor/PagePrinting.h"
#include "export/PanelPage.h"

namespace {

class CPagePrinting final : public editor::IPagePrinting {
public:
    void Print(QWidget* parent, const editor::PagePainter& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        exporting::UsePageDpi(printer);
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialog.exec() == QDialog::Accepted) {
            PrintPage(printer, paint);
        }
    }

    void PrintDirect(const editor::PagePainter& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        PrintPage(printer, paint);
    }

    void Preview(QWidget* parent, const editor::PagePainter& paint) override {
        QPrinter printer(QPrinter::HighResolution);
        exporting::UsePageDpi(printer);
        QPrintPreviewDialog preview(&printer, parent);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                         [&paint](QPrinter* target) { PrintPage(*target, paint); });
        preview.exec();
    }

private:
    // A dialog may have changed the resolution: the page is laid out at the page resolution.
    static void PrintPage(QPrinter& printer, const editor::PagePainter& paint) {
        exporting::UsePageDpi(printer);
        paint(printer);
    }
};

} // namespace

extern "C" __attribute__((visibility("default"))) editor::IPagePrinting*
velmo_page_printing_create(int version) {
    return version == editor::kPagePrintingVersion ? new CPagePrinting : nullptr;
}
