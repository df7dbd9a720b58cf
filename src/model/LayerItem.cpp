#include "LayerItem.h"

#include <cmath>
#include <limits>
#include <utility>

#include "Archive.h"

namespace {

// Truncates toward zero into 32 bits; values beyond the range (only from hostile files) clamp.
std::int32_t TruncToInt32(double v) {
    if (!(v == v)) {
        return 0;
    }
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (v <= lo) {
        return std::numeric_limits<std::int32_t>::min();
    }
    if (v >= hi) {
        return std::numeric_limits<std::int32_t>::max();
    }
    return static_cast<std::int32_t>(std::trunc(v));
}

} // namespace

void CLayerItem::ResetLayer() {
    m_rcBody = CRect{0, 0, 0, 0};
    m_nWait = kDefaultWait;
}

void CLayerItem::CopyLayerFrom(const CLayerItem& other) {
    // Only the layer's own fields, whatever the two objects derive to.
    CLayerItem::operator=(other);
}

void CLayerItem::NormalizeRect() {
    m_rcBody = NormalizedRect(m_rcBody);
}

CRect NormalizedRect(CRect r) {
    if (r.left > r.right) {
        std::swap(r.left, r.right);
    }
    if (r.top > r.bottom) {
        std::swap(r.top, r.bottom);
    }
    return r;
}

CRect OffsetRect(CRect r, CPoint d) {
    return CRect{WrapAdd(r.left, d.x), WrapAdd(r.top, d.y), WrapAdd(r.right, d.x),
                 WrapAdd(r.bottom, d.y)};
}

CRect PutCorner(CRect r, int corner, CPoint p) {
    const bool top = corner == HANDLE_TOP_RIGHT || corner == HANDLE_TOP_LEFT;
    const bool right = corner == HANDLE_TOP_RIGHT || corner == HANDLE_BOTTOM_RIGHT;
    (top ? r.top : r.bottom) = p.y;
    (right ? r.right : r.left) = p.x;
    return r;
}

std::int32_t CLayerItem::ZoomValue(int zoom, std::int32_t v) {
    const double f = static_cast<double>(zoom) * 0.01;
    return TruncToInt32(static_cast<double>(v) * f);
}

void CLayerItem::ZoomPoint(int zoom, CPoint& point, int dx, int dy) {
    point.x = WrapAdd(ZoomValue(zoom, point.x), dx);
    point.y = WrapAdd(ZoomValue(zoom, point.y), dy);
}

void CLayerItem::ZoomRect(int zoom, CRect& rect, int dx, int dy) {
    rect.left = WrapAdd(ZoomValue(zoom, rect.left), dx);
    rect.top = WrapAdd(ZoomValue(zoom, rect.top), dy);
    rect.right = WrapAdd(ZoomValue(zoom, rect.right), dx);
    rect.bottom = WrapAdd(ZoomValue(zoom, rect.bottom), dy);
}

void CLayerItem::UnzoomPoint(int zoom, CPoint& point) {
    const double f = static_cast<double>(zoom) * 0.01;
    if (f == 0.0) {
        return;
    }
    point.x = TruncToInt32(static_cast<double>(point.x) / f);
    point.y = TruncToInt32(static_cast<double>(point.y) / f);
}

CRect CLayerItem::GetZoomedRect(int zoom, int dx, int dy) const {
    CRect r = m_rcBody;
    ZoomRect(zoom, r, dx, dy);
    return r;
}

CRect HandleSquareAround(CPoint p) {
    return CRect{WrapSub(p.x, kHandleHalf), WrapSub(p.y, kHandleHalf), WrapAdd(p.x, kHandleHalf),
                 WrapAdd(p.y, kHandleHalf)};
}

CRect CLayerItem::GetCornerHandleRect(int zoom, int corner, int dx, int dy) const {
    const CRect z = GetZoomedRect(zoom, dx, dy);
    switch (corner) {
    case HANDLE_TOP_RIGHT:
        return HandleSquareAround({z.right, z.top});
    case HANDLE_TOP_LEFT:
        return HandleSquareAround({z.left, z.top});
    case HANDLE_BOTTOM_RIGHT:
        return HandleSquareAround({z.right, z.bottom});
    case HANDLE_BOTTOM_LEFT:
        return HandleSquareAround({z.left, z.bottom});
    default:
        return CRect{};
    }
}

void CLayerItem::GetCornerHandleRects(int zoom, CRect out[4]) const {
    for (int corner = 1; corner <= 4; ++corner) {
        out[corner - 1] = GetCornerHandleRect(zoom, corner, 0, 0);
    }
}

int CLayerItem::HitTestCorner(int zoom, CPoint point) const {
    // Later corners win where squares overlap (bodies narrower or lower than 10 pixels).
    int hit = HANDLE_NONE;
    for (int corner = 1; corner <= 4; ++corner) {
        if (GetCornerHandleRect(zoom, corner, 0, 0).Contains(point)) {
            hit = corner;
        }
    }
    return hit;
}

void CLayerItem::SerializeLayer(CArchive& ar) {
    // The wait is stored last, although it is the second field in memory.
    ar.Exchange(m_rcBody);
    ar.Exchange(m_crBorder);
    ar.Exchange(m_nBorderWidth);
    ar.Exchange(m_nBorderHeight);
    ar.Exchange(m_nWait);
}
