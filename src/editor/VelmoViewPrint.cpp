// Printing and print preview of the panel view: exactly one page, the panel drawn by the same
// procedure as the screen and fitted to the page (PanelPrint.h). The dialogs and the printer come
// from the print module (PagePrinting.h), opened at the first print.
#include "PagePrinting.h"
#include "PanelPrint.h"
#include "VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "model/VelmoDoc.h"

namespace {

// Hands the print module to print, or says why it cannot be opened.
void WithPagePrinting(QWidget* window, const std::function<void(editor::IPagePrinting&)>& print) {
    std::string error;
    const std::unique_ptr<editor::IPagePrinting> printing = editor::OpenPagePrinting(error);
    if (printing == nullptr) {
        fw::ProgramMessage(
            window, QStringLiteral("印刷できません。\n%1").arg(QString::fromStdString(error)),
            QStringLiteral("印刷"));
        return;
    }
    print(*printing);
}

} // namespace

void CVelmoView::RegisterPrintCommands() {
    AddHandler(cmd::ID_FILE_PRINT, [this] { OnFilePrint(); });
    AddHandler(cmd::ID_FILE_PRINT_DIRECT, [this] { OnFilePrintDirect(); });
    AddHandler(cmd::ID_FILE_PRINT_PREVIEW, [this] { OnFilePrintPreview(); });
}

void CVelmoView::PrintPage(QPagedPaintDevice& page) const {
    const CVelmoDoc* doc = GetDocument();
    if (doc != nullptr) {
        editor::PrintPanelPage(page, doc->m_panel);
    }
}

void CVelmoView::OnFilePrint() {
    WithPagePrinting(window(), [this](editor::IPagePrinting& printing) {
        printing.Print(window(), [this](QPagedPaintDevice& page) { PrintPage(page); });
    });
}

void CVelmoView::OnFilePrintDirect() {
    WithPagePrinting(window(), [this](editor::IPagePrinting& printing) {
        printing.PrintDirect([this](QPagedPaintDevice& page) { PrintPage(page); });
    });
}

void CVelmoView::OnFilePrintPreview() {
    WithPagePrinting(window(), [this](editor::IPagePrinting& printing) {
        printing.Preview(window(), [this](QPagedPaintDevice& page) { PrintPage(page); });
    });
}
