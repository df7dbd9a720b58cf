// "エクスポート...": the panel written as a PNG, JPEG or WebP picture at a chosen zoom or width,
// or as a one-page PDF; the kind of file follows the extension typed in the save dialog.
#include <QFileInfo>

#include "ExportSizeDialog.h"
#include "VelmoView.h"
#include "export/PanelExport.h"
#include "framework/CommandIds.h"
#include "framework/MessageBox.h"
#include "framework/Prompter.h"
#include "model/VelmoDoc.h"

namespace {

const QString kCaption = QStringLiteral("エクスポート");

} // namespace

void CVelmoView::RegisterExportCommands() {
    AddHandler(cmd::ID_FILE_EXPORT, [this] { OnFileExport(); });
}

void CVelmoView::OnFileExport() {
    const CVelmoDoc* doc = GetDocument();
    if (doc == nullptr) {
        return;
    }
    fw::FileDialogRequest request;
    request.bSave = true;
    request.title = kCaption;
    request.filters = {QStringLiteral("PNG (*.png)"), QStringLiteral("JPEG (*.jpg *.jpeg)"),
                       QStringLiteral("WebP (*.webp)"), QStringLiteral("PDF (*.pdf)")};
    request.defaultExtension = QStringLiteral("png");
    const QString path = fw::Prompter().ChooseFile(window(), request);
    if (path.isEmpty()) {
        return;
    }
    const std::string target = path.toStdString();
    const exporting::EPanelFormat format = exporting::PanelFormatOf(target);
    if (format == exporting::EPanelFormat::Unknown) {
        fw::ProgramMessage(window(),
                           QStringLiteral("%1 には書き出せません。対応する種類: %2")
                               .arg(QFileInfo(path).fileName(),
                                    QString::fromStdString(exporting::PanelFormatsText())),
                           kCaption);
        return;
    }
    exporting::SPanelSize size;
    if (format != exporting::EPanelFormat::Pdf) {
        CExportSizeDialog dialog(window(), m_nZoom, doc->m_panel.m_rcTotal.right);
        if (dialog.exec() != QDialog::Accepted) {
            return;
        }
        size.nZoom = dialog.Zoom() > 0 ? dialog.Zoom() : 100;
        size.nWidth = dialog.Width();
    }
    std::string error;
    if (!exporting::ExportPanel(doc->m_panel, target, size, error)) {
        fw::ProgramMessage(window(), QString::fromStdString(error), kCaption);
    }
}
