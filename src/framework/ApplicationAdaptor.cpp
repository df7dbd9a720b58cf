#include "ApplicationAdaptor.h"

#include <QTimer>
#include <QUrl>

namespace fw {

CApplicationAdaptor::CApplicationAdaptor(QObject* parent) : QDBusAbstractAdaptor(parent) {}

void CApplicationAdaptor::Activate(const QVariantMap&) {
    QTimer::singleShot(0, this, [this] { emit activateRequested(); });
}

void CApplicationAdaptor::Open(const QStringList& uris, const QVariantMap&) {
    QStringList paths;
    for (const QString& uri : uris) {
        const QUrl url(uri);
        // Only local files can be opened; anything else is ignored.
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    QTimer::singleShot(0, this, [this, paths] {
        emit activateRequested();
        if (!paths.isEmpty()) {
            emit openRequested(paths);
        }
    });
}

void CApplicationAdaptor::ActivateAction(const QString&, const QVariantList&, const QVariantMap&) {
    // The program offers no actions of its own; the call only brings the window forward.
    QTimer::singleShot(0, this, [this] { emit activateRequested(); });
}

} // namespace fw
