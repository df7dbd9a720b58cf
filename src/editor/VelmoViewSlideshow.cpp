// The single-panel slideshow of the panel view: "手動" (32845) and "自動" (32846) play the saved
// panel document full screen through the application's playback window, as one panel of a show.
// The saved file is played, not the editor's memory, so a modified document is refused.
#include "VelmoView.h"
#include "framework/CommandIds.h"
#include "framework/FwDocument.h"
#include "framework/ShowPlayer.h"

namespace {

void PlaySlideshow(CVelmoView& view, bool bManual) {
    fw::CDocument* document = view.GetDocumentShell();
    if (!document) {
        return;
    }
    if (document->IsModified()) {
        fw::RefuseUnsavedShow(&view);
        return;
    }
    // A document never saved has no path: the player then shows an empty show.
    if (fw::IShowPlayer* player = fw::ShowPlayer()) {
        player->PlayDocumentFile(document->GetPathName(), bManual);
    }
}

} // namespace

void CVelmoView::RegisterSlideshowCommands() {
    AddHandler(cmd::ID_SLIDESHOW_MANUAL, [this] { PlaySlideshow(*this, true); });
    AddHandler(cmd::ID_SLIDESHOW_AUTO, [this] { PlaySlideshow(*this, false); });
}
