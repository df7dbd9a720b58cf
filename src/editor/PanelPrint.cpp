#include "PanelPrint.h"

namespace editor {

bool PrintPanelPage(QPagedPaintDevice& page, const CPanel& panel) {
    return exporting::PaintPanelPage(page, panel, exporting::kPrintPictureDpi);
}

} // namespace editor
