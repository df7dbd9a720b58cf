#pragma once
// A saved show exported: a PDF handout (one page per panel, fitted), a folder of PNGs (one per
// layer in playing order, "001-01-background.png", …), an MP4 video or an animated WebP (each
// layer held exactly as long as the automatic player holds it, on a canvas of the chosen size
// with each panel fitted as the player fits it). Panels are read and their pictures decoded one
// at a time. The output appears only when complete.
#include <functional>
#include <string>

#include "model/PictureDecoder.h"

namespace exporting {

enum class EShowFormat { Unknown, Pdf, Mp4, Webp, PngFolder };

// By OUTPUT: a path ending in '/' or naming an existing folder is a PNG folder, else the
// extension decides (any case).
EShowFormat ShowFormatOf(const std::string& path);
std::string ShowFormatsText();

constexpr int kDefaultShowWidth = 1920;
constexpr int kDefaultShowHeight = 1080;
constexpr int kDefaultFps = 30;
// Pictures on a handout page are drawn at this many dots per inch of the page.
constexpr int kHandoutPictureDpi = 150;

struct SShowExportOptions {
    int nWidth = kDefaultShowWidth; // the canvas of the video, WebP and PNGs
    int nHeight = kDefaultShowHeight;
    int nFps = kDefaultFps;
};

enum class EExportOutcome { Written, Failed, Cancelled };

// Called with the panels done so far and their number; returning false cancels the export.
using ExportProgress = std::function<bool(int done, int total)>;
// Called with each warning (a missing picture or panel file); the export goes on.
using ExportWarning = std::function<void(const std::string&)>;

// Exports the show file showPath (UTF-8) to outPath, its pictures decoded by decoder. Failed
// comes with a one-line message; Failed and Cancelled leave nothing at outPath.
EExportOutcome ExportShow(IPictureDecoder& decoder, const std::string& showPath,
                          const std::string& outPath, const SShowExportOptions& options,
                          const ExportProgress& progress, const ExportWarning& warn,
                          std::string& error);

} // namespace exporting
