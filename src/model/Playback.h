#pragma once
// The full-screen player: which panel of a show is on screen, which of its layers have been
// drawn, and what each show event (timer tick, click, key) does next. The window only carries
// out the returned action: it draws the named layer over what the screen shows (or, after a
// step back or a jump, the shown layers afresh), shows or hides itself and starts or stops its
// 100 ms timer. Layers advance on these events alone; a repaint for any other reason redraws
// GetShownLayers() and advances nothing.
#include <array>
#include <string>
#include <vector>

#include "Panel.h"
#include "PlaybackPanel.h"
#include "ShowData.h"

enum class EShowLayer {
    None,       // nothing to draw
    Background, // the panel's background colour over the whole screen
    Picture,    // the picture layer, zoomed and offset (nothing when the panel has none)
    Balloon,    // the balloon in m_nSlot, zoomed and offset, never selected
};

struct CShowLayer {
    EShowLayer m_eKind = EShowLayer::None;
    int m_nSlot = -1; // the balloon slot of a Balloon layer
    friend bool operator==(const CShowLayer&, const CShowLayer&) = default;
};

enum class ETimerChange {
    Keep,
    Start, // (re)start the 100 ms timer from now
    Stop,
};

// What the window must do after an event.
struct CPlaybackAction {
    CShowLayer m_layer;       // draw this layer now, over what is on screen
    bool m_bRedraw = false;   // draw GetShownLayers() afresh: the screen went back
    bool m_bNewPanel = false; // m_panel, the zoom and the offsets changed with this layer
    bool m_bShow = false;     // show full screen, topmost, activated
    bool m_bHide = false;     // hide: the show is over
    ETimerChange m_eTimer = ETimerChange::Keep;
};

enum class EStartOutcome {
    Started,          // the window shows the first layer
    NothingToPlay,    // the starting index is past the names (a negative count): no message
    DamagedShowFile,  // the show file ends early: the framework's message, window hidden
    DamagedPanelFile, // the first panel file ends early: the framework's message, window hidden
};

struct CPlaybackStart : CPlaybackAction {
    EStartOutcome m_eOutcome = EStartOutcome::Started;
    CArchiveException::ECause m_eCause = CArchiveException::endOfFile; // when damaged
    std::string m_strFile; // the damaged file (UTF-8) when damaged
};

// The keys the player tells apart; every other key is Other and advances.
enum class EShowKey {
    Escape, // ends the show
    Back,   // Left, Up, Page Up, Backspace: one layer back
    Pause,  // "P": pauses or resumes the waits in automatic mode; advances in manual mode
    Digit,  // 0 to 9: part of a panel number, gone to with Enter
    Enter,  // goes to the panel number typed; with none typed, advances
    Other,
};

class CPlayback {
public:
    std::int32_t m_nZoom = 0;
    std::int32_t m_nOffsetX = 0;
    std::int32_t m_nOffsetY = 0;
    std::int32_t m_nCount = 0; // names in the show; a negative count plays nothing
    std::int32_t m_nIndex = 0; // the panel on screen
    bool m_bManual = false;    // clicks and keys advance; otherwise the waits do
    bool m_bLoop = false;      // automatic mode: after the last layer, the first panel again
    std::string m_strFolder;   // UTF-8 folder of the show, ending with '/'
    std::array<std::string, kMaxShowNames> m_strNames; // code page 932, without ".vlm"
    CPanel m_panel;
    std::int32_t m_nStep = 0;      // the layer drawn next: 0, 1, or s >= 2 (position s - 1)
    std::int32_t m_nWaitTicks = 0; // ticks still to wait after the layer drawn last

