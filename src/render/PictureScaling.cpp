#include "PictureScaling.h"

#include <cstdint>

namespace render {

namespace {

// Mean of four 32-bit pixels, each byte averaged with rounding: two bytes per 16-bit lane.
inline std::uint32_t Mean4(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    constexpr std::uint32_t kLanes = 0x00FF00FFu;
    constexpr std::uint32_t kRound = 0x00020002u;
    const std::uint32_t rb = ((a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + kRound);
    const std::uint32_t ag = (((a >> 8) & kLanes) + ((b >> 8) & kLanes) + ((c >> 8) & kLanes) +
                              ((d >> 8) & kLanes) + kRound);
    return ((rb >> 2) & kLanes) | (((ag >> 2) & kLanes) << 8);
}

} // namespace

QImage ToDrawingFormat(const QImage& image) {
    if (image.isNull()) {
        return image;
    }
    const QImage::Format want =
        image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    return image.format() == want ? image : image.convertToFormat(want);
}

QImage HalveImage(const QImage& source) {
    const QImage image = ToDrawingFormat(source);
    const int w = image.width() / 2;
    const int h = image.height() / 2;
    if (w < 1 || h < 1) {
        return image;
    }
    QImage out(w, h, image.format());
    if (out.isNull()) {
        return {};
    }
    for (int y = 0; y < h; ++y) {
        const auto* row0 = reinterpret_cast<const std::uint32_t*>(image.constScanLine(2 * y));
        const auto* row1 = reinterpret_cast<const std::uint32_t*>(image.constScanLine(2 * y + 1));
        auto* dst = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            dst[x] = Mean4(row0[2 * x], row0[2 * x + 1], row1[2 * x], row1[2 * x + 1]);
        }
    }
    return out;
}

QImage AreaAverageScaled(const QImage& source, QSize size) {
    QImage image = ToDrawingFormat(source);
    if (image.isNull() || size.isEmpty()) {
        return {};
    }
    while (image.width() >= 2 * size.width() && image.height() >= 2 * size.height()) {
        image = HalveImage(image);
        if (image.isNull()) {
            return {};
        }
    }
    if (image.size() == size) {
        return image;
    }
    // Qt's smooth reduction averages each target pixel over its exact source footprint.
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace render
