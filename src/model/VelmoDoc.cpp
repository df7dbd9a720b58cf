#include "VelmoDoc.h"

#include "FileSystem.h"

void CVelmoDoc::RecordChange(bool bSetModified, bool bImageChanged) {
    m_panel.m_bImageChanged = bImageChanged ? 1 : 0;
    m_history.Push(m_panel);
    if (bSetModified) {
        SetModifiedFlag(true);
    }
}

void CVelmoDoc::ChangeFukiOrder(int slot, int how) {
    m_panel.ChangeFukiOrder(slot, how);
    RecordChange(true, false);
}

int CVelmoDoc::AddFuki() {
    const int slot = m_panel.AddFuki();
    if (slot >= 0) {
        RecordChange(true, false);
    }
    return slot;
}

void CVelmoDoc::DeleteFuki(int slot) {
    if (slot < 0 || slot >= kFukiSlots) {
        return;
    }
    m_panel.SetFukiOrder(slot, kFreeSlot);
    m_panel.m_fuki[static_cast<std::size_t>(slot)].SetDefaults();
    RecordChange(true, false);
}

int CVelmoDoc::DuplicateFuki(int source) {
    if (source < 0 || source >= kFukiSlots) {
        return -1;
    }
    const int slot = m_panel.AddFuki();
    if (slot < 0) {
        return -1;
    }
    CFuki& copy = m_panel.m_fuki[static_cast<std::size_t>(slot)];
    copy.CopyContentFrom(m_panel.m_fuki[static_cast<std::size_t>(source)]);
    copy.Move(10, 10);
    RecordChange(true, false);
    return slot;
}

void CVelmoDoc::Serialize(CArchive& ar) {
    m_panel.Serialize(ar);
}

void CVelmoDoc::OnPathNameChanged() {
    m_panel.m_image.m_strHomeFolder = FolderOf(GetPathName());
}
