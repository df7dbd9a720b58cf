#include "Panel.h"

#include <algorithm>
#include <vector>

#include "Archive.h"

void CPanel::Reset() {
    m_nVersion = kPanelVersion;
    m_crBack = 0;
    m_nFirstWait = kDefaultWait;
    m_rcTotal = CRect{0, 0, 640, 480};
    m_image.Clear();
    for (CFuki& fuki : m_fuki) {
        fuki.SetDefaults();
    }
}

void CPanel::CopyFrom(const CPanel& other) {
    m_nVersion = other.m_nVersion;
    m_crBack = other.m_crBack;
    m_nFirstWait = other.m_nFirstWait;
    m_rcTotal = other.m_rcTotal;
    m_bImageChanged = other.m_bImageChanged;
    m_image.CopyFrom(other.m_image);
    for (int i = 0; i < kFukiSlots; ++i) {
        m_fuki[i].CopyFrom(other.m_fuki[i]);
    }
}

int CPanel::FindFuki(std::int32_t position) const {
    for (int slot = kFukiSlots - 1; slot >= 0; --slot) {
        if (m_fuki[slot].m_nOrder == position) {
            return slot;
        }
    }
    return -1;
}

std::int32_t CPanel::SetFukiOrder(int slot, std::int32_t position) {
    if (slot < 0 || slot >= kFukiSlots) {
        return 0;
    }
    if (position >= 0) {
        // Make room: everything at or above the position moves up one place. The target itself
        // is included; its own value is replaced right after.
        for (CFuki& fuki : m_fuki) {
            if (fuki.m_nOrder >= position) {
                fuki.m_nOrder = WrapAdd(fuki.m_nOrder, 1);
            }
        }
    }
    m_fuki[slot].m_nOrder = position;

    // Renumber the balloons in use 1..k by position, equal positions by slot index. Values
    // below 1 (free slots, or what a file brought) are left alone.
    std::vector<int> inUse;
    for (int i = 0; i < kFukiSlots; ++i) {
        if (m_fuki[i].m_nOrder >= 1) {
            inUse.push_back(i);
        }
    }
    std::stable_sort(inUse.begin(), inUse.end(),
                     [this](int a, int b) { return m_fuki[a].m_nOrder < m_fuki[b].m_nOrder; });
    std::int32_t next = 1;
    for (int i : inUse) {
        m_fuki[i].m_nOrder = next++;
    }
    return m_fuki[slot].m_nOrder;
}

int CPanel::AddFuki() {
    const int slot = FindFuki(kFreeSlot);
    if (slot < 0) {
        return -1;
    }
    SetFukiOrder(slot, kFukiSlots);
    return slot;
}

std::int32_t CPanel::ChangeFukiOrder(int slot, int how) {
    if (slot < 0 || slot >= kFukiSlots) {
        return 0;
    }
    std::int32_t front = 0;
    for (const CFuki& fuki : m_fuki) {
        front = std::max(front, fuki.m_nOrder);
    }
    const std::int64_t p = m_fuki[slot].m_nOrder;
    if (p < 1) {
        // A free slot (or one a file left outside the order) is not in the drawing order: an
        // order command must not bring it into use behind the panel's back.
        return m_fuki[slot].m_nOrder;
    }
    std::int64_t target = p;
    switch (how) {
    case ORDER_FORWARD:
        // Inserting two places up leaves the upper neighbour below: the two swap.
        target = std::min<std::int64_t>(p + 2, static_cast<std::int64_t>(front) + 1);
        break;
    case ORDER_FRONTMOST:
        target = static_cast<std::int64_t>(front) + 1;
        break;
    case ORDER_BACKWARD:
        target = std::max<std::int64_t>(p - 1, 1);
        break;
    case ORDER_BACKMOST:
        target = 1;
        break;
    default:
        return m_fuki[slot].m_nOrder;
    }
    return SetFukiOrder(slot, static_cast<std::int32_t>(target));
}

int CPanel::CountFuki() const {
    return static_cast<int>(std::count_if(m_fuki.begin(), m_fuki.end(),
                                          [](const CFuki& f) { return f.m_nOrder >= 1; }));
}

void CPanel::Serialize(CArchive& ar) {
    ar.Exchange(m_nVersion);
    ar.Exchange(m_nFirstWait);
    ar.Exchange(m_rcTotal);
    ar.Exchange(m_crBack);
    m_image.Serialize(ar);
    for (CFuki& fuki : m_fuki) {
        fuki.Serialize(ar);
    }
}
