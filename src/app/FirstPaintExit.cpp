#include "FirstPaintExit.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class CFirstPaintExit : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_bSeen) {
            return false;
        }
        // A panel view paints on its viewport.
        const auto* widget = qobject_cast<const QWidget*>(watched);
        const QWidget* view = widget ? widget->parentWidget() : nullptr;
        if (view && view->inherits("CVelmoView")) {
            m_bSeen = true;
            // After this paint has reached the display: the event loop ends in order.
            QTimer::singleShot(0, qApp, [] {
                QGuiApplication::sync();
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_bSeen = false;
};

} // namespace

void InstallFirstPaintExit() {
    if (qEnvironmentVariableIsSet("VELMO_EXIT_AFTER_FIRST_PAINT")) {
        qApp->installEventFilter(new CFirstPaintExit(qApp));
    }
}
