#pragma once
// A linear history of whole-panel snapshots (at most 20); the current snapshot equals the
// document's panel. Snapshots carry no decoded picture: crossing a step that replaced the
// picture decodes it again by name.
#include <deque>

#include "Panel.h"

constexpr int kMaxSnapshots = 20;

class CUndoHistory {
public:
    int m_nCurrent = -1;

    void Push(const CPanel& panel);
    bool Undo(CPanel& panel);
    bool Redo(CPanel& panel);
    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent + 1 < Count(); }
    int Count() const { return static_cast<int>(m_snapshots.size()); }

private:
    std::deque<CPanel> m_snapshots;
};