    // Every panel's picture is decoded by decoder, which must outlive the playback.
    explicit CPlayback(IPictureDecoder& decoder) : m_decoder(decoder) {}
    CPlayback(IPictureDecoder& decoder, int screenWidth, int screenHeight);
    // The decoder panels are read with; the window preparing a panel ahead reads with it too.
    IPictureDecoder& PictureDecoder() const { return m_decoder; }
    // The size panels are fitted to from the next panel on (the window keeps its start-up size).
    void SetScreenSize(int screenWidth, int screenHeight);
    int GetScreenWidth() const { return m_nScreenWidth; }
    int GetScreenHeight() const { return m_nScreenHeight; }

    // Plays a saved show file (".vls") or a saved panel document (".vlm", a one-panel show);
    // any other path, or a file that cannot be opened, plays an empty show. Replaces whatever
    // was playing.
    CPlaybackStart PlayDocumentFile(const std::string& path, bool bManual, bool bLoop = false);
    // Starts from m_nIndex with the names, folder and mode already set. An empty show shows the
    // black reset panel until Escape, with no timer. Any outcome but Started leaves the window
    // hidden and the timer stopped.
    CPlaybackStart StartShow();

    // One 100 ms tick of the timer (automatic mode).
    CPlaybackAction Tick();
    // A left click: advances in manual mode only.
    CPlaybackAction Click();
    // A key press (held-key repeats included): Escape ends the show, any other key advances.
    CPlaybackAction Key(bool bEscape) {
        return KeyPress(bEscape ? EShowKey::Escape : EShowKey::Other);
    }
    // A key press told apart (nDigit for Digit). A panel number being typed is dropped by any
    // key but a digit or Enter.
    CPlaybackAction KeyPress(EShowKey key, int nDigit = 0);
    // The platform's close request: the same as Escape.
    CPlaybackAction Close() { return Key(true); }

    // One layer back: the screen shows the layers before the last one shown; from a panel's
    // first layer, the previous panel with all its layers; at the show's first layer nothing.
    // In automatic mode the wait of the layer now last starts again.
    CPlaybackAction Back();
    // Automatic mode: stops or restarts the countdown where it stood. Keys still step.
    CPlaybackAction Pause();
    // Puts the first layer of the panel at index (from 0) on screen; nothing outside the show.
    CPlaybackAction GoToPanel(int index);

    bool IsPlaying() const { return m_bPlaying; }
    bool IsPaused() const { return m_bPlaying && m_bPaused; }
    bool IsTimerRunning() const { return m_bPlaying && !m_bManual && m_nCount != 0 && !m_bPaused; }
    // The panel number (from 1) typed so far, or -1.
    std::int32_t GetTypedNumber() const { return m_nTyped; }
    // The layer the next advance draws on this panel; None when it leaves the panel instead.
    CShowLayer PeekNextLayer() const { return LayerAt(m_nStep); }
    // The layers of the current panel on screen now, bottom first; empty while hidden.
    std::vector<CShowLayer> GetShownLayers() const;

    // The panel file of a show entry, or "" outside the names or for a name that is not a bare
    // file name (such an entry plays as the blank reset panel).
    std::string GetPanelPath(int index) const;
    // The panel file the next change of panel will read, or "" when the show ends instead; the
    // window may read it and prepare its picture ahead.
    std::string PeekNextPanelPath() const;

private:
    int PlayableCount() const;
    bool LoopsAtEnd() const { return m_bLoop && !m_bManual; }
    std::int32_t LayerCount() const;
    ETimerChange RestartedTimer() const;
    CShowLayer LayerAt(std::int32_t step) const;
    std::int32_t WaitAfter(const CShowLayer& layer) const;
    CPanelRead LoadPanel();
    bool NextPanel();
    CPlaybackAction DrawNextLayer();
    CPlaybackAction Hide();
    CPlaybackStart Abandon(EStartOutcome outcome);

    IPictureDecoder& m_decoder;
    bool m_bPlaying = false;
    bool m_bPaused = false;
    std::int32_t m_nTyped = -1;
    int m_nScreenWidth = 0;
    int m_nScreenHeight = 0;
};
