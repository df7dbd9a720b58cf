// Printing and print preview of the panel view: exactly one page, the panel drawn by the same
// procedure as the screen and fitted to the page (PanelPrint.h).
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "PanelPrint.h"
#include "VelmoView.h"
#include "framework/CommandIds.h"
#include "model/VelmoDoc.h"

void CVelmoView::RegisterPrintCommands() {
    AddHandler(cmd::ID_FILE_PRINT, [this] { OnFilePrint(); });
    AddHandler(cmd::ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    AddHandler(cmd::ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CVelmoView::PrintPage(QPrinter& printer) const {
    const CVelmoDoc* doc = GetDocument();
    if (doc != nullptr) {
        editor::PrintPanel(printer, doc->m_panel);
    }
}

void CVelmoView::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    editor::PreparePrinter(printer);
    QPrintDialog dialog(&printer, window());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    PrintPage(printer);
}

void CVelmoView::OnFilePrintDirect() {
    QPrinter printer(QPrinter::HighResolution);
    PrintPage(printer);
}

void CVelmoView::OnFilePrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    editor::PreparePrinter(printer);
    QPrintPreviewDialog preview(&printer, window());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintPage(*target); });
    preview.exec();
}
