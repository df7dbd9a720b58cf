#pragma once
// What the player remembers between runs, in the application's settings: per show file whether
// its automatic show starts again after its last layer, and the screen chosen for playing.
#include <QString>

// Whether the show file at path plays in a loop; false for a file never set.
bool IsShowLooped(const QString& showPath);
void SetShowLooped(const QString& showPath, bool bLoop);

// The name of the screen chosen for playing, or "" for the screen of the window the show is
// started from.
QString ChosenScreenName();
void SetChosenScreenName(const QString& name);
