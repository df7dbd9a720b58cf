#include "PaintBounds.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace render {

namespace {
// Logical extent assumed for devices whose size does not bound what they show.
constexpr int kUnboundedExtent = 1 << 16;
} // namespace

QRect VisibleBounds(const QPainter& painter) {
    QRectF area(-kUnboundedExtent, -kUnboundedExtent, 2.0 * kUnboundedExtent,
                2.0 * kUnboundedExtent);
    const QPaintDevice* device = painter.device();
    if (device != nullptr) {
        const int type = device->devType();
        if (type == QInternal::Image || type == QInternal::Pixmap || type == QInternal::Widget) {
            const QRectF deviceRect(0, 0, device->width(), device->height());
            bool invertible = false;
            const QTransform inverse = painter.transform().inverted(&invertible);
            if (invertible) {
                area = inverse.mapRect(deviceRect);
            }
        }
    }
    if (painter.hasClipping()) {
        area &= painter.clipBoundingRect();
    }
    // Whole pixels, one extra on every side so that no partly covered pixel is lost. A transform
    // made from a file's values can map the device far out: the edges are clamped to a range
    // in which later sums and differences stay within 32 bits.
    const auto edge = [](double v) {
        constexpr double kLimit = double(1 << 30);
        return std::isnan(v) ? 0 : static_cast<int>(std::clamp(v, -kLimit, kLimit));
    };
    return QRect(QPoint(edge(std::floor(area.left()) - 1), edge(std::floor(area.top()) - 1)),
                 QPoint(edge(std::ceil(area.right())), edge(std::ceil(area.bottom()))));
}

QRect IntersectEdges(qint64 left, qint64 top, qint64 right, qint64 bottom, const QRect& bounds) {
    const qint64 l = std::max<qint64>(left, bounds.left());
    const qint64 t = std::max<qint64>(top, bounds.top());
    const qint64 r = std::min<qint64>(right, qint64(bounds.right()) + 1);
    const qint64 b = std::min<qint64>(bottom, qint64(bounds.bottom()) + 1);
    if (r <= l || b <= t) {
        return {};
    }
    return QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                 static_cast<int>(b - t));
}

QRect HandleSquareWithin(int left, int top, const QRect& bounds) {
    constexpr qint64 kSide = 10;
    return IntersectEdges(left, top, left + kSide, top + kSide, bounds);
}

} // namespace render
