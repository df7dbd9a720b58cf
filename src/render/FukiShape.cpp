#include "FukiShape.h"

#include "DrawLimits.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace render {

namespace {

// Collects one span per row, merging runs of equal spans into single rectangles.
class CRowRegionBuilder {
public:
    void AddRow(int y, qint64 x0, qint64 x1Exclusive, const QRect& bounds) {
        const qint64 l = std::max<qint64>(x0, bounds.left());
        const qint64 r = std::min<qint64>(x1Exclusive, qint64(bounds.right()) + 1);
        if (r <= l) {
            Flush();
            return;
        }
        if (m_bOpen && m_nLeft == l && m_nRight == r && m_nBottom == y) {
            ++m_nBottom;
            return;
        }
        Flush();
        m_bOpen = true;
        m_nLeft = static_cast<int>(l);
        m_nRight = static_cast<int>(r);
        m_nTop = y;
        m_nBottom = y + 1;
    }
    QRegion Take() {
        Flush();
        QRegion region;
        if (!m_rects.empty()) {
            region.setRects(m_rects.data(), static_cast<int>(m_rects.size()));
        }
        return region;
    }

private:
    void Flush() {
        if (m_bOpen) {
            m_rects.emplace_back(m_nLeft, m_nTop, m_nRight - m_nLeft, m_nBottom - m_nTop);
            m_bOpen = false;
        }
    }
    std::vector<QRect> m_rects;
    bool m_bOpen = false;
    int m_nLeft = 0, m_nRight = 0, m_nTop = 0, m_nBottom = 0;
};

// First and last row of [top, bottom) that lie within bounds.
bool RowRange(qint64 top, qint64 bottom, const QRect& bounds, int& first, int& end) {
    const qint64 f = std::max<qint64>(top, bounds.top());
    const qint64 e = std::min<qint64>(bottom, qint64(bounds.bottom()) + 1);
    if (e <= f) {
        return false;
    }
    first = static_cast<int>(f);
    end = static_cast<int>(e);
    return true;
}

} // namespace

QRegion RoundRectRegion(qint64 left, qint64 top, qint64 right, qint64 bottom, qint64 cw, qint64 ch,
                        const QRect& bounds) {
    left = ClampCoordinate(left);
    top = ClampCoordinate(top);
    right = ClampCoordinate(right);
    bottom = ClampCoordinate(bottom);
    cw = ClampMagnitude(cw, kMaxCoordinate);
    ch = ClampMagnitude(ch, kMaxCoordinate);
    if (left > right) {
        std::swap(left, right);
    }
    if (top > bottom) {
        std::swap(top, bottom);
    }
    int first = 0, end = 0;
    if (left == right || !RowRange(top, bottom, bounds, first, end)) {
        return {};
    }
    const double a = static_cast<double>(std::min(cw, right - left)) / 2.0;
    const double b = static_cast<double>(std::min(ch, bottom - top)) / 2.0;
    const bool rounded = a > 0.0 && b > 0.0;
    CRowRegionBuilder rows;
    for (int y = first; y < end; ++y) {
        const double yc = y + 0.5;
        double inset = 0.0;
        if (rounded) {
            double dy = 0.0;
            if (yc < static_cast<double>(top) + b) {
                dy = static_cast<double>(top) + b - yc;
            } else if (yc > static_cast<double>(bottom) - b) {
                dy = yc - (static_cast<double>(bottom) - b);
            }
            const double t = std::min(1.0, dy / b);
            inset = a - a * std::sqrt(1.0 - t * t);
        }
        // Pixels whose centres lie within [left + inset, right - inset].
        const auto x0 = static_cast<qint64>(std::ceil(static_cast<double>(left) + inset - 0.5));
        const auto x1 = static_cast<qint64>(std::floor(static_cast<double>(right) - inset - 0.5));
        rows.AddRow(y, x0, x1 + 1, bounds);
    }
    return rows.Take();
}

QRegion TriangleRegion(QPoint a, QPoint b, QPoint c, const QRect& bounds) {
    // Differences of 32-bit coordinates take 33 bits, their products 66: exact in 128 bits.
    using Wide = __int128;
    const Wide cross = Wide(qint64(b.x()) - a.x()) * (qint64(c.y()) - a.y()) -
                       Wide(qint64(b.y()) - a.y()) * (qint64(c.x()) - a.x());
    if (cross == 0) {
        return {};
    }
    const qint64 top = std::min({a.y(), b.y(), c.y()});
    const qint64 bottom = std::max({a.y(), b.y(), c.y()});
    int first = 0, end = 0;
    if (!RowRange(top, bottom, bounds, first, end)) {
        return {};
    }
    const QPoint edges[3][2] = {{a, b}, {b, c}, {c, a}};
    CRowRegionBuilder rows;
    for (int y = first; y < end; ++y) {
        const double yc = y + 0.5;
        double lo = 0.0, hi = 0.0;
        bool any = false;
        for (const auto& edge : edges) {
            const double px = edge[0].x(), qx = edge[1].x();
            const double py = edge[0].y(), qy = edge[1].y();
            if (py == qy || yc < std::min(py, qy) || yc > std::max(py, qy)) {
                continue;
            }
            const double x = px + (yc - py) * (qx - px) / (qy - py);
            lo = any ? std::min(lo, x) : x;
            hi = any ? std::max(hi, x) : x;
            any = true;
        }
        if (!any) {
            continue;
        }
        const auto x0 = static_cast<qint64>(std::ceil(lo - 0.5));
        const auto x1 = static_cast<qint64>(std::floor(hi - 0.5));
        rows.AddRow(y, x0, x1 + 1, bounds);
    }
    return rows.Take();
}

QRegion FrameRegion(const QRegion& region, int width, int height) {
    const int w = static_cast<int>(ClampMagnitude(width, kMaxStroke));
    const int h = static_cast<int>(ClampMagnitude(height, kMaxStroke));
    if (region.isEmpty() || (w == 0 && h == 0)) {
        return {};
    }
    const QRegion inner = region & region.translated(w, 0) & region.translated(-w, 0) &
                          region.translated(0, h) & region.translated(0, -h);
    return region - inner;
}

SFramedShape FramedShapeWithin(const std::function<QRegion(const QRect&)>& shape,
                               const QRect& visible, int w, int h) {
    w = static_cast<int>(ClampMagnitude(w, kMaxStroke));
    h = static_cast<int>(ClampMagnitude(h, kMaxStroke));
    SFramedShape result;
    result.fill = shape(visible);
    if (result.fill.isEmpty() || (w == 0 && h == 0)) {
        return result;
    }
    // The shape moved by (dx, dy), seen within visible: the shape around visible moved back.
    const auto moved = [&](int dx, int dy) {
        return shape(visible.translated(-dx, -dy)).translated(dx, dy);
    };
    const QRegion inner = result.fill & moved(w, 0) & moved(-w, 0) & moved(0, h) & moved(0, -h);
    result.frame = result.fill - inner;
    return result;
}

} // namespace render
