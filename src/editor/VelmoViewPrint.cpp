// Printing and print preview of the panel view: exactly one page, painted by the same
// procedure as the screen at the view's zoom, one printer pixel per view pixel, without the
// scroll offset.
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "VelmoView.h"
#include "framework/CommandIds.h"

void CVelmoView::RegisterPrintCommands() {
    AddHandler(cmd::ID_FILE_PRINT, [this] { OnFilePrint(); });
    AddHandler(cmd::ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    AddHandler(cmd::ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CVelmoView::PrintPage(QPrinter& printer) const {
    QPainter painter;
    if (!painter.begin(&printer)) {
        return;
    }
    PaintPanel(painter);
    painter.end();
}

void CVelmoView::OnFilePrint() {
    QPrinter printer(QPrinter::HighResolution);
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
    QPrintPreviewDialog preview(&printer, window());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* target) { PrintPage(*target); });
    preview.exec();
}
