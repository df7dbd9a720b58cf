#include "UndoHistory.h"

void CUndoHistory::Push(const CPanel& panel) {
    ++m_nGeneration;
    // Every redo step is dropped.
    while (Count() != m_nCurrent + 1 && !m_snapshots.empty()) {
        m_snapshots.pop_back();
    }
    m_snapshots.emplace_back();
    m_snapshots.back().CopyFrom(panel);
    ++m_nCurrent;
    if (Count() > kMaxSnapshots) {
        m_snapshots.pop_front();
        --m_nCurrent;
    }
}

bool CUndoHistory::Undo(CPanel& panel, IPictureDecoder& decoder) {
    if (m_nCurrent <= 0) {
        return false;
    }
    // The mark of the state being left says whether that step replaced the picture.
    const bool leavingPictureChange = panel.m_bImageChanged == 1;
    ++m_nGeneration;
    --m_nCurrent;
    panel.CopyFrom(m_snapshots[static_cast<std::size_t>(m_nCurrent)]);
    if (leavingPictureChange) {
        panel.m_image.Reload(decoder);
    }
    return true;
}

bool CUndoHistory::Redo(CPanel& panel, IPictureDecoder& decoder) {
    if (m_nCurrent + 1 >= Count()) {
        return false;
    }
    ++m_nGeneration;
    ++m_nCurrent;
    panel.CopyFrom(m_snapshots[static_cast<std::size_t>(m_nCurrent)]);
    if (panel.m_bImageChanged == 1) {
        panel.m_image.Reload(decoder);
    }
    return true;
}

bool CUndoHistory::MergeWithPrevious() {
    if (m_nCurrent < 2 || m_nCurrent + 1 != Count()) {
        return false;
    }
    m_snapshots.erase(m_snapshots.begin() + (m_nCurrent - 1));
    --m_nCurrent;
    ++m_nGeneration;
    return true;
}
