#pragma once
// A linear history of whole-panel snapshots (at most 20); the current snapshot equals the
// document's panel. Snapshots carry no decoded picture: crossing a step that replaced the
// picture decodes it again by name.
#include <cstdint>
#include <deque>

#include "Panel.h"

constexpr int kMaxSnapshots = 20;

class CUndoHistory {
public:
    int m_nCurrent = -1;

    void Push(const CPanel& panel);
    // Steps back or forward; crossing a step that replaced the picture decodes it with decoder.
    bool Undo(CPanel& panel, IPictureDecoder& decoder);
    bool Redo(CPanel& panel, IPictureDecoder& decoder);
    bool CanUndo() const { return m_nCurrent > 0; }
    bool CanRedo() const { return m_nCurrent + 1 < Count(); }
    int Count() const { return static_cast<int>(m_snapshots.size()); }
    // Changes with every step pushed, undone, redone or merged: equal values mean the history
    // was not touched in between.
    std::uint64_t Generation() const { return m_nGeneration; }
    // The current step absorbs the one before it, so that one undo goes back past both. Only
    // when the current step is the last one and has a step before it that is not the first
    // state; false (nothing changed) otherwise. Meant for steps that keep the picture.
    bool MergeWithPrevious();

private:
    std::deque<CPanel> m_snapshots;
    std::uint64_t m_nGeneration = 0;
};
