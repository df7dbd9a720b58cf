#pragma once
// The application's one full-screen playback window, as the views that play through it see
// it: the panel view's and the show view's slideshow commands hand it a saved file. The
// application installs its window at start-up; tests may install a stand-in.
#include <QString>

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

} // namespace fw
