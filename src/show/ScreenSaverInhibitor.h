#pragma once
// Keeps the desktop's screensaver and screen blanking off while a show plays, through the
// session bus's org.freedesktop.ScreenSaver service (Inhibit, then UnInhibit with its cookie).
// Without a session bus or without the service nothing happens and nothing is reported: the
// show plays as it would anyway. Calls never wait for the service, so a slow or hung desktop
// cannot hold up the show.
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

class CScreenSaverInhibitor : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kService = "org.freedesktop.ScreenSaver";
    static constexpr const char* kPath = "/org/freedesktop/ScreenSaver";

    explicit CScreenSaverInhibitor(QObject* parent = nullptr);
    // Releases what is held.
    ~CScreenSaverInhibitor() override;

    // Asks for the inhibition once; again only after Release.
    void Inhibit(const QString& reason);
    // Gives the inhibition back: at once when its cookie is known, else as soon as it arrives.
    // bWait waits (briefly) until the request has reached the bus, for a way out that may end
    // the process next.
    void Release(bool bWait = false);
    // Between Inhibit and Release.
    bool IsWanted() const { return m_bWanted; }
    // The service's cookie while it inhibits for this player.
    bool HasCookie() const { return m_bHasCookie; }

private:
    void OnInhibitReply(QDBusPendingCallWatcher* watcher);
    void SendUnInhibit(quint32 cookie, bool bWait);

    bool m_bWanted = false;
    bool m_bHasCookie = false;
    quint32 m_nCookie = 0;
    int m_nGeneration = 0; // which Inhibit a reply answers
};
