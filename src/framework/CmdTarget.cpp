#include "CmdTarget.h"

namespace fw {

bool CCmdTarget::Execute(int id) {
    const auto found = m_handlers.find(id);
    if (found == m_handlers.end()) {
        return false;
    }
    // A copy: the handler may close the window that owns this target.
    const std::function<void()> handler = found->second;
    handler();
    return true;
}

std::optional<bool> CCmdTarget::IsChecked(int id) const {
    const auto found = m_checks.find(id);
    if (found == m_checks.end()) {
        return std::nullopt;
    }
    return found->second();
}

void CCmdTarget::AddHandler(int id, std::function<void()> handler) {
    m_handlers[id] = std::move(handler);
}

void CCmdTarget::AddCheck(int id, std::function<bool()> isChecked) {
    m_checks[id] = std::move(isChecked);
}

} // namespace fw
