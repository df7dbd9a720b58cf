#pragma once
// Printing a panel: one page, the panel at its on-screen physical size (1/96 inch per view pixel
// at zoom 100) or scaled down to fit, centred, balloon text scaled with it. Print preview and a
// PDF file chosen in the print dialog get the same page. Templates on the printer type, so that
// the editor itself needs no print support library (PagePrinting.h).
#include "export/PanelPage.h"

class CPanel;

namespace editor {

// Sets the page resolution the panel is laid out in; call before a print dialog or preview
// opens and again before printing, as a dialog may change it.
template <class TPrinter> void PreparePrinter(TPrinter& printer) {
    exporting::UsePageDpi(printer);
}

// Prints the page on a device already at the page resolution; false when the device could not
// be opened.
bool PrintPanelPage(QPagedPaintDevice& page, const CPanel& panel);

// Prepares the printer and prints the page.
template <class TPrinter> bool PrintPanel(TPrinter& printer, const CPanel& panel) {
    PreparePrinter(printer);
    return PrintPanelPage(printer, panel);
}

} // namespace editor
