#pragma once
// Routes a command id along the active view, its document, its frame, the main frame and the
// application, to the first that handles it. Every menu item, tool bar button and accelerator
// is an action bound to an id here; an action is enabled only while some target on the route
// handles its id, and carries a check mark when that target gives one.
#include <functional>
#include <optional>
#include <vector>

#include <QObject>
#include <QPointer>

class QAction;

namespace fw {

class CCmdTarget;

class CCommandRouter : public QObject {
    Q_OBJECT
public:
    using RouteProvider = std::function<std::vector<CCmdTarget*>()>;

    explicit CCommandRouter(RouteProvider route, QObject* parent = nullptr);

    bool IsEnabled(int id) const;
    std::optional<bool> IsChecked(int id) const;
    // Carries out the command at the first target that handles it; false when none does.
    bool Route(int id);

    // The action's data becomes the id; triggering it routes the id.
    void Bind(QAction* action, int id);
    // Re-evaluates enabling and check marks of every bound action (after the active window,
    // the open documents or a bar's visibility changed).
    void UpdateActions();

    static int IdOf(const QAction* action);

private:
    RouteProvider m_route;
    std::vector<QPointer<QAction>> m_actions;
};

} // namespace fw
