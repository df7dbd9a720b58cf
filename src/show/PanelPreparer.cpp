#include "PanelPreparer.h"

#include <QPainter>
#include <chrono>
#include <ctime>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

#include "ScreenCanvas.h"
#include "model/PanelLayers.h"
#include "model/Playback.h"
#include "model/PlaybackPanel.h"
#include "render/DecodedPicture.h"
#include "render/JpegScaledDecoder.h"
#include "render/RenderColor.h"

namespace {

// Nice enough that the show's own thread wins the processor nine times in ten.
constexpr int kWorkerNiceness = 10;
// How long one megapixel of a picture takes to prepare (wall-clock) until the worker has timed
// a preparation of its own: a loaded two-core machine, on the slow side.
constexpr double kFirstMsPerMegapixel = 15.0;
// The unit of every wait: a tenth of a second.
constexpr std::int64_t kTickMs = 100;

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

double MegapixelsOf(const CPanelImage& image) {
    return image.m_bitmap ? double(image.m_bitmap->Width()) * image.m_bitmap->Height() / 1e6 : 0;
}

SPanelKey KeyOf(const std::string& path, const CPanel& panel, const CPanelFit& fit) {
    return {path,
            panel.m_crBack,
            fit.m_nZoom,
            fit.m_nOffsetX,
            fit.m_nOffsetY,
            panel.m_image.m_rcBody,
            panel.m_image.m_bitmap.get()};
}

using ScreenMaker = std::function<QImage(QSize)>;

// A screen-sized image, from the spares when one fits.
QImage TakeScreen(QSize screen, std::vector<QImage>& spares, const ScreenMaker& newScreen) {
    while (!spares.empty()) {
        QImage spare = std::move(spares.back());
        spares.pop_back();
        if (spare.size() == screen && spare.format() == QImage::Format_RGB32) {
            return spare;
        }
    }
    return newScreen ? newScreen(screen) : render::NewLargeImage(screen);
}

QImage BackgroundScreen(QSize screen, COLORREF back, std::vector<QImage>& spares,
                        const ScreenMaker& newScreen) {
    QImage image = TakeScreen(screen, spares, newScreen);
    if (!image.isNull()) {
        image.fill(render::ToQColor(back));
    }
    return image;
}

// Draws the picture layer over a screen, as the player would draw it.
void DrawPictureLayer(QImage& screen, const CPanelImage& image, const CPanelFit& fit) {
    if (!screen.isNull()) {
        QPainter painter(&screen);
        DrawScreenPicture(painter, image, fit.m_nZoom, fit.m_nOffsetX, fit.m_nOffsetY);
    }
}

// The pixels a picture's preparation decoded, once its screen is drawn: a large step (a
// 24-megapixel photograph's half step takes 23 MiB) is let go, since the prepared screen shows
// it from then on and keeping it would hold a fourth screen's worth of memory while the player
// shows the panel. Only a decode this preparation made is let go (a step the editor decoded
// stays); drawing the layer afresh later (a jump onto the panel) decodes it again.
constexpr qint64 kLargeStepBytes = qint64(16) << 20;

void LetGoDecodedStep(const CPanelImage& image, int decodesBefore) {
    const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(image.m_bitmap.get());
    if (picture && picture->StepDecodeCount() > decodesBefore) {
        picture->LetGoPixels(kLargeStepBytes);
    }
}

int StepDecodesOf(const CPanelImage& image) {
    const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(image.m_bitmap.get());
    return picture ? picture->StepDecodeCount() : 0;
}

struct SCurrent {
    bool bWanted = false;
    std::string strPath;
    CPanel panel; // a copy: the player's own panel may change meanwhile
    CPanelFit fit;
};

struct SNextPanel {
    std::string strPath;
    std::int64_t nMsBefore = 0; // how soon its turn may come, at the earliest estimate
};

} // namespace

