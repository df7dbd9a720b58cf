#include "UiTestSupport.h"

#include <QAction>
#include <QMenu>

#include "app/MainFrame.h"
#include "app/VelmoApp.h"
#include "editor/VelmoView.h"
#include "framework/CommandRouter.h"
#include "framework/FwDocument.h"
#include "framework/MDIChildWnd.h"

namespace uitest {

fw::CDocument* ActiveDocument(CVelmoApp& app) {
    fw::CMDIChildWnd* frame = app.MainFrame()->ActiveFrame();
    return frame ? frame->GetDocument() : nullptr;
}

CVelmoView* ActiveView(CVelmoApp& app) {
    fw::CMDIChildWnd* frame = app.MainFrame()->ActiveFrame();
    return frame ? dynamic_cast<CVelmoView*>(frame->GetView()) : nullptr;
}

namespace {

void DescribeInto(const QMenu* menu, QStringList& out) {
    const QList<QAction*> actions = menu->actions();
    for (const QAction* action : actions) {
        if (action->property("velmoDynamicItem").toBool()) {
            continue;
        }
        if (action->isSeparator()) {
            out << QStringLiteral("-");
        } else if (action->menu()) {
            out << QLatin1Char('>') + action->text();
            DescribeInto(action->menu(), out);
            out << QStringLiteral("<");
        } else {
            out << QStringLiteral("%1|%2")
                       .arg(fw::CCommandRouter::IdOf(action))
                       .arg(action->text());
        }
    }
}

} // namespace

QStringList Describe(const QMenu* menu) {
    QStringList out;
    DescribeInto(menu, out);
    return out;
}

QAction* FindAction(const QMenu* menu, int id) {
    const QList<QAction*> actions = menu->actions();
    for (QAction* action : actions) {
        if (!action->property("velmoDynamicItem").toBool() && !action->isSeparator() &&
            fw::CCommandRouter::IdOf(action) == id) {
            return action;
        }
        if (action->menu()) {
            if (QAction* inner = FindAction(action->menu(), id)) {
                return inner;
            }
        }
    }
    return nullptr;
}

} // namespace uitest
