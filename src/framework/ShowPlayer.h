#pragma once
// The application's one full-screen playback window, as the views that play through it see
// it: the panel view's and the show view's slideshow commands hand it a saved file. The
// application installs its window at start-up; tests may install a stand-in.
#include <QString>

class QWidget;

namespace fw {

class IShowPlayer {
public:
    virtual ~IShowPlayer() = default;
    // Plays the saved show (".vls") or panel document (".vlm") at path, full screen; any other
    // path plays an empty show. Replaces whatever was playing.
    virtual void PlayDocumentFile(const QString& path, bool bManual) = 0;
};

// The player in use, or null before start-up installed one.
IShowPlayer* ShowPlayer();
void SetShowPlayer(IShowPlayer* player);

// What both views say when asked to play a document with unsaved changes: the player reads
// the saved file, so the changes would not be seen ("保存", OK, no icon).
void RefuseUnsavedShow(QWidget* parent);

} // namespace fw
