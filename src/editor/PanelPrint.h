#pragma once
// Printing a panel: one page, the panel at its on-screen physical size (1/96 inch per view pixel
// at zoom 100) or scaled down to fit, centred, balloon text scaled with it. Print preview and a
// PDF file chosen in the print dialog get the same page.
class QPrinter;
class CPanel;

namespace editor {

// Sets the page resolution the panel is laid out in; call before a print dialog or preview
// opens and again before printing, as a dialog may change it.
void PreparePrinter(QPrinter& printer);
// Prints the page; false when the printer could not be opened.
bool PrintPanel(QPrinter& printer, const CPanel& panel);

} // namespace editor
