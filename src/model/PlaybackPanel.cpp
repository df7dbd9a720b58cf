#include "PlaybackPanel.h"

#include <algorithm>
#include <limits>
#include <utility>
#include <vector>

#include "Document.h"
#include "FileSystem.h"

namespace {

std::int32_t ToInt32(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

CPanelRead ReadPanelFile(const std::string& path, CPanel& panel, IPictureDecoder& decoder) {
    CPanelRead read;
    std::vector<std::uint8_t> bytes;
    int err = 0;
    if (path.empty() || !ReadWholeFile(path, bytes, err, kMaxDocumentFileBytes)) {
        panel.Reset();
        return read;
    }
    // Loading names the archive after the file, so the picture layer's home folder becomes the
    // panel file's own folder (the show's folder) and the picture is looked for there first.
    CPanel loaded;
    try {
        CArchive ar = CArchive::ForLoading(bytes, path);
        loaded.Serialize(ar);
    } catch (const CArchiveException& e) {
        panel.Reset();
        read.m_eResult = EPanelRead::Damaged;
        read.m_eCause = e.m_cause;
        return read;
    }
    const std::int64_t w =
        static_cast<std::int64_t>(loaded.m_rcTotal.right) - loaded.m_rcTotal.left;
    const std::int64_t h =
        static_cast<std::int64_t>(loaded.m_rcTotal.bottom) - loaded.m_rcTotal.top;
    if (w <= 0 || h <= 0) {
        // No zoom fits a panel without area; the editor's size dialog never makes one.
        panel.Reset();
        read.m_eResult = EPanelRead::ZeroSize;
        return read;
    }
    // Decoded only once the panel proved whole and playable.
    loaded.m_image.Reload(decoder);
    panel = std::move(loaded);
    read.m_eResult = EPanelRead::Loaded;
    return read;
}

CPanelFit FitPanelToScreen(const CRect& rcTotal, int screenWidth, int screenHeight) {
    CPanelFit fit;
    // Computed wide: the panel's size comes from a file and may be anything.
    const std::int64_t w = static_cast<std::int64_t>(rcTotal.right) - rcTotal.left;
    const std::int64_t h = static_cast<std::int64_t>(rcTotal.bottom) - rcTotal.top;
    if (w <= 0 || h <= 0) {
        return fit;
    }
    const std::int64_t sw = screenWidth;
    const std::int64_t sh = screenHeight;
    const std::int64_t zx = sw * 100 / w;
    const std::int64_t zy = sh * 100 / h;
    if (zx < zy) {
        fit.m_nZoom = ToInt32(zx);
        fit.m_nOffsetX = 0;
        fit.m_nOffsetY = ToInt32((sh - zx * h / 100) / 2);
    } else {
        fit.m_nZoom = ToInt32(zy);
        fit.m_nOffsetY = 0;
        fit.m_nOffsetX = ToInt32((sw - w * zy / 100) / 2);
    }
    return fit;
}
