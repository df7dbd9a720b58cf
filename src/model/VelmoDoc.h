#pragma once
// The panel document: one panel and its undo history.
#include "Document.h"
#include "Panel.h"
#include "UndoHistory.h"

class CVelmoDoc : public CDocumentBase {
public:
    CPanel m_panel;
    CUndoHistory m_history;

    // Stamps the picture-changed mark, pushes a snapshot, and marks the document modified.
    void RecordChange(bool bSetModified, bool bImageChanged);

    int FindFuki(std::int32_t position) const { return m_panel.FindFuki(position); }
    std::int32_t SetFukiOrder(int slot, std::int32_t position) {
        return m_panel.SetFukiOrder(slot, position);
    }
    // One order change is one history step.
    void ChangeFukiOrder(int slot, int how);
    // Returns the new slot, or -1 when all slots are in use (nothing recorded).
    int AddFuki();
    void DeleteFuki(int slot);
    // A copy of a balloon in use, frontmost, moved by (10, 10); -1 when no slot is free.
    int DuplicateFuki(int source);

    bool Undo() { return m_history.Undo(m_panel); }
    bool Redo() { return m_history.Redo(m_panel); }

    void Serialize(CArchive& ar) override;

protected:
    void OnPathNameChanged() override;
};
