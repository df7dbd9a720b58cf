#include "AcceleratorTable.h"

#include <QAction>
#include <QWidget>

#include "CommandRouter.h"

namespace fw {

void InstallAccelerators(QWidget* window, const std::vector<Accelerator>& table,
                         CCommandRouter& router) {
    for (const Accelerator& accelerator : table) {
        auto* action = new QAction(window);
        action->setShortcut(accelerator.key);
        action->setShortcutContext(Qt::WindowShortcut);
        action->setObjectName(QStringLiteral("accel-%1").arg(accelerator.key.toString()));
        window->addAction(action);
        router.Bind(action, accelerator.id);
    }
}

} // namespace fw
