#include "RepeatedStep.h"

bool CRepeatedStep::Apply(CUndoHistory& history, int key, std::int64_t nowMs,
                          const std::function<bool()>& edit) {
    const bool continues = m_bActive && m_nKey == key && nowMs >= m_nTimeMs &&
                           nowMs - m_nTimeMs < kWindowMs && history.Generation() == m_nGeneration;
    if (!edit()) {
        // Nothing changed (a limit reached): the presses so far stay one step.
        if (continues) {
            m_nTimeMs = nowMs;
        }
        return false;
    }
    if (continues) {
        history.MergeWithPrevious();
    }
    m_bActive = true;
    m_nKey = key;
    m_nTimeMs = nowMs;
    m_nGeneration = history.Generation();
    return true;
}
