#pragma once
// Which screen the player shows on, and the screens as the "表示する画面" menu lists them.
#include <QList>
#include <QSize>
#include <QString>

class QScreen;
class QWidget;

// The screen chosen in the menu when it is present; otherwise the screen that holds the window
// the show is started from (the active window); otherwise the primary screen.
QScreen* PlayerScreen(const QWidget* startedFrom);
// A screen's size in device pixels: the size of the player's canvas on it.
QSize DevicePixelSize(const QScreen* screen);
// The screens in the order the menu lists them: the primary first, then the others by position.
QList<QScreen*> ListedScreens();
// A menu item's text for the screen at index (from 0) of ListedScreens().
QString ScreenItemText(int index, const QScreen* screen);
