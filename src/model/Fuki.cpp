#include "Fuki.h"

#include <utility>

#include "Archive.h"

const char* const kDefaultFukiText =
    "\x82\xb1\x82\xb1\x82\xc9\x83\x5a\x83\x8a\x83\x74\x82\xf0\x93\xfc\x82\xea\x82\xc4\x82\xad"
    "\x82\xbe\x82\xb3\x82\xa2";

CFuki::CFuki() {
    SetDefaults();
}

void CFuki::SetDefaults() {
    ResetLayer();
    m_rcBody = CRect{50, 50, 200, 150};
    m_crBorder = 0;
    m_nBorderWidth = 1;
    m_nBorderHeight = 1;
    m_nCornerWidth = 10;
    m_nCornerHeight = 10;
    m_crFill = kDefaultFukiFill;
    m_nOrder = kFreeSlot;
    m_ptTail = CPoint{200, 200};
    m_nTailSide = TAIL_BOTTOM;
    m_nTailBase1 = 45;
    m_nTailBase2 = 55;
    m_strText = kDefaultFukiText;
    m_crText = 0;
    m_nFontSize = 150;
}

void CFuki::CopyFrom(const CFuki& other) {
    *this = other;
}

void CFuki::CopyContentFrom(const CFuki& other) {
    // Every field, then the position back: a field added later is copied without a change here.
    const std::int32_t order = m_nOrder;
    *this = other;
    m_nOrder = order;
}

void CFuki::Move(std::int32_t dx, std::int32_t dy) {
    m_rcBody.left = WrapAdd(m_rcBody.left, dx);
    m_rcBody.right = WrapAdd(m_rcBody.right, dx);
    m_rcBody.top = WrapAdd(m_rcBody.top, dy);
    m_rcBody.bottom = WrapAdd(m_rcBody.bottom, dy);
    m_ptTail.x = WrapAdd(m_ptTail.x, dx);
    m_ptTail.y = WrapAdd(m_ptTail.y, dy);
}

void CFuki::Normalize() {
    NormalizeRect();
    if (m_nTailBase1 >= m_nTailBase2) {
        std::swap(m_nTailBase1, m_nTailBase2);
    }
}

CPoint CFuki::GetTailBasePoint(int which) const {
    const CRect& b = m_rcBody;
    std::int64_t x0 = b.left, y0 = b.top, x1 = b.right, y1 = b.top;
    switch (m_nTailSide) {
    case TAIL_TOP:
        break;
    case TAIL_BOTTOM:
        y0 = y1 = static_cast<std::int64_t>(b.bottom) - 1;
        break;
    case TAIL_LEFT:
        x1 = b.left;
        y1 = b.bottom;
        break;
    case TAIL_RIGHT:
        x0 = x1 = static_cast<std::int64_t>(b.right) - 1;
        y1 = b.bottom;
        break;
    default:
        // A side outside 0..3 can only come from a file: the tail then rests on the bottom edge.
        y0 = y1 = static_cast<std::int64_t>(b.bottom) - 1;
        break;
    }
    const std::int64_t p = which == 0 ? m_nTailBase1 : m_nTailBase2;
    // Integer arithmetic truncating toward zero, as the base points have always been computed;
    // widened so that values from a file cannot overflow.
    const std::int64_t x = x0 + (x1 - x0) * p / 100;
    const std::int64_t y = y0 + (y1 - y0) * p / 100;
    return CPoint{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}

CRect CFuki::GetTailHandleRect(int zoom) const {
    CPoint tip = m_ptTail;
    ZoomPoint(zoom, tip, 0, 0);
    return HandleSquareAround(tip);
}

int CFuki::HitTestHandle(int zoom, CPoint point) const {
    const int corner = HitTestCorner(zoom, point);
    if (GetTailHandleRect(zoom).Contains(point)) {
        return HANDLE_TAIL;
    }
    return corner;
}

CRect CFuki::GetHandleRect(int zoom, int handle) const {
    if (handle == HANDLE_TAIL) {
        return GetTailHandleRect(zoom);
    }
    return GetCornerHandleRect(zoom, handle, 0, 0);
}

void CFuki::Serialize(CArchive& ar) {
    SerializeLayer(ar);
    ar.Exchange(m_nReserved2);
    ar.Exchange(m_crFill);
    ar.Exchange(m_nTailSide);
    ar.Exchange(m_nTailBase1);
    ar.Exchange(m_nTailBase2);
    ar.Exchange(m_ptTail);
    ar.Exchange(m_nOrder);
    ar.Exchange(m_nCornerWidth);
    ar.Exchange(m_nCornerHeight);
    ar.Exchange(m_strText);
    ar.Exchange(m_crText);
    ar.Exchange(m_strFontFace);
    ar.Exchange(m_nFontSize);
    ar.Exchange(m_nReserved1);
}
