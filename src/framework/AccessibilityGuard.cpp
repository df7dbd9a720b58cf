#include "AccessibilityGuard.h"

#include <QAbstractEventDispatcher>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QLocale>
#include <QTimer>
#include <QVariantMap>
#include <memory>

namespace {

const QString kConnectionName = QStringLiteral("a11y");
const QString kTreePath = QStringLiteral("/org/a11y/atspi/accessible");
const QString kRootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString kRegistry = QStringLiteral("org.a11y.atspi.Registry");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

// An object on the bus: (so).
struct SObjectRef {
    QString strService;
    QDBusObjectPath path;
};

QDBusArgument& operator<<(QDBusArgument& argument, const SObjectRef& ref) {
    argument.beginStructure();
    argument << ref.strService << ref.path;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, SObjectRef& ref) {
    argument.beginStructure();
    argument >> ref.strService >> ref.path;
    argument.endStructure();
    return argument;
}

} // namespace

Q_DECLARE_METATYPE(SObjectRef)

namespace fw {

namespace {

// The bridge's naming of objects: the application is "root", every other object its id.
QString PathOf(QAccessibleInterface* object) {
    if (object == nullptr || !object->isValid()) {
        return QStringLiteral("/org/a11y/atspi/null");
    }
    if (object->role() == QAccessible::Application) {
        return kRootPath;
    }
    return kTreePath + QLatin1Char('/') + QString::number(QAccessible::uniqueId(object));
}

QAccessibleInterface* ObjectAt(const QString& path) {
    if (path == kRootPath) {
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    if (!path.startsWith(kTreePath + QLatin1Char('/'))) {
        return nullptr;
    }
    bool ok = false;
    const uint id = path.mid(kTreePath.size() + 1).toUInt(&ok);
    return ok ? QAccessible::accessibleInterface(id) : nullptr;
}

QVariant RefTo(const QString& service, const QString& path) {
    return QVariant::fromValue(SObjectRef{service, QDBusObjectPath(path)});
}

} // namespace

CAccessibilityGuard::CAccessibilityGuard(QObject* parent) : QDBusVirtualObject(parent) {
    qDBusRegisterMetaType<SObjectRef>();
    QAccessible::installActivationObserver(this);
}

CAccessibilityGuard::~CAccessibilityGuard() {
    QAccessible::removeActivationObserver(this);
}

void CAccessibilityGuard::accessibilityActiveChanged(bool active) {
    if (active && !m_bInPlace) {
        // The bridge registers right after telling that accessibility is on.
        QTimer::singleShot(0, this, [this] { TryToStepIn(); });
    }
}

void CAccessibilityGuard::Install() {
    auto* dispatcher = QAbstractEventDispatcher::instance();
    if (dispatcher == nullptr || QCoreApplication::instance() == nullptr) {
        return;
    }
    auto* guard = new CAccessibilityGuard(QCoreApplication::instance());
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, guard,
                                   [guard, connection] {
                                       if (guard->TryToStepIn()) {
                                           QObject::disconnect(*connection);
                                       }
                                   });
    // Accessibility may be on already.
    QTimer::singleShot(0, guard, [guard] { guard->TryToStepIn(); });
}

bool CAccessibilityGuard::TryToStepIn() {
    if (m_bInPlace) {
        return true;
    }
    QDBusConnection bus(kConnectionName);
    if (!bus.isConnected()) {
        return false; // accessibility not (yet) on
    }
    auto* bridge = qobject_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(kTreePath));
    if (bridge == nullptr) {
        return false; // the bridge has not registered yet
    }
    if (bridge != this) {
        m_pBridge = bridge;
        bus.unregisterObject(kTreePath);
        if (!bus.registerVirtualObject(kTreePath, this, QDBusConnection::SubPath)) {
            // Give the place back rather than leave the tree unanswered.
            bus.registerVirtualObject(kTreePath, bridge, QDBusConnection::SubPath);
        }
    }
    m_bInPlace = true;
    return true;
}

