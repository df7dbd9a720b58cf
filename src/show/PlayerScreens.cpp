#include "PlayerScreens.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

#include "PlayerSettings.h"

QScreen* PlayerScreen(const QWidget* startedFrom) {
    const QString chosen = ChosenScreenName();
    if (!chosen.isEmpty()) {
        const QList<QScreen*> screens = QGuiApplication::screens();
        for (QScreen* screen : screens) {
            if (screen->name() == chosen) {
                return screen;
            }
        }
        // A projector no longer plugged in: the show goes where it would without a choice.
    }
    if (startedFrom) {
        if (QScreen* screen = startedFrom->screen()) {
            return screen;
        }
    }
    return QGuiApplication::primaryScreen();
}

QSize DevicePixelSize(const QScreen* screen) {
    if (!screen) {
        return QSize(640, 480);
    }
    const QSize logical = screen->geometry().size();
    const qreal ratio = screen->devicePixelRatio();
    return QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
}

QList<QScreen*> ListedScreens() {
    QList<QScreen*> screens = QGuiApplication::screens();
    QScreen* primary = QGuiApplication::primaryScreen();
    std::stable_sort(screens.begin(), screens.end(), [primary](QScreen* a, QScreen* b) {
        if ((a == primary) != (b == primary)) {
            return a == primary;
        }
        const QPoint pa = a->geometry().topLeft();
        const QPoint pb = b->geometry().topLeft();
        return pa.x() != pb.x() ? pa.x() < pb.x() : pa.y() < pb.y();
    });
    return screens;
}

QString ScreenItemText(int index, const QScreen* screen) {
    const QSize size = screen->geometry().size();
    QString name = screen->name();
    name.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2 (%3 × %4)")
        .arg(index + 1)
        .arg(name)
        .arg(size.width())
        .arg(size.height());
}