// What a job tells the preparer as it goes.
class CPreparerProgress {
public:
    CPreparerProgress(CPanelPreparer& preparer, int id) : m_preparer(preparer), m_nId(id) {}
    void Opened() const { m_preparer.Opened(m_nId); }
    void CurrentReady(SPreparedPanel current) const {
        m_preparer.CurrentReady(m_nId, std::move(current));
    }

private:
    CPanelPreparer& m_preparer;
    int m_nId;
};

namespace {

// Runs on the worker thread: touches only its own copies and the thread-safe decoder.
std::shared_ptr<SPreparedWork> Prepare(const SCurrent& current, const SNextPanel& nextPanel,
                                       IPictureDecoder& decoder, QSize screen,
                                       std::vector<QImage>& spares, const ScreenMaker& newScreen,
                                       double& msPerMegapixel, const CPreparerProgress& progress) {
    auto work = std::make_shared<SPreparedWork>();
    const std::string& nextPath = nextPanel.strPath;
    // The next panel is read first: a change of panel waits for no more than this. Its picture
    // is only opened: the one decode at the size the screen needs proves that it decodes.
    CPanel next;
    bool bNext = false;
    if (!nextPath.empty()) {
        render::CDeferredPictureCheck deferred;
        bNext = ReadPanelFile(nextPath, next, decoder).m_eResult == EPanelRead::Loaded;
    }
    progress.Opened();
    if (current.bWanted) {
        SPreparedPanel shown;
        shown.key = KeyOf(current.strPath, current.panel, current.fit);
        shown.picture = current.panel.m_image.m_bitmap;
        const int decodes = StepDecodesOf(current.panel.m_image);
        PrepareScreenPicture(current.panel.m_image, current.fit.m_nZoom);
        shown.imgPicture = BackgroundScreen(screen, current.panel.m_crBack, spares, newScreen);
        DrawPictureLayer(shown.imgPicture, current.panel.m_image, current.fit);
        LetGoDecodedStep(current.panel.m_image, decodes);
        progress.CurrentReady(std::move(shown));
    }
    if (!bNext) {
        return work;
    }
    if (next.m_image.HasPicture() &&
        CoarseStepWanted(nextPanel.nMsBefore, MegapixelsOf(next.m_image), msPerMegapixel)) {
        // Its turn may come before the preparation ends: the coarsest step is decoded first,
        // for the player to show enlarged meanwhile.
        if (const auto* picture =
                dynamic_cast<const render::CQtDecodedPicture*>(next.m_image.m_bitmap.get())) {
            picture->CheckDecodes();
        }
    }
    const CPanelFit fit = FitPanelToScreen(next.m_rcTotal, screen.width(), screen.height());
    work->next.key = KeyOf(nextPath, next, fit);
    work->next.picture = next.m_image.m_bitmap;
    // The picture screen first, so that its decoded step can go before the background screen
    // takes its memory: the decoded step and the three screens never exist at once.
    if (next.m_image.HasPicture()) {
        const auto start = std::chrono::steady_clock::now();
        const int decodes = StepDecodesOf(next.m_image);
        PrepareScreenPicture(next.m_image, fit.m_nZoom);
        if (StepDecodesOf(next.m_image) > decodes) {
            // Timed only when it decoded: a picture found prepared says nothing of the cost.
            const double ms =
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count();
            msPerMegapixel = ms / std::max(0.01, MegapixelsOf(next.m_image));
        }
        work->next.imgPicture = BackgroundScreen(screen, next.m_crBack, spares, newScreen);
        DrawPictureLayer(work->next.imgPicture, next.m_image, fit);
        LetGoDecodedStep(next.m_image, decodes);
    }
    work->next.imgBackground = BackgroundScreen(screen, next.m_crBack, spares, newScreen);
    return work;
}

} // namespace

