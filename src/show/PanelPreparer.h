#pragma once
// Gets layers ready ahead of their turn on one worker thread, so that the user-interface thread
// only swaps in a finished screen: for the panel on screen, the screen after its picture layer;
// for the next panel of the show, read from its file ahead, its picture decoded and scaled to the
// screen (kept by the decode cache) and the screen after its background and after its picture.
// The work goes in that order of need: the next panel is read first (its picture opened, so
// that the player reading it at its turn finds it in the decode cache), then the screen of the
// panel on screen is made and handed over at once, then the next panel's screens.
// A prepared screen is used only when the panel on screen is exactly what it was made from: the
// player still reads every panel file at its turn.
#include <QImage>
#include <QSize>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "model/Panel.h"
#include "model/PictureDecoder.h"

class CPlayback;

// What the first two layers of a panel look like on a screen: all a prepared screen depends on.
struct SPanelKey {
    std::string strPath; // the panel file
    COLORREF crBack = 0;
    std::int32_t nZoom = 0;
    std::int32_t nOffsetX = 0;
    std::int32_t nOffsetY = 0;
    CRect rcBody; // the picture layer's body
    const CDecodedPicture* pPicture = nullptr;
    friend bool operator==(const SPanelKey&, const SPanelKey&) = default;
};

// The key of the player's panel on screen now.
SPanelKey KeyOfShownPanel(const CPlayback& playback);

// How soon, in milliseconds, the next panel's turn may come after the layer shown last: in an
// automatic show the waits left on the panel; by hand the wait of the layer shown last, as
// the presenter's likely pace.
std::int64_t MsBeforeNextPanel(const CPlayback& playback);
// Whether the next panel's picture is decoded at its coarsest step before the step the screen
// needs: only when its turn may come before that preparation ends (the player then shows the
// coarse step, enlarged, until the sharp screen is ready). Otherwise the one decode at the
// size needed proves the picture, and the coarse pass would only cost time.
bool CoarseStepWanted(std::int64_t msBefore, double megapixels, double msPerMegapixel);

// The screens prepared for one panel.
struct SPreparedPanel {
    SPanelKey key;
    PictureHandle picture; // held, so that the decode cache keeps the picture meanwhile
    QImage imgBackground;  // the screen after the background layer, or null
    QImage imgPicture;     // the screen after the picture layer, or null
};

// What one start of the work makes at its end (the screen of the panel on screen is handed over
// as soon as it is made).
struct SPreparedWork {
    SPreparedPanel next; // the next panel of the show
};

// The worker is one thread of its own; jobs and what they make pass between it and the
// user-interface thread only under the preparer's mutex.
class CPanelPreparer {
public:
    CPanelPreparer();
    // Waits for the work in hand (a job not yet begun is dropped): it touches no window, but its
    // pictures belong to the run.
    ~CPanelPreparer();
    CPanelPreparer(const CPanelPreparer&) = delete;
    CPanelPreparer& operator=(const CPanelPreparer&) = delete;

    // Starts the work for the panel just put on screen: when bCurrentPicture, the screen after
    // its picture layer; then the panel the next change of panel will read, if any. The spares
    // are screens no longer shown, reused (or let go) on the worker thread.
    void Start(const CPlayback& playback, bool bCurrentPicture, std::vector<QImage> spares);
    // Blocks until the work started last is done.
    void Wait();
    // Blocks until the work started last has read the next panel and opened its picture (or is
    // done): a change of panel then finds the picture in the decode cache.
    void WaitOpened();
    // Called on the worker thread whenever the screen of the panel on screen or the whole work
    // is ready; set once, before any work starts.
    void SetReadyHandler(std::function<void()> handler) { m_fnReady = std::move(handler); }
    // Makes the screen-sized images the worker draws on when no spare fits (render::
    // NewLargeImage unless set); called on the worker thread. Set once, before any work starts.
    void SetScreenMaker(std::function<QImage(QSize)> maker) { m_fnNewScreen = std::move(maker); }
    // Lets go of the work started last: not begun, it never runs; running, what it makes is
    // dropped when it is done. Wait and IsBusy no longer count it.
    void Discard();
    bool IsBusy() const;
    // While held, the worker begins no work (what it is doing it finishes): the player's tests
    // meet it before its preparation is done this way.
    void HoldWork(bool bHold);
    // The panel file the work started last prepares, or "".
    const std::string& NextPath() const { return m_strNextPath; }
    // How many times work was started.
    int StartCount() const { return m_nStarts; }
    // The processor time the worker thread spent on the work finished last, in milliseconds.
    double LastWorkCpuMs() const;

    // The screens the work started last made for the panel that is on screen now, taken out;
    // empty when that work is not finished or was made from something else.
    SPreparedPanel TakeNext(const SPanelKey& shown);
    SPreparedPanel TakeCurrent(const SPanelKey& shown);
    // The next panel's picture as prepared, or null.
    PictureHandle PreparedPicture() const;

private:
    using Job = std::function<std::shared_ptr<SPreparedWork>(int id)>;
    friend class CPreparerProgress;
    SPreparedWork* FinishedWork() const;
    void RunWorker();
    // Called by the job numbered id on the worker thread as its parts are ready.
    void Opened(int id);
    void CurrentReady(int id, SPreparedPanel current);

    mutable std::mutex m_mutex;
    std::condition_variable m_cvChanged;
    Job m_job;                             // the job started last, until the worker takes it
    std::shared_ptr<SPreparedWork> m_work; // what the job started last made, once it is done
    SPreparedPanel m_current; // the screen of the panel on screen, once the job made it
    int m_nDone = 0;          // the StartCount of the job finished last
    double m_dLastWorkCpuMs = 0;
    int m_nOpened = 0; // the StartCount of the job that read its next panel last
    std::function<void()> m_fnReady;
    std::function<QImage(QSize)> m_fnNewScreen;
    int m_nKept = 0; // the last StartCount whose work is wanted
    bool m_bStop = false;
    bool m_bHeld = false;
    std::string m_strNextPath;
    int m_nStarts = 0;
    // What a megapixel of a picture took to prepare the last time one was decoded: the
    // worker's own estimate, read and written on the worker thread only.
    double m_dMsPerMegapixel;
    std::thread m_thread; // last: started once everything it uses exists
};
