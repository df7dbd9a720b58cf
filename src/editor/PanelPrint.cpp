#include "PanelPrint.h"

#include <QPrinter>

#include "export/PanelPage.h"

namespace editor {

void PreparePrinter(QPrinter& printer) {
    exporting::UsePageDpi(printer);
}

bool PrintPanel(QPrinter& printer, const CPanel& panel) {
    PreparePrinter(printer);
    return exporting::PaintPanelPage(printer, panel, exporting::kPrintPictureDpi);
}

} // namespace editor
