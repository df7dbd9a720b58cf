#include "PlayerSettings.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace {

const QString kShowsGroup = QStringLiteral("Shows");
const QString kLoopKey = QStringLiteral("Loop");
const QString kScreenKey = QStringLiteral("Player/Screen");

// One group per show file: its absolute path, encoded so that its slashes do not nest groups.
QString ShowGroup(const QString& showPath) {
    const QString absolute = QFileInfo(showPath).absoluteFilePath();
    return kShowsGroup + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(absolute));
}

} // namespace

bool IsShowLooped(const QString& showPath) {
    if (showPath.isEmpty()) {
        return false;
    }
    QSettings settings;
    return settings.value(ShowGroup(showPath) + QLatin1Char('/') + kLoopKey, false).toBool();
}

void SetShowLooped(const QString& showPath, bool bLoop) {
    if (showPath.isEmpty()) {
        return;
    }
    QSettings settings;
    if (bLoop) {
        settings.setValue(ShowGroup(showPath) + QLatin1Char('/') + kLoopKey, true);
    } else {
        // A show that does not loop leaves nothing behind.
        settings.remove(ShowGroup(showPath));
    }
}

QString ChosenScreenName() {
    return QSettings().value(kScreenKey).toString();
}

void SetChosenScreenName(const QString& name) {
    QSettings settings;
    if (name.isEmpty()) {
        settings.remove(kScreenKey);
    } else {
        settings.setValue(kScreenKey, name);
    }
}
