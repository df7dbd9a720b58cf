#include "ScreenSaverInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

constexpr const char* kInterface = "org.freedesktop.ScreenSaver";
// How long a release on the way out may wait for the bus.
constexpr int kReleaseWaitMs = 1000;

QDBusMessage ScreenSaverCall(const char* method) {
    return QDBusMessage::createMethodCall(QLatin1String(CScreenSaverInhibitor::kService),
                                          QLatin1String(CScreenSaverInhibitor::kPath),
                                          QLatin1String(kInterface), QLatin1String(method));
}

} // namespace

CScreenSaverInhibitor::CScreenSaverInhibitor(QObject* parent) : QObject(parent) {}

CScreenSaverInhibitor::~CScreenSaverInhibitor() {
    Release(true);
}

void CScreenSaverInhibitor::Inhibit(const QString& reason) {
    if (m_bWanted) {
        return;
    }
    m_bWanted = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = ScreenSaverCall("Inhibit");
    call << QCoreApplication::applicationName() << reason;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    watcher->setProperty("generation", ++m_nGeneration);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &CScreenSaverInhibitor::OnInhibitReply);
}

void CScreenSaverInhibitor::OnInhibitReply(QDBusPendingCallWatcher* watcher) {
    watcher->deleteLater();
    const QDBusPendingReply<quint32> reply = *watcher;
    if (reply.isError()) {
        return; // no such service: the desktop has nothing to inhibit
    }
    const quint32 cookie = reply.value();
    if (m_bWanted && watcher->property("generation").toInt() == m_nGeneration && !m_bHasCookie) {
        m_bHasCookie = true;
        m_nCookie = cookie;
        return;
    }
    // The show ended before the service answered: give it back now.
    SendUnInhibit(cookie, false);
}

void CScreenSaverInhibitor::Release(bool bWait) {
    if (!m_bWanted) {
        return;
    }
    m_bWanted = false;
    ++m_nGeneration;
    if (m_bHasCookie) {
        m_bHasCookie = false;
        SendUnInhibit(m_nCookie, bWait);
    }
}

void CScreenSaverInhibitor::SendUnInhibit(quint32 cookie, bool bWait) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call = ScreenSaverCall("UnInhibit");
    call << cookie;
    if (bWait) {
        bus.call(call, QDBus::Block, kReleaseWaitMs);
    } else {
        bus.send(call);
    }
}
