#pragma once
// The program's one full-screen playback window: plays a saved show or panel document layer by
// layer, by hand (clicks and keys) or with the wait times (a 100 ms timer). The playback state
// machine decides every step; this window draws each layer onto a screen-sized canvas, shows
// the canvas, shows and hides itself, runs the timer in automatic mode only, and has the next
// panel prepared on a worker thread while the current layer waits: where a layer was prepared,
// the finished screen is swapped in instead of drawn. A picture layer due before the worker has
// made its screen is drawn at once from the picture's coarsest step, enlarged, and replaced by
// the sharp screen when that arrives: no show event waits for the whole preparation. A step back
// within a panel puts back the pixels kept from under the layer taken away; onto the panel just
// left it swaps that panel's screen back in; otherwise it draws the shown layers afresh from the
// pictures the decode cache keeps scaled. The canvas exists only while a show plays. While a show
// plays the screensaver is kept off; the show plays on the chosen screen, else on the screen of the
// window it was started from.
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "CanvasUnder.h"
#include "PanelPreparer.h"
#include "ScreenSaverInhibitor.h"
#include "X11ScreenPut.h"
#include "framework/ShowPlayer.h"
#include "model/Playback.h"

struct SFileStamp {
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
    std::int64_t nSize = -1;
    std::int64_t nModifiedNs = 0;
    friend bool operator==(const SFileStamp&, const SFileStamp&) = default;
};

// What the canvas shows: the first nStep layers of a panel read from a file as it then was.
struct SShownScreen {
    SPanelKey key;
    SFileStamp stamp;
    std::int32_t nStep = 0;
    friend bool operator==(const SShownScreen&, const SShownScreen&) = default;
};

class CScreenWnd : public QWidget, public fw::IShowPlayer {
    Q_OBJECT
public:
    static constexpr int kTimerPeriodMs = 100; // one tick, the unit of every wait

    // Panels are read, and the next one prepared, with decoder; it must outlive the window.
    explicit CScreenWnd(IPictureDecoder& decoder);
    ~CScreenWnd() override;

    // Once, at start-up: the window hidden, frameless and topmost, at (0, 0) with the primary
    // screen's size at this moment. Each show then takes the size of the screen it plays on.
    void Create();
    // The same with a size kept for the run, whatever screen the show plays on.
    void Create(QSize screenSize);

    // Plays the saved file, looping when the file is set so; a damaged show file or first panel
    // gets the framework's message and the window stays hidden.
    void PlayDocumentFile(const QString& path, bool bManual) override;
    // Starts from the playback's index with its names, folder and mode.
    bool StartShow();

    // The show events, as the timer, the mouse and the keyboard deliver them.
    void OnTick();
    void OnClick();
    void OnKey(bool bEscape);
    void OnShowKey(EShowKey key, int nDigit = 0);

