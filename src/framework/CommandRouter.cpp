#include "CommandRouter.h"

#include <QAction>

#include "CmdTarget.h"

namespace fw {

CCommandRouter::CCommandRouter(RouteProvider route, QObject* parent)
    : QObject(parent), m_route(std::move(route)) {}

bool CCommandRouter::IsEnabled(int id) const {
    for (CCmdTarget* target : m_route()) {
        if (target && target->HasHandler(id)) {
            return true;
        }
    }
    return false;
}

std::optional<bool> CCommandRouter::IsChecked(int id) const {
    for (CCmdTarget* target : m_route()) {
        if (!target) {
            continue;
        }
        if (auto checked = target->IsChecked(id)) {
            return checked;
        }
        if (target->HasHandler(id)) {
            return std::nullopt;
        }
    }
    return std::nullopt;
}

bool CCommandRouter::Route(int id) {
    for (CCmdTarget* target : m_route()) {
        if (target && target->HasHandler(id)) {
            target->Execute(id);
            UpdateActions();
            return true;
        }
    }
    return false;
}

void CCommandRouter::Bind(QAction* action, int id) {
    action->setData(id);
    m_actions.emplace_back(action);
    connect(action, &QAction::triggered, this, [this, id] { Route(id); });
    const bool enabled = IsEnabled(id);
    action->setEnabled(enabled);
}

void CCommandRouter::UpdateActions() {
    std::erase_if(m_actions, [](const QPointer<QAction>& action) { return action.isNull(); });
    for (const QPointer<QAction>& action : m_actions) {
        const int id = IdOf(action);
        action->setEnabled(IsEnabled(id));
        const std::optional<bool> checked = IsChecked(id);
        action->setCheckable(checked.has_value());
        if (checked) {
            action->setChecked(*checked);
        }
    }
}

int CCommandRouter::IdOf(const QAction* action) {
    return action ? action->data().toInt() : 0;
}

} // namespace fw
