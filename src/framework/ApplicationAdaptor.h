#pragma once
// The freedesktop application interface ("org.freedesktop.Application") that a running
// instance offers on the session bus, so that a second start hands its files over.
#include <QDBusAbstractAdaptor>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

namespace fw {

class CApplicationAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Application")
public:
    explicit CApplicationAdaptor(QObject* parent);

public slots:
    void Activate(const QVariantMap& platformData);
    void Open(const QStringList& uris, const QVariantMap& platformData);
    void ActivateAction(const QString& actionName, const QVariantList& parameter,
                        const QVariantMap& platformData);

signals:
    // Emitted after the call has been answered, so that dialogs shown while opening never
    // keep the caller waiting.
    void activateRequested();
    void openRequested(const QStringList& paths);
};

} // namespace fw
