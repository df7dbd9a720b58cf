#include "FukiClipboard.h"

#include "Archive.h"
#include "VelmoDoc.h"

namespace {

constexpr std::int32_t kPasteOffset = 10;

} // namespace

std::vector<std::uint8_t> FukiRecordBytes(const CFuki& fuki) {
    CArchive ar = CArchive::ForStoring();
    CFuki copy = fuki;
    copy.Serialize(ar);
    return ar.GetStoredBytes();
}

bool FukiFromRecordBytes(std::span<const std::uint8_t> bytes, CFuki& fuki) {
    CArchive ar = CArchive::ForLoading(bytes);
    CFuki read;
    try {
        read.Serialize(ar);
    } catch (const CArchiveException&) {
        return false;
    }
    if (ar.GetPosition() != bytes.size()) {
        return false;
    }
    fuki = read;
    return true;
}

bool SameFukiContent(const CFuki& a, const CFuki& b) {
    CFuki left = a;
    CFuki right = b;
    left.m_nOrder = right.m_nOrder = 0;
    return FukiRecordBytes(left) == FukiRecordBytes(right);
}

int FirstFreeSlot(const CPanel& panel) {
    for (int slot = 0; slot < kFukiSlots; ++slot) {
        if (!panel.m_fuki[static_cast<std::size_t>(slot)].IsInUse()) {
            return slot;
        }
    }
    return -1;
}

CFuki PlaceForPaste(const CPanel& panel, const CFuki& copied) {
    CFuki placed = copied;
    // Ten balloons at most: after as many steps the spot is free of alike ones.
    for (int step = 0; step <= kFukiSlots; ++step) {
        bool covered = false;
        for (const CFuki& fuki : panel.m_fuki) {
            covered = covered || (fuki.IsInUse() && SameFukiContent(fuki, placed));
        }
        if (!covered) {
            break;
        }
        placed.Move(kPasteOffset, kPasteOffset);
    }
    return placed;
}

int CVelmoDoc::PasteFuki(const CFuki& copied) {
    const int slot = FirstFreeSlot(m_panel);
    if (slot < 0) {
        return -1;
    }
    CFuki& fuki = m_panel.m_fuki[static_cast<std::size_t>(slot)];
    fuki = PlaceForPaste(m_panel, copied);
    fuki.m_nOrder = kFreeSlot;
    // Frontmost, as a new balloon.
    m_panel.SetFukiOrder(slot, kFukiSlots);
    Commit(false);
    return slot;
}
