#include "SingleInstance.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>
#include <QVariantMap>

#include "ApplicationAdaptor.h"

namespace fw {

namespace {

constexpr int kForwardTimeoutMs = 20000;
const QString kInterface = QStringLiteral("org.freedesktop.Application");

} // namespace

CSingleInstance::CSingleInstance(QObject* parent) : QObject(parent) {}

bool CSingleInstance::SessionBusAvailable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        return true;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

bool CSingleInstance::ForwardToRunning(const QStringList& paths) {
    if (paths.isEmpty() || !SessionBusAvailable()) {
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(kServiceName).value()) {
        return false;
    }
    QStringList uris;
    for (const QString& path : paths) {
        uris << QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kServiceName, kObjectPath, kInterface,
                                                       QStringLiteral("Open"));
    call << uris << QVariantMap();
    const QDBusMessage reply = bus.call(call, QDBus::Block, kForwardTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool CSingleInstance::Serve() {
    if (!SessionBusAvailable()) {
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return false;
    }
    auto* adaptor = new CApplicationAdaptor(this);
    connect(adaptor, &CApplicationAdaptor::activateRequested, this,
            &CSingleInstance::activateRequested);
    connect(adaptor, &CApplicationAdaptor::openRequested, this, &CSingleInstance::openRequested);
    if (!bus.registerObject(kObjectPath, this)) {
        return false;
    }
    if (!bus.registerService(kServiceName)) {
        bus.unregisterObject(kObjectPath);
        return false;
    }
    return true;
}

} // namespace fw
