#pragma once
// A panel as a picture (PNG, JPEG, WebP) at a zoom or a pixel width, or as a one-page PDF,
// drawn as the editor shows it with nothing selected. The format follows the extension.
#include <QImage>
#include <QString>
#include <string>

#include "model/LayerItem.h"

class CPanel;

namespace exporting {

enum class EPanelFormat { Unknown, Png, Jpeg, Webp, Pdf };

// The format of an output path by its extension (any case).
EPanelFormat PanelFormatOf(const std::string& path);
// The supported extensions, for a refusal message.
std::string PanelFormatsText();

constexpr int kMinZoom = ::kMinZoom;
constexpr int kMaxZoom = ::kMaxZoom;

struct SPanelSize {
    int nZoom = 100; // percent, kMinZoom..kMaxZoom
    int nWidth = 0;  // when positive: the picture's width in pixels, the zoom is ignored
};

// The zoom a picture export of the panel draws at (the zoom asked for, or the whole zoom at or
// above the width asked for); 0 when the panel has no area.
int PanelExportZoom(const CPanel& panel, const SPanelSize& size);

// The panel drawn into a new picture (96 dpi); a null image and a message when it cannot be.
QImage RenderPanelImage(const CPanel& panel, const SPanelSize& size, std::string& error);

// Writes the panel to outPath (UTF-8) in the format of its extension, through a temporary file
// renamed at the end. False with a one-line message, leaving nothing at outPath.
bool ExportPanel(const CPanel& panel, const std::string& outPath, const SPanelSize& size,
                 std::string& error);

// A picture written to a file as PNG, JPEG or WebP (by format). False with a message.
bool WritePicture(const QImage& image, EPanelFormat format, const std::string& path,
                  std::string& error);

} // namespace exporting