std::int64_t MsBeforeNextPanel(const CPlayback& playback) {
    const std::vector<CLayerRef> layers = PanelLayers(playback.m_panel);
    const auto shownLast = static_cast<std::size_t>(std::max(0, playback.m_nStep - 1));
    if (playback.m_bManual) {
        // By hand the presenter sets the pace: the wait of the layer shown last stands for it.
        return shownLast < layers.size()
                   ? std::int64_t(LayerWait(playback.m_panel, layers[shownLast])) * kTickMs
                   : 0;
    }
    // The waits left: the one counting down now, then those of the layers still to come.
    std::int64_t ticks = std::max(0, playback.m_nWaitTicks);
    for (std::size_t i = shownLast + 1; i < layers.size(); ++i) {
        ticks += LayerWait(playback.m_panel, layers[i]);
    }
    return ticks * kTickMs;
}

bool CoarseStepWanted(std::int64_t msBefore, double megapixels, double msPerMegapixel) {
    // Twice the estimate: on a loaded machine one preparation may take twice as long as another.
    return megapixels > 0 && double(msBefore) < 2.0 * megapixels * msPerMegapixel;
}

SPanelKey KeyOfShownPanel(const CPlayback& playback) {
    CPanelFit fit;
    fit.m_nZoom = playback.m_nZoom;
    fit.m_nOffsetX = playback.m_nOffsetX;
    fit.m_nOffsetY = playback.m_nOffsetY;
    return KeyOf(playback.GetPanelPath(playback.m_nIndex), playback.m_panel, fit);
}

CPanelPreparer::CPanelPreparer()
    : m_dMsPerMegapixel(kFirstMsPerMegapixel), m_thread([this] { RunWorker(); }) {}

CPanelPreparer::~CPanelPreparer() {
    Job pending;
    {
        std::lock_guard lock(m_mutex);
        m_bStop = true;
        pending = std::exchange(m_job, nullptr);
    }
    m_cvChanged.notify_all();
    m_thread.join();
}

void CPanelPreparer::RunWorker() {
    // Work ahead yields to the show itself: where both want the processor, the user-interface
    // thread's advance comes first (the niceness of this thread alone is raised).
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::syscall(SYS_gettid)), kWorkerNiceness);
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_cvChanged.wait(lock, [this] { return m_bStop || (m_job && !m_bHeld); });
        if (m_bStop) {
            return;
        }
        Job job = std::exchange(m_job, nullptr);
        const int id = m_nStarts;
        lock.unlock();
        std::shared_ptr<SPreparedWork> work;
        const double cpu = ThreadCpuMs();
        try {
            work = job(id);
        } catch (...) {
            // Nothing is prepared: the player reads the panel at its turn and meets the failure
            // there, on its own thread, where the show can end in order.
            work = nullptr;
        }
        job = nullptr; // its copies and spares are let go here, outside the lock
        const double cpuMs = ThreadCpuMs() - cpu;
        lock.lock();
        m_dLastWorkCpuMs = cpuMs;
        if (id == m_nKept) {
            m_work = std::move(work);
        }
        m_nDone = id;
        m_cvChanged.notify_all();
        const bool bWanted = id == m_nKept;
        // Work nobody wants any more is let go outside the lock too.
        lock.unlock();
        work.reset();
        if (bWanted && m_fnReady) {
            m_fnReady();
        }
        lock.lock();
    }
}

