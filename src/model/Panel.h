#pragma once
// One comic panel as a value: background, overall size, first wait, the picture layer and ten
// balloon slots whose display positions are kept gap-free (1 backmost .. k frontmost).
#include <array>

#include "Fuki.h"
#include "PanelImage.h"

constexpr int kFukiSlots = 10;
constexpr std::int32_t kPanelVersion = 256;
// The overall size the editor accepts: width 10..2000, height 100..2000.
constexpr std::int32_t kMinTotalWidth = 10;
constexpr std::int32_t kMinTotalHeight = 100;
constexpr std::int32_t kMaxTotalSize = 2000;

// How ChangeFukiOrder moves a balloon.
enum EOrderChange : int {
    ORDER_FORWARD = 1,   // "前面へ": one step toward the front
    ORDER_FRONTMOST = 2, // "最前面へ"
    ORDER_BACKWARD = 3,  // "背面へ": one step toward the back
    ORDER_BACKMOST = 4,  // "最背面へ"
};

class CPanel {
public:
    std::int32_t m_nVersion = kPanelVersion;
    std::int32_t m_nFirstWait = kDefaultWait;
    CRect m_rcTotal{0, 0, 640, 480};
    COLORREF m_crBack = 0x00FFFFFF;
    CPanelImage m_image;
    std::array<CFuki, kFukiSlots> m_fuki;
    std::int32_t m_bImageChanged = 0; // undo snapshots only: this step replaced the picture

    // A black 640 x 480 panel with no picture and all slots free.
    void Reset();
    // Every field but the decoded picture.
    void CopyFrom(const CPanel& other);

    // The slot holding a display position (highest slot index wins), or -1.
    int FindFuki(std::int32_t position) const;
    // Inserts a slot at a position (-1 removes it) and renumbers; returns its new position, or 0
    // for a slot index outside 0..9.
    std::int32_t SetFukiOrder(int slot, std::int32_t position);
    // Takes the highest free slot and makes it frontmost; -1 when all ten are in use.
    int AddFuki();
    // Moves a balloon in use (how: EOrderChange); a slot outside the order is left alone.
    std::int32_t ChangeFukiOrder(int slot, int how);
    int CountFuki() const;

    void Serialize(CArchive& ar);
};