QString CAccessibilityGuard::introspect(const QString& path) const {
    return m_pBridge ? m_pBridge->introspect(path) : QString();
}

bool CAccessibilityGuard::handleMessage(const QDBusMessage& message,
                                        const QDBusConnection& connection) {
    if (message.interface() == kProperties && message.member() == QStringLiteral("GetAll")) {
        return AnswerGetAll(message, connection);
    }
    // Get and Set carry both their arguments; anything else the bridge handles as it is.
    if (message.interface() == kProperties && message.arguments().size() < 2) {
        connection.send(message.createErrorReply(QDBusError::InvalidArgs,
                                                 QStringLiteral("Interface and property needed")));
        return true;
    }
    return m_pBridge ? m_pBridge->handleMessage(message, connection) : false;
}

bool CAccessibilityGuard::AnswerGetAll(const QDBusMessage& message,
                                       const QDBusConnection& connection) const {
    const QList<QVariant> arguments = message.arguments();
    const QString interface = arguments.isEmpty() ? QString() : arguments.first().toString();
    QAccessibleInterface* object = ObjectAt(message.path());
    if (object == nullptr || !object->isValid()) {
        connection.send(message.createErrorReply(QDBusError::UnknownObject, message.path()));
        return true;
    }
    QVariantMap properties;
    if (interface == QStringLiteral("org.a11y.atspi.Accessible")) {
        properties[QStringLiteral("Name")] = object->text(QAccessible::Name);
        properties[QStringLiteral("Description")] = object->text(QAccessible::Description);
        properties[QStringLiteral("HelpText")] = object->text(QAccessible::Help);
        properties[QStringLiteral("Locale")] = QLocale().name();
        properties[QStringLiteral("AccessibleId")] = QString();
        properties[QStringLiteral("ChildCount")] = object->childCount();
        QAccessibleInterface* parent = object->parent();
        properties[QStringLiteral("Parent")] =
            object->role() == QAccessible::Application || parent == nullptr
                ? RefTo(kRegistry, kRootPath)
                : RefTo(connection.baseService(), PathOf(parent));
    } else if (interface == QStringLiteral("org.a11y.atspi.Application")) {
        properties[QStringLiteral("ToolkitName")] = QStringLiteral("Qt");
        properties[QStringLiteral("Version")] = QString::fromLatin1(qVersion());
        properties[QStringLiteral("AtspiVersion")] = QStringLiteral("2.1");
    } else if (interface == QStringLiteral("org.a11y.atspi.Text") && object->textInterface()) {
        properties[QStringLiteral("CharacterCount")] = object->textInterface()->characterCount();
        properties[QStringLiteral("CaretOffset")] = object->textInterface()->cursorPosition();
    } else if (interface == QStringLiteral("org.a11y.atspi.Value") && object->valueInterface()) {
        QAccessibleValueInterface* value = object->valueInterface();
        properties[QStringLiteral("CurrentValue")] = value->currentValue().toDouble();
        properties[QStringLiteral("MinimumValue")] = value->minimumValue().toDouble();
        properties[QStringLiteral("MaximumValue")] = value->maximumValue().toDouble();
        properties[QStringLiteral("MinimumIncrement")] = value->minimumStepSize().toDouble();
    } else if (interface == QStringLiteral("org.a11y.atspi.Action") && object->actionInterface()) {
        properties[QStringLiteral("NActions")] =
            static_cast<int>(object->actionInterface()->actionNames().size());
    } else if (interface == QStringLiteral("org.a11y.atspi.Component") ||
               interface == QStringLiteral("org.a11y.atspi.EditableText")) {
        // No properties.
    } else {
        // Properties the guard does not compose: the caller asks for them one by one.
        connection.send(message.createErrorReply(QDBusError::NotSupported,
                                                 QStringLiteral("Ask for each property")));
        return true;
    }
    connection.send(message.createReply(QVariant::fromValue(properties)));
    return true;
}

} // namespace fw
