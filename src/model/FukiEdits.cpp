// The panel document's operations on balloons.
#include "VelmoDoc.h"

namespace {

constexpr CPoint kDuplicateOffset{10, 10};

COLORREF CFuki::*ColorField(EFukiColor which) {
    switch (which) {
    case EFukiColor::Fill:
        return &CFuki::m_crFill;
    case EFukiColor::Border:
        return &CFuki::m_crBorder;
    case EFukiColor::Text:
        break;
    }
    return &CFuki::m_crText;
}

} // namespace

const CFuki* CVelmoDoc::GetFuki(int slot) const {
    if (slot < 0 || slot >= kFukiSlots) {
        return nullptr;
    }
    const CFuki& fuki = m_panel.m_fuki[static_cast<std::size_t>(slot)];
    return fuki.IsInUse() ? &fuki : nullptr;
}

CFuki* CVelmoDoc::FukiInUse(int slot) {
    return const_cast<CFuki*>(GetFuki(slot));
}

bool CVelmoDoc::CommitFuki(int slot, const CFuki& after) {
    CFuki* fuki = FukiInUse(slot);
    if (!fuki || *fuki == after) {
        return false;
    }
    *fuki = after;
    Commit(false);
    return true;
}

int CVelmoDoc::AddFuki() {
    const int slot = m_panel.AddFuki();
    if (slot >= 0) {
        Commit(false);
    }
    return slot;
}

int CVelmoDoc::DuplicateFuki(int source) {
    const CFuki* original = GetFuki(source);
    if (!original) {
        return -1;
    }
    const CFuki content = *original;
    const int slot = m_panel.AddFuki();
    if (slot < 0) {
        return -1;
    }
    CFuki& copy = m_panel.m_fuki[static_cast<std::size_t>(slot)];
    copy.CopyContentFrom(content);
    copy.Move(kDuplicateOffset.x, kDuplicateOffset.y);
    Commit(false);
    return slot;
}

bool CVelmoDoc::DeleteFuki(int slot) {
    if (!GetFuki(slot)) {
        return false;
    }
    m_panel.SetFukiOrder(slot, kFreeSlot);
    m_panel.m_fuki[static_cast<std::size_t>(slot)].SetDefaults();
    Commit(false);
    return true;
}

bool CVelmoDoc::ChangeFukiOrder(int slot, int how) {
    if (!GetFuki(slot)) {
        return false;
    }
    std::array<std::int32_t, kFukiSlots> before{};
    for (int i = 0; i < kFukiSlots; ++i) {
        before[static_cast<std::size_t>(i)] = m_panel.m_fuki[static_cast<std::size_t>(i)].m_nOrder;
    }
    m_panel.ChangeFukiOrder(slot, how);
    for (int i = 0; i < kFukiSlots; ++i) {
        if (before[static_cast<std::size_t>(i)] !=
            m_panel.m_fuki[static_cast<std::size_t>(i)].m_nOrder) {
            Commit(false);
            return true;
        }
    }
    return false;
}

bool CVelmoDoc::EditFuki(int slot, const std::function<void(CFuki&)>& edit) {
    const CFuki* fuki = GetFuki(slot);
    if (!fuki) {
        return false;
    }
    CFuki after = *fuki;
    edit(after);
    return CommitFuki(slot, after);
}

bool CVelmoDoc::MoveFuki(int slot, CPoint delta) {
    return EditFuki(slot, [delta](CFuki& f) { MoveFukiBody(f, delta); });
}

bool CVelmoDoc::ResizeFuki(int slot, int handle, CPoint to) {
    if (handle < HANDLE_TOP_RIGHT || handle > HANDLE_BOTTOM_LEFT) {
        return false;
    }
    return EditFuki(slot, [handle, to](CFuki& f) { ResizeFukiBody(f, handle, to); });
}

bool CVelmoDoc::SetTail(int slot, CPoint to) {
    return EditFuki(slot, [to](CFuki& f) { f.m_ptTail = to; });
}

bool CVelmoDoc::SetFukiStyle(int slot, const CFuki& style) {
    return EditFuki(slot, [&style](CFuki& f) {
        f.CopyContentFrom(style);
        f.Normalize();
    });
}

bool CVelmoDoc::SetFukiText(int slot, const std::string& text) {
    return EditFuki(slot, [&text](CFuki& f) { f.m_strText = text; });
}

bool CVelmoDoc::SetFukiColor(int slot, EFukiColor which, COLORREF color) {
    return EditFuki(slot, [which, color](CFuki& f) { f.*ColorField(which) = color; });
}
