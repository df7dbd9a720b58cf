#include "ExportCommand.h"

#include "OutcomeText.h"
#include "export/PanelExport.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"

namespace cli {

namespace {

// A panel whose picture could not be found exports as the view shows it: without the picture.
void WarnMissingPicture(const CVelmoDoc& doc, const std::string& panelPath, std::ostream& err) {
    const CPanelImage& image = doc.m_panel.m_image;
    if (!image.m_bitmap && !image.m_strName.empty()) {
        err << "velmo: warning: " << panelPath << ": the picture \"" << Cp932ToUtf8(image.m_strName)
            << "\" was not found; exported without it\n";
    }
}

bool OpenPanel(CVelmoDoc& doc, const std::string& panelPath, std::ostream& err) {
    const EDocOutcome outcome = doc.OnOpenDocument(panelPath);
    if (outcome != EDocOutcome::Opened) {
        err << "velmo: " << OpenFailureText(outcome, panelPath) << '\n';
        return false;
    }
    WarnMissingPicture(doc, panelPath, err);
    return true;
}

} // namespace

int RunExportPng(const std::string& outPath, const std::string& panelPath, int zoom,
                 std::ostream& err) {
    CVelmoDoc doc;
    if (!OpenPanel(doc, panelPath, err)) {
        return 1;
    }
    std::string error;
    exporting::SPanelSize size;
    size.nZoom = zoom;
    const QImage image = exporting::RenderPanelImage(doc.m_panel, size, error);
    if (image.isNull()) {
        err << "velmo: " << panelPath << ": " << error << ".\n";
        return 1;
    }
    if (!exporting::WritePicture(image, exporting::EPanelFormat::Png, outPath, error)) {
        err << "velmo: " << error << '\n';
        return 1;
    }
    return 0;
}

int RunExport(const std::string& inPath, const std::string& outPath, const SExportOptions& options,
              std::ostream& err) {
    CVelmoDoc doc;
    if (!OpenPanel(doc, inPath, err)) {
        return 1;
    }
    exporting::SPanelSize size;
    size.nZoom = options.nZoom;
    size.nWidth = options.nWidth;
    std::string error;
    if (!exporting::ExportPanel(doc.m_panel, outPath, size, error)) {
        err << "velmo: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace cli