    const CPlayback& Playback() const { return m_playback; }
    CPlayback& Playback() { return m_playback; }
    // The canvas the show draws on; null while no show plays.
    const QImage& Canvas() const { return m_imgCanvas; }
    QSize ScreenSize() const { return m_screenSize; }
    bool IsTimerActive() const { return m_timer.isActive(); }
    const QTimer& Timer() const { return m_timer; }
    CPanelPreparer& Preparer() { return m_preparer; }
    // True while the picture layer on the canvas is the coarse one shown before the worker's
    // sharp screen was ready.
    bool ShowsCoarsePicture() const { return m_bCoarse; }
    const CScreenSaverInhibitor& Inhibitor() const { return m_inhibitor; }
    // Where the pause mark is drawn on the window, in its own coordinates.
    QRect PauseMarkRect() const;
    // True once a show has started on an X server where the window shows the canvas by putting
    // it straight from shared memory (CX11ScreenPut), painting natively.
    bool PutsDirectly() const { return m_put != nullptr; }
    // How many balloons were put onto the canvas from pixels drawn ahead while the layer before
    // waited.
    int BalloonsDrawnAhead() const { return m_nBalloonsAhead; }
    // Whether the canvas's pixels are in memory the X server reads.
    bool CanvasShared() const { return m_put && m_put->IsShared(m_imgCanvas); }

protected:
    // Null while the window paints natively: nothing paints it with QPainter then.
    QPaintEngine* paintEngine() const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool Begin(const CPlaybackStart& start);
    // Carries out one show event; should it throw, the show ends before the exception goes on.
    template <typename Step> void Guarded(Step step);
    void Apply(const CPlaybackAction& action);
    // Each returns the part of the canvas it changed.
    QRect DrawLayer(const CPlaybackAction& action, const SShownScreen& before);
    QRect DrawRecorded(const CShowLayer& layer);
    QRect Redraw(bool bNewPanel, const SShownScreen& before);
    void UpdateCanvasRect(const QRect& changed);
    // Before an advance: when it leaves the panel, waits until the worker has read the next one;
    // true when that read is the one the advance makes (its picture is then taken as opened).
    bool AwaitPreparedPanel();
    QRect DrawCoarsePicture();
    void OnPrepared();
    void PrepareAhead();
    // While a layer waits and the next is a balloon of the same panel: its rectangle of the
    // canvas is copied and the balloon drawn over the copy, so that its advance only puts the
    // copy in. Made on this thread a tick after the layer before; valid while the canvas does
    // not change.
    void DrawBalloonAhead();
    void ScheduleBalloonAhead();
    // The next balloon's pixels made ahead, if made for this layer on the canvas as it is.
    bool TakeBalloonAhead(const CShowLayer& layer, const QRect& bounds, QImage& under,
                          QImage& drawn);
    void FitToScreen();
    void ShowOnScreen();
    void EndShow(bool bFailed);
    // A screen-sized image for the canvas or a prepared screen; safe on any thread.
    QImage NewScreen(QSize size) const;
    // Shows the part of the window (its own coordinates) by putting the canvas to it.
    void PutToWindow(const QRect& logical);

    CPlayback m_playback;
    QSize m_screenSize; // the size of the canvas, in device pixels
    QImage m_imgCanvas;
    // The pixels under each layer on the canvas after its background.
    CCanvasUnder m_under;
    QTimer m_timer;
    // Set when the first show starts, before the worker makes any screen; outlives the worker.
    std::unique_ptr<CX11ScreenPut> m_put;
    bool m_bPutChecked = false;
    CPanelPreparer m_preparer;
    CScreenSaverInhibitor m_inhibitor;
    bool m_bFixedSize = false;
    bool m_bPausedShown = false; // the pause mark is on the window
    // The canvas shows the picture layer enlarged from its coarsest step, until the worker's
    // sharp screen replaces it.
    bool m_bCoarse = false;
    // The pictures of the panel on screen and of the one shown before it, held so that a step
    // back finds them decoded and scaled in the cache.
    PictureHandle m_shownPicture;
    PictureHandle m_previousPicture;
    // What the canvas shows now.
    SShownScreen m_shown;
    // The screen the show last left a panel with, for a step back onto that panel.
    struct SLeftScreen {
        SShownScreen shown;
        QImage img;
        CCanvasUnder under;
    } m_left;
    // Counts the changes of the canvas's pixels, for what is made from them ahead.
    std::uint64_t m_nCanvasChanges = 0;
    struct SBalloonAhead {
        std::uint64_t nCanvasChanges = 0;
        std::int32_t nIndex = -1;
        std::int32_t nStep = -1;
        std::int32_t nSlot = -1;
        QRect rc;
        QImage imgUnder; // the canvas's pixels there before the balloon
        QImage imgDrawn; // the same with the balloon drawn over them
    } m_balloonAhead;
    bool m_bBalloonAheadDue = false;
    int m_nBalloonsAhead = 0;
    // The screens prepared for the panel on screen that are still to come.
    SPreparedPanel m_prepared;
    // Screens no longer shown, handed back to the worker to be reused.
    std::vector<QImage> m_spares;
};
