#pragma once
// "export INPUT OUTPUT …" and its older form "--export-png OUT.png FILE.vlm [--zoom N]": a panel
// as a picture or PDF, or a show as a PDF handout, a folder of PNGs, an MP4 or an animated WebP.
#include <ostream>
#include <string>

namespace cli {

struct SExportOptions {
    int nZoom = 100;        // a panel's zoom in percent
    int nWidth = 0;         // a panel's width in pixels instead of the zoom, when positive
    int nVideoWidth = 0;    // a show's frame size; 0 for the default
    int nVideoHeight = 0;   //
    int nFps = 0;           // a show's video frame rate; 0 for the default
    bool bProgress = false; // a progress line on err while a show is exported
};

// Returns 0 when the PNG was written, else 1 after a one-line error on err.
int RunExportPng(const std::string& outPath, const std::string& panelPath, int zoom,
                 std::ostream& err);

// Exports a panel (".vlm") or a show (".vls") to outPath, the format following its extension.
// Returns 0 when written (warnings may have gone to err), else 1 after a one-line error on err.
int RunExport(const std::string& inPath, const std::string& outPath, const SExportOptions& options,
              std::ostream& err);

} // namespace cli
