#pragma once
// One speech balloon ("ふきだし"): a rounded body, a three-point tail, text, colours, a wait,
// and its display position in the panel (-1 for a free slot).
#include <string>

#include "LayerItem.h"

enum ETailSide : int { TAIL_TOP = 0, TAIL_BOTTOM = 1, TAIL_LEFT = 2, TAIL_RIGHT = 3 };

constexpr COLORREF kDefaultFukiFill = 10526975; // red 255, green 160, blue 160
constexpr std::int32_t kFreeSlot = -1;
// "ここにセリフを入れてください" in code page 932 (28 bytes).
extern const char* const kDefaultFukiText;

class CFuki : public CLayerItem {
public:
    std::int32_t m_nCornerWidth = 10;
    std::int32_t m_nCornerHeight = 10;
    COLORREF m_crFill = kDefaultFukiFill;
    std::int32_t m_nOrder = kFreeSlot;
    CPoint m_ptTail{200, 200};
    std::int32_t m_nTailSide = TAIL_BOTTOM;
    std::int32_t m_nTailBase1 = 45;
    std::int32_t m_nTailBase2 = 55;
    std::string m_strText;
    COLORREF m_crText = 0;
    std::int32_t m_nFontSize = 150; // tenths of a point at zoom 100
    std::string m_strFontFace;      // empty: the default face
    std::int32_t m_nReserved1 = 0;
    std::int32_t m_nReserved2 = 0;

    CFuki();

    // Every field to its default except the font face and the two reserved words.
    void SetDefaults();
    void CopyFrom(const CFuki& other);
    // Every field but the display position.
    void CopyContentFrom(const CFuki& other);
    void Move(std::int32_t dx, std::int32_t dy);
    // Orders the body's edges and the two tail bases.
    void Normalize();
    bool IsInUse() const { return m_nOrder != kFreeSlot; }
    // Every field, the display position included.
    friend bool operator==(const CFuki&, const CFuki&) = default;

    // Base point 1 (which = 0) or 2 (which = 1) of the tail, in panel pixels.
    CPoint GetTailBasePoint(int which) const;
    CRect GetTailHandleRect(int zoom) const;
    // 5 for the tail tip square, else the corner test (1..4 or -1).
    int HitTestHandle(int zoom, CPoint point) const;
    CRect GetHandleRect(int zoom, int handle) const;

    void Serialize(CArchive& ar);
};
