#pragma once
// One running instance per session: the first instance owns a reverse-DNS name on the session
// bus; a later start with files hands them to it through "Open" and exits. Without a session
// bus every instance simply runs alone.
#include <QObject>
#include <QString>
#include <QStringList>

namespace fw {

class CSingleInstance : public QObject {
    Q_OBJECT
public:
    static inline const QString kServiceName = QStringLiteral("works.tollan.Velmo");
    static inline const QString kObjectPath = QStringLiteral("/works/tollan/Velmo");

    explicit CSingleInstance(QObject* parent = nullptr);

    // A session bus address is known (no bus is started just to look).
    static bool SessionBusAvailable();
    // Hands the files (made absolute) to the running instance; true when it took them.
    static bool ForwardToRunning(const QStringList& paths);
    // Claims the name and answers the interface; false without a bus or when the name is
    // owned by another instance.
    bool Serve();

signals:
    void activateRequested();
    void openRequested(const QStringList& paths);
};

} // namespace fw
