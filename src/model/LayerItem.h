#pragma once
// The base of both drawable layers of a panel (the picture and each balloon): body, wait,
// border, and the zoom mapping and corner grab squares shared by the editor and the player.
#include "Types.h"

class CArchive;

// Corner numbers of the grab squares; 5 is a balloon's tail tip.
enum EHandle : int {
    HANDLE_NONE = -1,
    HANDLE_TOP_RIGHT = 1,
    HANDLE_TOP_LEFT = 2,
    HANDLE_BOTTOM_RIGHT = 3,
    HANDLE_BOTTOM_LEFT = 4,
    HANDLE_TAIL = 5,
};

constexpr std::int32_t kDefaultWait = 30;
constexpr int kHandleHalf = 5; // grab squares run from (-5, -5) to (5, 5) about their point
// The zooms a view accepts, in percent.
constexpr int kMinZoom = 10;
constexpr int kMaxZoom = 1000;

class CLayerItem {
public:
    CRect m_rcBody;
    std::int32_t m_nWait = kDefaultWait;
    COLORREF m_crBorder = 0;
    std::int32_t m_nBorderWidth = 1;
    std::int32_t m_nBorderHeight = 1;

    void ResetLayer();
    void CopyLayerFrom(const CLayerItem& other);
    void NormalizeRect();
    friend bool operator==(const CLayerItem&, const CLayerItem&) = default;

    // Zoom mapping: v -> trunc(v * zoom * 0.01) + offset, computed in double precision.
    static std::int32_t ZoomValue(int zoom, std::int32_t v);
    static void ZoomPoint(int zoom, CPoint& point, int dx, int dy);
    static void ZoomRect(int zoom, CRect& rect, int dx, int dy);
    // Inverse of ZoomPoint without offset; quotients are truncated toward zero.
    static void UnzoomPoint(int zoom, CPoint& point);
    CRect GetZoomedRect(int zoom, int dx, int dy) const;

    CRect GetCornerHandleRect(int zoom, int corner, int dx, int dy) const;
    int HitTestCorner(int zoom, CPoint point) const;
    // The four corner points of the zoomed body, in handle order 1..4 (offset 0, 0).
    void GetCornerHandleRects(int zoom, CRect out[4]) const;

    // The layer part of a record: body, border colour, border width and height, then the wait.
    void SerializeLayer(CArchive& ar);
};

// The 10 x 10 square around a zoomed point.
CRect HandleSquareAround(CPoint p);
// A rectangle with its edges in order (left <= right, top <= bottom).
CRect NormalizedRect(CRect r);
// A rectangle moved by d.
CRect OffsetRect(CRect r, CPoint d);
// A rectangle with the two edges that meet at a corner (1..4) put on a point; the edges are left
// unordered.
CRect PutCorner(CRect r, int corner, CPoint p);