void CPanelPreparer::Start(const CPlayback& playback, bool bCurrentPicture,
                           std::vector<QImage> spares) {
    SCurrent current;
    current.bWanted = bCurrentPicture && playback.m_panel.m_image.HasPicture();
    if (current.bWanted) {
        current.strPath = playback.GetPanelPath(playback.m_nIndex);
        current.panel = playback.m_panel;
        current.fit.m_nZoom = playback.m_nZoom;
        current.fit.m_nOffsetX = playback.m_nOffsetX;
        current.fit.m_nOffsetY = playback.m_nOffsetY;
    }
    m_strNextPath = playback.PeekNextPanelPath();
    SNextPanel next{m_strNextPath, MsBeforeNextPanel(playback)};
    const QSize screen(playback.GetScreenWidth(), playback.GetScreenHeight());
    // The spares move into the job, so that a reused screen has no other owner (no copy).
    // The next panel is read with the playback's own decoder, which is safe on any thread.
    Job job = [this, current = std::move(current), next = std::move(next), screen,
               &decoder = playback.PictureDecoder(), spares = std::move(spares)](int id) mutable {
        return Prepare(current, next, decoder, screen, spares, m_fnNewScreen, m_dMsPerMegapixel,
                       CPreparerProgress(*this, id));
    };
    // A job the worker has not begun and the work made last are replaced: nobody will ask.
    std::shared_ptr<SPreparedWork> dropped;
    SPreparedPanel droppedCurrent;
    {
        std::lock_guard lock(m_mutex);
        ++m_nStarts;
        m_nKept = m_nStarts;
        std::swap(m_job, job);
        dropped = std::exchange(m_work, nullptr);
        droppedCurrent = std::exchange(m_current, SPreparedPanel{});
    }
    m_cvChanged.notify_all();
}

void CPanelPreparer::Discard() {
    Job pending;
    std::shared_ptr<SPreparedWork> dropped;
    SPreparedPanel droppedCurrent;
    std::lock_guard lock(m_mutex);
    m_nKept = 0;
    pending = std::exchange(m_job, nullptr);
    dropped = std::exchange(m_work, nullptr);
    droppedCurrent = std::exchange(m_current, SPreparedPanel{});
}

void CPanelPreparer::WaitOpened() {
    std::unique_lock lock(m_mutex);
    m_cvChanged.wait(lock,
                     [this] { return m_nKept == 0 || m_nDone == m_nKept || m_nOpened == m_nKept; });
}

void CPanelPreparer::Opened(int id) {
    {
        std::lock_guard lock(m_mutex);
        m_nOpened = id;
    }
    m_cvChanged.notify_all();
}

void CPanelPreparer::CurrentReady(int id, SPreparedPanel current) {
    {
        std::lock_guard lock(m_mutex);
        if (id != m_nKept) {
            return; // let go outside the lock, as current goes out of scope
        }
        std::swap(m_current, current);
    }
    if (m_fnReady) {
        m_fnReady();
    }
}

void CPanelPreparer::Wait() {
    std::unique_lock lock(m_mutex);
    m_cvChanged.wait(lock, [this] { return m_nKept == 0 || m_nDone == m_nKept; });
}

void CPanelPreparer::HoldWork(bool bHold) {
    {
        std::lock_guard lock(m_mutex);
        m_bHeld = bHold;
    }
    m_cvChanged.notify_all();
}

double CPanelPreparer::LastWorkCpuMs() const {
    std::lock_guard lock(m_mutex);
    return m_dLastWorkCpuMs;
}

bool CPanelPreparer::IsBusy() const {
    std::lock_guard lock(m_mutex);
    return m_nKept != 0 && m_nDone != m_nKept;
}

SPreparedWork* CPanelPreparer::FinishedWork() const {
    // Once handed over, the work is the user-interface thread's alone: the worker only ever
    // replaces m_work for a later start, which only this thread makes.
    std::lock_guard lock(m_mutex);
    return m_nKept != 0 && m_nDone == m_nKept ? m_work.get() : nullptr;
}

SPreparedPanel CPanelPreparer::TakeNext(const SPanelKey& shown) {
    SPreparedWork* work = FinishedWork();
    if (!work || work->next.imgBackground.isNull() || !(work->next.key == shown)) {
        return {};
    }
    return std::exchange(work->next, SPreparedPanel{});
}

SPreparedPanel CPanelPreparer::TakeCurrent(const SPanelKey& shown) {
    std::lock_guard lock(m_mutex);
    if (m_nKept == 0 || m_current.imgPicture.isNull() || !(m_current.key == shown)) {
        return {};
    }
    return std::exchange(m_current, SPreparedPanel{});
}

PictureHandle CPanelPreparer::PreparedPicture() const {
    SPreparedWork* work = FinishedWork();
    return work ? work->next.picture : nullptr;
}
