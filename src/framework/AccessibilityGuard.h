#pragma once
// Screen readers ask for an object's properties on the accessibility bus one at a time (Get) or
// all at once (GetAll). The accessibility bridge of the Qt this program runs on reads a second
// argument of every properties call, which GetAll does not have, and crashes the program. The
// guard takes the bridge's place on the bus once the bridge has registered: it answers GetAll
// itself from the public accessibility interfaces and hands every other message to the bridge
// unchanged.
#include <QAccessible>
#include <QDBusVirtualObject>
#include <QPointer>

namespace fw {

class CAccessibilityGuard : public QDBusVirtualObject, public QAccessible::ActivationObserver {
    Q_OBJECT
public:
    // Steps in front of the bridge right after it registers: accessibility turning on is
    // observed, and the guard steps in with the next event, before any call from the bus is
    // handled (and, as a fallback, whenever the event loop goes idle). Does nothing more once
    // in place, or when accessibility never starts.
    static void Install();
    ~CAccessibilityGuard() override;

    void accessibilityActiveChanged(bool active) override;

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;
    QString introspect(const QString& path) const override;

private:
    explicit CAccessibilityGuard(QObject* parent);
    // True once the guard is in place (or cannot be).
    bool TryToStepIn();
    bool AnswerGetAll(const QDBusMessage& message, const QDBusConnection& connection) const;

    QPointer<QDBusVirtualObject> m_pBridge;
    bool m_bInPlace = false;
};

} // namespace fw
