#pragma once
// Presses of one key that follow each other within a second make one history step: holding an
// arrow key down, or tapping it a few times, moves a balloon by many pixels and one undo takes
// all of it back. Time comes from the caller (milliseconds of any steady clock), so the rule is
// tested with explicit times.
#include <cstdint>
#include <functional>

#include "UndoHistory.h"

class CRepeatedStep {
public:
    static constexpr std::int64_t kWindowMs = 1000;

    // Runs an edit that records at most one step, for a press of key at nowMs. When the edit
    // changed the document, follows a press of the same key by less than the window, and the
    // history was not touched since, its step is merged into the one of the presses before.
    // Returns the edit's result.
    bool Apply(CUndoHistory& history, int key, std::int64_t nowMs,
               const std::function<bool()>& edit);
    // The next press begins a step of its own.
    void Forget() { m_bActive = false; }

private:
    bool m_bActive = false;
    int m_nKey = 0;
    std::int64_t m_nTimeMs = 0;
    std::uint64_t m_nGeneration = 0;
};
