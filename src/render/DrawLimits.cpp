#include "DrawLimits.h"

namespace render {

int FontPixelSize(qint64 tenths, qint64 zoom, qint64 dpiY) {
    // Sizes, zooms and resolutions beyond these give the largest height anyway.
    constexpr qint64 kMaxFactor = qint64(1) << 31;
    constexpr qint64 kMaxDpi = qint64(1) << 16;
    tenths = std::clamp<qint64>(tenths, 0, kMaxFactor);
    zoom = std::clamp<qint64>(zoom, 0, kMaxFactor);
    dpiY = std::clamp<qint64>(dpiY, 0, kMaxDpi);
    const qint64 zoomed = std::min(tenths * zoom / 100, kMaxFactor * 8);
    const qint64 pixels = zoomed * dpiY / 720;
    if (pixels < 1) {
        return 0;
    }
    return static_cast<int>(std::min(pixels, kMaxFontPixels));
}

} // namespace render
