#pragma once
// Gets pictures ready ahead of their layers on one worker thread: the picture of the panel on
// screen at its zoom, then the next panel of the show read from its file and its picture decoded
// and scaled to the screen. The decode cache keeps what was prepared, so that when the player
// reads the panel at its turn and draws the picture, it finds the picture decoded and scaled and
// the user-interface thread only blits.
#include <QFuture>
#include <QSize>
#include <QThreadPool>
#include <string>

#include "model/PanelImage.h"
#include "model/PictureDecoder.h"

class CPanelPreparer {
public:
    CPanelPreparer();
    // Waits for the work in hand: it touches no window, but its pictures belong to the run.
    ~CPanelPreparer();
    CPanelPreparer(const CPanelPreparer&) = delete;
    CPanelPreparer& operator=(const CPanelPreparer&) = delete;

    // Starts the work for a panel just put on screen: its picture layer (copied, so the panel
    // may change meanwhile) at zoom, then the panel file at nextPath (UTF-8; "" for none) for a
    // screen of this size.
    void Start(const CPanelImage& current, int zoom, const std::string& nextPath, QSize screen);
    // Blocks until the work started last is done.
    void Wait();
    bool IsBusy() const;
    // The panel file the work started last prepared, or "".
    const std::string& NextPath() const { return m_strNextPath; }
    // The next panel's picture as prepared (held so that the cache keeps it), or null.
    PictureHandle PreparedPicture();
    // How many times work was started.
    int StartCount() const { return m_nStarts; }

private:
    QThreadPool m_pool;
    QFuture<PictureHandle> m_future;
    std::string m_strNextPath;
    int m_nStarts = 0;
};
