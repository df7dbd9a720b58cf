#include "ExportCommand.h"

#include <cctype>
#include <functional>
#include <optional>

#include "OutcomeText.h"
#include "export/PanelExport.h"
#include "export/ShowExport.h"
#include "model/TextCodec.h"
#include "model/VelmoDoc.h"
#include "render/DecodedPicture.h"
#include "render/PicturePreparation.h"
#include "render/QtPictureDecoder.h"

namespace cli {

namespace {

// An export draws each picture once: pictures let go are not kept.
constexpr qint64 kExportCacheBytes = 0;

// A panel whose picture could not be found exports as the view shows it: without the picture.
void WarnMissingPicture(const CVelmoDoc& doc, const std::string& panelPath, std::ostream& err) {
    const CPanelImage& image = doc.m_panel.m_image;
    if (!image.m_bitmap && !image.m_strName.empty()) {
        err << "velmo: warning: " << panelPath << ": the picture \"" << Cp932ToUtf8(image.m_strName)
            << "\" was not found; exported without it\n";
    }
}

// Opens the panel to be drawn at drawZoom (0: not known yet, as for a PDF page). At a known
// zoom the picture is decoded once, at the size drawn, and that decode also proves that it
// decodes; a picture that does not is left out as a missing one is.
bool OpenPanel(CVelmoDoc& doc, const std::string& panelPath, std::ostream& err,
               const std::function<int(const CPanel&)>& drawZoom = {}) {
    EDocOutcome outcome = EDocOutcome::Opened;
    {
        std::optional<render::CDeferredPictureCheck> deferred;
        if (drawZoom) {
            deferred.emplace();
        }
        outcome = doc.OnOpenDocument(panelPath);
    }
    if (outcome != EDocOutcome::Opened) {
        err << "velmo: " << OpenFailureText(outcome, panelPath) << '\n';
        return false;
    }
    CPanelImage& image = doc.m_panel.m_image;
    if (drawZoom && !render::PreparePicture(image, drawZoom(doc.m_panel))) {
        image.m_bitmap.reset();
    }
    WarnMissingPicture(doc, panelPath, err);
    return true;
}

bool IsShowPath(const std::string& path) {
    if (path.size() < 4) {
        return false;
    }
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return ext == ".vls";
}

int ExportShow(const std::string& inPath, const std::string& outPath, const SExportOptions& options,
               std::ostream& err) {
    exporting::SShowExportOptions show;
    if (options.nVideoWidth > 0) {
        show.nWidth = options.nVideoWidth;
        show.nHeight = options.nVideoHeight;
    }
    if (options.nFps > 0) {
        show.nFps = options.nFps;
    }
    bool lineOpen = false;
    const auto progress = [&](int done, int total) {
        if (options.bProgress) {
            err << "\rvelmo: exporting panel " << done << " of " << total << std::flush;
            lineOpen = true;
        }
        return true;
    };
    const auto warn = [&](const std::string& text) {
        err << (lineOpen ? "\n" : "") << "velmo: warning: " << text << '\n';
        lineOpen = false;
    };
    std::string error;
    render::CQtPictureDecoder decoder(kExportCacheBytes);
    const exporting::EExportOutcome outcome =
        exporting::ExportShow(decoder, inPath, outPath, show, progress, warn, error);
    if (lineOpen) {
        err << '\n';
    }
    if (outcome != exporting::EExportOutcome::Written) {
        err << "velmo: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int RunExportPng(const std::string& outPath, const std::string& panelPath, int zoom,
                 std::ostream& err) {
    exporting::SPanelSize size;
    size.nZoom = zoom;
    render::CQtPictureDecoder decoder(kExportCacheBytes);
    CVelmoDoc doc(decoder);
    if (!OpenPanel(doc, panelPath, err,
                   [&](const CPanel& panel) { return exporting::PanelExportZoom(panel, size); })) {
        return 1;
    }
    std::string error;
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
    if (IsShowPath(inPath)) {
        return ExportShow(inPath, outPath, options, err);
    }
    exporting::SPanelSize size;
    size.nZoom = options.nZoom;
    size.nWidth = options.nWidth;
    const bool pdf = exporting::PanelFormatOf(outPath) == exporting::EPanelFormat::Pdf;
    render::CQtPictureDecoder decoder(kExportCacheBytes);
    CVelmoDoc doc(decoder);
    if (!OpenPanel(doc, inPath, err, [&](const CPanel& panel) {
            return pdf ? 0 : exporting::PanelExportZoom(panel, size);
        })) {
        return 1;
    }
    std::string error;
    if (!exporting::ExportPanel(doc.m_panel, outPath, size, error)) {
        err << "velmo: " << error << '\n';
        return 1;
    }
    return 0;
}

} // namespace cli
