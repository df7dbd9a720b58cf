#pragma once
// Something that can carry out commands: a view, a document, a frame or the application. A
// command is enabled exactly where a target on the route has a handler for it; targets declare
// no enabling rules of their own, only check marks where an item shows one.
#include <functional>
#include <optional>
#include <unordered_map>

namespace fw {

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    bool HasHandler(int id) const { return m_handlers.count(id) != 0; }
    // Carries out the command; false when this target has no handler for it.
    bool Execute(int id);
    // The check mark of an item, when this target gives one.
    std::optional<bool> IsChecked(int id) const;

protected:
    void AddHandler(int id, std::function<void()> handler);
    void AddCheck(int id, std::function<bool()> isChecked);
    void RemoveHandler(int id) { m_handlers.erase(id); }

private:
    std::unordered_map<int, std::function<void()>> m_handlers;
    std::unordered_map<int, std::function<bool()>> m_checks;
};

} // namespace fw
