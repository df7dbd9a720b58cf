#include "ScreenWnd.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cstring>
#include <optional>
#include <sys/stat.h>
#include <utility>

#include "PlayerScreens.h"
#include "PlayerSettings.h"
#include "ScreenCanvas.h"
#include "framework/FileMessages.h"
#include "framework/MessageBox.h"
#include "render/DecodedPicture.h"
#include "render/JpegScaledDecoder.h"
#include "render/PanelRenderer.h"
#include "render/PicturePreparation.h"
#include "render/RenderColor.h"

namespace {

// The framework's message for a show file or first panel that ends early.
QString DamagedFileMessage(const CPlaybackStart& start) {
    const EDocOutcome outcome = start.m_eCause == CArchiveException::endOfFile
                                    ? EDocOutcome::UnexpectedFileFormat
                                    : EDocOutcome::FailedToOpen;
    return fw::OutcomeMessage(outcome, QString::fromStdString(start.m_strFile), false);
}

// The keys a presenter uses; every other key advances.
EShowKey ShowKeyOf(const QKeyEvent& event, int& digit) {
    const int key = event.key();
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        digit = key - Qt::Key_0;
        return EShowKey::Digit;
    }
    switch (key) {
    case Qt::Key_Escape:
        return EShowKey::Escape;
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_Backspace:
        return EShowKey::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return EShowKey::Enter;
    case Qt::Key_P:
        if (!(event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
            return EShowKey::Pause;
        }
        break;
    default:
        break;
    }
    return EShowKey::Other;
}

// The file's identity and last change, so that a panel saved again is not taken for the one
// shown before.
SFileStamp StampOf(const std::string& path) {
    SFileStamp stamp;
    struct stat st {};
    if (!path.empty() && ::stat(path.c_str(), &st) == 0) {
        stamp.nDevice = st.st_dev;
        stamp.nInode = st.st_ino;
        stamp.nSize = st.st_size;
        stamp.nModifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    }
    return stamp;
}

SShownScreen DescribeShownPanel(const CPlayback& playback) {
    SShownScreen shown;
    shown.key = KeyOfShownPanel(playback);
    shown.stamp = StampOf(shown.key.strPath);
    shown.nStep = playback.m_nStep;
    return shown;
}

} // namespace

CScreenWnd::CScreenWnd(IPictureDecoder& decoder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_playback(decoder) {
    setObjectName(QStringLiteral("CScreenWnd"));
    setAccessibleName(QStringLiteral("スライドショー"));
    setAccessibleDescription(QStringLiteral("Esc キーで終了"));
    // Every paint covers the window with the canvas: nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(kTimerPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CScreenWnd::OnTick);
    // Runs on the worker thread: the window hears of it in its own thread's turn.
    m_preparer.SetReadyHandler(
        [this] { QMetaObject::invokeMethod(this, &CScreenWnd::OnPrepared, Qt::QueuedConnection); });
    m_preparer.SetScreenMaker([this](QSize size) { return NewScreen(size); });
}

CScreenWnd::~CScreenWnd() {
    m_timer.stop();
    m_inhibitor.Release(true);
}

void CScreenWnd::Create() {
    Create(DevicePixelSize(QGuiApplication::primaryScreen()));
    m_bFixedSize = false;
}

void CScreenWnd::Create(QSize screenSize) {
    hide();
    m_bFixedSize = true;
    // Panels are fitted to the screen's device pixels; the canvas has one pixel per device pixel.
    m_playback.SetScreenSize(screenSize.width(), screenSize.height());
    m_screenSize = screenSize;
    m_imgCanvas = QImage(); // made when a show starts
    m_spares.clear();
    const qreal ratio = devicePixelRatioF();
    setGeometry(0, 0, qRound(screenSize.width() / ratio), qRound(screenSize.height() / ratio));
}

void CScreenWnd::PlayDocumentFile(const QString& path, bool bManual) {
    FitToScreen();
    const bool bLoop = IsShowLooped(path);
    Guarded([&] { Begin(m_playback.PlayDocumentFile(path.toStdString(), bManual, bLoop)); });
}

void CScreenWnd::FitToScreen() {
    // Asked from a menu, the active window is the one the show is started from.
    QScreen* screen = PlayerScreen(QApplication::activeWindow());
    if (!screen || isVisible()) {
        return; // a show replacing another stays where it is
    }
    setScreen(screen);
    if (m_bFixedSize) {
        return;
    }
    const QSize size = DevicePixelSize(screen);
    if (size != ScreenSize()) {
        m_playback.SetScreenSize(size.width(), size.height());
        m_screenSize = size;
        m_imgCanvas = QImage();
        m_spares.clear(); // screens of the old size fit no more
    }
    setGeometry(screen->geometry());
}

bool CScreenWnd::StartShow() {
    return Begin(m_playback.StartShow());
}

bool CScreenWnd::Begin(const CPlaybackStart& start) {
    if (start.m_eOutcome == EStartOutcome::Started && !m_bPutChecked) {
        // On X11 the canvas goes to the window from shared memory: no copy of it on this side
        // and no backing store of the screen's size.
        m_bPutChecked = true;
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            m_put = CX11ScreenPut::Open();
        }
        if (m_put) {
            setAttribute(Qt::WA_PaintOnScreen);
        }
    }
    // The canvas takes a screen's worth of memory: it is made when a show starts, not before.
    if (start.m_eOutcome == EStartOutcome::Started &&
        (m_imgCanvas.size() != m_screenSize || (m_put && !m_put->IsShared(m_imgCanvas)))) {
        m_imgCanvas = NewScreen(m_screenSize);
        if (!m_imgCanvas.isNull()) {
            m_imgCanvas.fill(Qt::black);
        }
        m_under.Clear();
        ++m_nCanvasChanges;
    }
    Apply(start);
    switch (start.m_eOutcome) {
    case EStartOutcome::Started:
        m_inhibitor.Inhibit(QStringLiteral("スライドショー"));
        return true;
    case EStartOutcome::NothingToPlay:
        return false;
    case EStartOutcome::DamagedShowFile:
    case EStartOutcome::DamagedPanelFile:
        fw::FrameworkMessage(nullptr, DamagedFileMessage(start),
                             start.m_eOutcome == EStartOutcome::DamagedPanelFile
                                 ? fw::EMsgIcon::Stop
                                 : fw::EMsgIcon::Exclamation);
        return false;
    }
    return false;
}

template <typename Step> void CScreenWnd::Guarded(Step step) {
    try {
        step();
    } catch (...) {
        // Whatever failed, the screen and the screensaver are given back first.
        EndShow(true);
        throw;
    }
}

void CScreenWnd::OnTick() {
    Guarded([this] {
        // Only the tick that ends the countdown draws; the others must not wait for the worker.
        std::optional<render::CDeferredPictureCheck> deferred;
        if (m_playback.m_nWaitTicks <= 0 && AwaitPreparedPanel()) {
            deferred.emplace();
        }
        Apply(m_playback.Tick());
    });
}

void CScreenWnd::OnClick() {
    Guarded([this] {
        std::optional<render::CDeferredPictureCheck> deferred;
        if (m_playback.m_bManual && AwaitPreparedPanel()) {
            deferred.emplace();
        }
        Apply(m_playback.Click());
    });
}

void CScreenWnd::OnKey(bool bEscape) {
    OnShowKey(bEscape ? EShowKey::Escape : EShowKey::Other);
}

void CScreenWnd::OnShowKey(EShowKey key, int nDigit) {
    Guarded([&] {
        const bool bAdvances = key == EShowKey::Other ||
                               (key == EShowKey::Pause && m_playback.m_bManual) ||
                               (key == EShowKey::Enter && m_playback.GetTypedNumber() < 0);
        std::optional<render::CDeferredPictureCheck> deferred;
        if (bAdvances && AwaitPreparedPanel()) {
            deferred.emplace();
        }
        Apply(m_playback.KeyPress(key, nDigit));
    });
}

bool CScreenWnd::AwaitPreparedPanel() {
    // The advance that leaves this panel reads the next one; the worker, which reads it first,
    // gets that far, so that the picture it opened is found in the cache, not opened twice.
    // The rest of its work is not waited for.
    if (!m_playback.IsPlaying() || m_playback.PeekNextLayer().m_eKind != EShowLayer::None) {
        return false;
    }
    m_preparer.WaitOpened();
    // The worker may still be decoding that picture (the decode that proves it): the player
    // takes it as opened and does not wait for the proof.
    const std::string next = m_playback.PeekNextPanelPath();
    return !next.empty() && next == m_preparer.NextPath();
}

QRect CScreenWnd::DrawCoarsePicture() {
    const CPanel& panel = m_playback.m_panel;
    const CShowLayer layer{EShowLayer::Picture, -1};
    const QRect bounds = ShowLayerBounds(m_imgCanvas, m_playback, layer);
    m_under.KeepFill(bounds, render::ToQColor(panel.m_crBack).rgb());
    m_bCoarse = true;
    // Only a step already decoded is drawn; with none yet (the worker decodes the picture once,
    // at the size the screen needs) the background shows until the sharp screen arrives.
    const auto* picture =
        dynamic_cast<const render::CQtDecodedPicture*>(panel.m_image.m_bitmap.get());
    if (!picture || picture->DecodedSteps() == 0) {
        return {};
    }
    QPainter painter(&m_imgCanvas);
    render::DrawPictureFromHeld(painter, panel.m_image, m_playback.m_nZoom, m_playback.m_nOffsetX,
                                m_playback.m_nOffsetY);
    return bounds;
}

void CScreenWnd::OnPrepared() {
    if (!m_bCoarse || !m_playback.IsPlaying() || m_playback.m_nStep < 2) {
        return;
    }
    // The sharp screen of the panel on screen replaces the coarse picture; the balloons shown
    // since are drawn over it again.
    SPreparedPanel sharp = m_preparer.TakeCurrent(KeyOfShownPanel(m_playback));
    if (sharp.imgPicture.isNull() || sharp.imgPicture.size() != ScreenSize()) {
        if (m_preparer.IsBusy()) {
            return; // still to come
        }
        // The worker made no screen for this panel: it is drawn here, sharp.
        m_bCoarse = false;
        m_under.Clear();
        for (const CShowLayer& layer : m_playback.GetShownLayers()) {
            DrawRecorded(layer);
        }
        ++m_nCanvasChanges;
        update();
        ScheduleBalloonAhead();
        return;
    }
    m_bCoarse = false;
    m_spares.push_back(std::exchange(m_imgCanvas, std::exchange(sharp.imgPicture, QImage())));
    m_under.Clear();
    const std::vector<CShowLayer> layers = m_playback.GetShownLayers();
    m_under.KeepFill(ShowLayerBounds(m_imgCanvas, m_playback, layers[1]),
                     render::ToQColor(m_playback.m_panel.m_crBack).rgb());
    for (std::size_t i = 2; i < layers.size(); ++i) {
        DrawRecorded(layers[i]);
    }
    ++m_nCanvasChanges;
    update();
    ScheduleBalloonAhead();
}

void CScreenWnd::Apply(const CPlaybackAction& action) {
    // What the canvas shows until this action has been drawn.
    const SShownScreen before = m_shown;
    if (action.m_bNewPanel || action.m_bRedraw) {
        m_bCoarse = m_bCoarse && !action.m_bNewPanel && m_playback.m_nStep >= 2;
    }
    if (action.m_bNewPanel) {
        m_previousPicture = std::exchange(m_shownPicture, m_playback.m_panel.m_image.m_bitmap);
        m_shown = DescribeShownPanel(m_playback);
    }
    if (action.m_bRedraw) {
        UpdateCanvasRect(Redraw(action.m_bNewPanel, before));
        ++m_nCanvasChanges;
    } else if (action.m_layer.m_eKind != EShowLayer::None) {
        UpdateCanvasRect(DrawLayer(action, before));
        ++m_nCanvasChanges;
    }
    m_shown.nStep = m_playback.m_nStep;
    if (action.m_bNewPanel && m_playback.IsPlaying()) {
        PrepareAhead();
    }
    switch (action.m_eTimer) {
    case ETimerChange::Start:
        m_timer.start();
        break;
    case ETimerChange::Stop:
        m_timer.stop();
        break;
    case ETimerChange::Keep:
        break;
    }
    if (action.m_bShow) {
        ShowOnScreen();
    }
    if (m_playback.IsPaused() != m_bPausedShown) {
        m_bPausedShown = m_playback.IsPaused();
        update(PauseMarkRect());
    }
    if (action.m_bHide) {
        EndShow(false);
    }
    ScheduleBalloonAhead();
}

void CScreenWnd::ScheduleBalloonAhead() {
    if (m_bBalloonAheadDue || !m_playback.IsPlaying() ||
        m_playback.PeekNextLayer().m_eKind != EShowLayer::Balloon) {
        return;
    }
    // One tick later: the layer just drawn reaches the screen first, and a presenter rarely
    // advances sooner (an advance before then draws the balloon as it comes).
    m_bBalloonAheadDue = true;
    QTimer::singleShot(kTimerPeriodMs, this, &CScreenWnd::DrawBalloonAhead);
}

void CScreenWnd::DrawBalloonAhead() {
    m_bBalloonAheadDue = false;
    const CShowLayer next = m_playback.PeekNextLayer();
    if (!m_playback.IsPlaying() || next.m_eKind != EShowLayer::Balloon || m_imgCanvas.isNull() ||
        m_imgCanvas.format() != QImage::Format_RGB32) {
        return;
    }
    SBalloonAhead& ahead = m_balloonAhead;
    if (ahead.nCanvasChanges == m_nCanvasChanges && ahead.nIndex == m_playback.m_nIndex &&
        ahead.nStep == m_playback.m_nStep && ahead.nSlot == next.m_nSlot) {
        return; // made already
    }
    const QRect bounds = ShowLayerBounds(m_imgCanvas, m_playback, next);
    ahead = SBalloonAhead();
    if (bounds.isEmpty()) {
        return;
    }
    ahead.imgUnder = m_imgCanvas.copy(bounds);
    ahead.imgDrawn = ahead.imgUnder.copy();
    {
        // The balloon drawn where it goes on the canvas, over what lies there: the copy is the
        // canvas's rectangle moved to the origin by whole pixels.
        QPainter painter(&ahead.imgDrawn);
        painter.translate(-bounds.topLeft());
        const CPanel& panel = m_playback.m_panel;
        if (next.m_nSlot >= 0 && next.m_nSlot < kFukiSlots) {
            render::DrawFuki(painter, panel.m_fuki[static_cast<std::size_t>(next.m_nSlot)], false,
                             m_playback.m_nZoom, m_playback.m_nOffsetX, m_playback.m_nOffsetY);
        }
    }
    ahead.nCanvasChanges = m_nCanvasChanges;
    ahead.nIndex = m_playback.m_nIndex;
    ahead.nStep = m_playback.m_nStep;
    ahead.nSlot = next.m_nSlot;
    ahead.rc = bounds;
}

bool CScreenWnd::TakeBalloonAhead(const CShowLayer& layer, const QRect& bounds, QImage& under,
                                  QImage& drawn) {
    SBalloonAhead& ahead = m_balloonAhead;
    // The advance has moved the step on by one: the balloon was the next layer then.
    const bool bValid = ahead.nCanvasChanges == m_nCanvasChanges && !ahead.imgDrawn.isNull() &&
                        ahead.nIndex == m_playback.m_nIndex &&
                        ahead.nStep + 1 == m_playback.m_nStep && ahead.nSlot == layer.m_nSlot &&
                        ahead.rc == bounds && ahead.imgDrawn.size() == bounds.size();
    if (!bValid) {
        ahead = SBalloonAhead();
        return false;
    }
    under = std::exchange(ahead.imgUnder, QImage());
    drawn = std::exchange(ahead.imgDrawn, QImage());
    ahead = SBalloonAhead();
    return true;
}

void CScreenWnd::EndShow(bool bFailed) {
    m_timer.stop();
    m_inhibitor.Release(bFailed);
    hide();
    m_bPausedShown = false;
    m_bCoarse = false;
    // Between shows the window keeps only what it shows: prepared screens are let go.
    m_prepared = SPreparedPanel();
    m_previousPicture = nullptr;
    m_shownPicture = nullptr;
    m_left = SLeftScreen();
    m_shown = SShownScreen();
    m_spares.clear();
    m_preparer.Discard();
    // A hidden window shows nothing: the canvas goes with the show.
    m_under.Clear();
    m_imgCanvas = QImage();
    m_balloonAhead = SBalloonAhead();
    ++m_nCanvasChanges;
}

QRect CScreenWnd::Redraw(bool bNewPanel, const SShownScreen& before) {
    // A step back. Screens prepared for this panel's next layers stay valid, those for another
    // panel are let go.
    if (!(m_prepared.key == m_shown.key)) {
        m_prepared = SPreparedPanel();
    }
    // Back onto the panel left last, exactly as it was left: its screen is swapped in.
    m_shown.nStep = m_playback.m_nStep;
    if (bNewPanel && !m_left.img.isNull() && m_left.shown == m_shown &&
        m_left.img.size() == ScreenSize()) {
        m_spares.push_back(std::exchange(m_imgCanvas, std::exchange(m_left.img, QImage())));
        m_under = std::exchange(m_left.under, CCanvasUnder());
        return m_imgCanvas.rect();
    }
    // One layer back within the panel: what lay under that layer is put back.
    QRect changed;
    if (!bNewPanel && before.nStep == m_shown.nStep + 1 && m_under.Count() == before.nStep - 1 &&
        m_under.PutBack(m_imgCanvas, changed)) {
        return changed;
    }
    // Otherwise the layers still shown are drawn afresh: the picture layer is a blit of the
    // picture the decode cache keeps scaled to this zoom.
    m_bCoarse = false;
    for (const CShowLayer& layer : m_playback.GetShownLayers()) {
        DrawRecorded(layer);
    }
    return m_imgCanvas.rect();
}

QRect CScreenWnd::DrawRecorded(const CShowLayer& layer) {
    // What the layer covers is kept first, so that a step back can put it back.
    const QRect bounds = ShowLayerBounds(m_imgCanvas, m_playback, layer);
    switch (layer.m_eKind) {
    case EShowLayer::Background:
        m_under.Clear();
        break;
    case EShowLayer::Picture:
        // Under the picture layer there is only the background.
        m_under.KeepFill(bounds, render::ToQColor(m_playback.m_panel.m_crBack).rgb());
        break;
    case EShowLayer::Balloon: {
        QImage under;
        QImage drawn;
        if (TakeBalloonAhead(layer, bounds, under, drawn)) {
            m_under.KeepCopied(m_imgCanvas, bounds, std::move(under));
            ++m_nBalloonsAhead;
            // Row by row: the copy is the canvas's own format.
            const std::size_t bytes = std::size_t(bounds.width()) * 4;
            for (int y = 0; y < bounds.height(); ++y) {
                std::memcpy(m_imgCanvas.scanLine(bounds.top() + y) + std::size_t(bounds.left()) * 4,
                            drawn.constScanLine(y), bytes);
            }
            return bounds;
        }
        m_under.Keep(m_imgCanvas, bounds);
        break;
    }
    case EShowLayer::None:
        return {};
    }
    DrawShowLayer(m_imgCanvas, m_playback, layer);
    return bounds;
}

QRect CScreenWnd::DrawLayer(const CPlaybackAction& action, const SShownScreen& before) {
    const SPanelKey shown = KeyOfShownPanel(m_playback);
    if (action.m_bNewPanel) {
        // The screens made ahead for this panel, if they were made from what was read now.
        m_prepared = m_preparer.TakeNext(shown);
    }
    QImage* ready = nullptr;
    if (action.m_layer.m_eKind == EShowLayer::Background) {
        ready = &m_prepared.imgBackground;
    } else if (action.m_layer.m_eKind == EShowLayer::Picture) {
        if (m_prepared.imgPicture.isNull()) {
            m_prepared = m_preparer.TakeCurrent(shown);
        }
        ready = &m_prepared.imgPicture;
    }
    if (ready && !ready->isNull() && m_prepared.key == shown && ready->size() == ScreenSize()) {
        // The finished screen replaces the canvas. The old one goes back to the worker, or,
        // when it shows the panel just left, is kept for a step back onto that panel.
        if (action.m_layer.m_eKind == EShowLayer::Picture) {
            m_under.KeepFill(ShowLayerBounds(*ready, m_playback, action.m_layer),
                             render::ToQColor(m_playback.m_panel.m_crBack).rgb());
        }
        QImage old = std::exchange(m_imgCanvas, std::exchange(*ready, QImage()));
        if (action.m_bNewPanel) {
            if (!m_left.img.isNull()) {
                m_spares.push_back(std::move(m_left.img));
            }
            m_left = SLeftScreen{before, std::move(old), std::exchange(m_under, CCanvasUnder())};
        } else {
            m_spares.push_back(std::move(old));
        }
        return m_imgCanvas.rect();
    }
    if (action.m_layer.m_eKind == EShowLayer::Picture && m_preparer.IsBusy() &&
        m_playback.m_panel.m_image.HasPicture()) {
        // The worker is still at it: what is decoded already is shown now, the sharp screen
        // replaces it when it is ready.
        return DrawCoarsePicture();
    }
    return DrawRecorded(action.m_layer);
}

void CScreenWnd::UpdateCanvasRect(const QRect& changed) {
    if (changed.isEmpty()) {
        return;
    }
    // Only the changed part of the window is painted again and sent to the screen.
    const qreal ratio = devicePixelRatioF();
    if (changed == m_imgCanvas.rect() && ratio == 1.0) {
        update();
        return;
    }
    const QRectF logical(changed.x() / ratio, changed.y() / ratio, changed.width() / ratio,
                         changed.height() / ratio);
    update(logical.toAlignedRect().adjusted(-1, -1, 1, 1));
}

void CScreenWnd::PrepareAhead() {
    // The picture screen is wanted while the picture layer is still to come (not after a step
    // back onto a panel's last layer).
    const bool bCurrentPicture = m_playback.m_panel.m_image.HasPicture() &&
                                 m_prepared.imgPicture.isNull() && m_playback.m_nStep <= 1;
    if (!bCurrentPicture && m_playback.PeekNextPanelPath().empty()) {
        return;
    }
    m_preparer.Start(m_playback, bCurrentPicture, std::exchange(m_spares, {}));
}

void CScreenWnd::ShowOnScreen() {
    showFullScreen();
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}

QRect CScreenWnd::PauseMarkRect() const {
    // A small square in the top right corner of the screen the canvas shows, clear of the
    // panel's middle.
    const qreal ratio = devicePixelRatioF();
    const QRect shown = rect().intersected(
        QRect(0, 0, qRound(m_imgCanvas.width() / ratio), qRound(m_imgCanvas.height() / ratio)));
    const int side = std::max(16, std::min(shown.width(), shown.height()) / 40);
    return QRect(shown.right() + 1 - 2 * side, side, side, side);
}

QImage CScreenWnd::NewScreen(QSize size) const {
    return m_put ? m_put->NewScreen(size) : render::NewLargeImage(size);
}

QPaintEngine* CScreenWnd::paintEngine() const {
    return m_put ? nullptr : QWidget::paintEngine();
}

namespace {

// The pause mark: a dark rounded square with two light bars.
void DrawPauseMark(QPainter& painter, const QRect& mark) {
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 128));
    painter.drawRoundedRect(mark, mark.width() / 5.0, mark.width() / 5.0);
    const int bar = std::max(2, mark.width() / 5);
    const int top = mark.top() + mark.height() / 4;
    const int height = mark.height() / 2;
    painter.setBrush(QColor(255, 255, 255, 192));
    painter.drawRect(mark.left() + mark.width() / 2 - bar - bar / 2, top, bar, height);
    painter.drawRect(mark.left() + mark.width() / 2 + bar / 2, top, bar, height);
}

// A part of the window in its device pixels.
QRect DevicePart(const QRect& logical, qreal ratio) {
    if (ratio == 1.0) {
        return logical;
    }
    return QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                  logical.height() * ratio)
        .toAlignedRect();
}

} // namespace

void CScreenWnd::PutToWindow(const QRect& logical) {
    const qreal ratio = devicePixelRatioF();
    const unsigned window = unsigned(winId());
    const QRect part = DevicePart(logical, ratio).intersected(DevicePart(rect(), ratio));
    // The canvas has one pixel per device pixel of the window: it goes to the same place.
    for (const QRect& outside : QRegion(part) - QRegion(m_imgCanvas.rect())) {
        m_put->FillBlack(window, outside);
    }
    m_put->Put(window, m_imgCanvas, part, part.topLeft());
    const QRect mark = DevicePart(PauseMarkRect(), ratio).intersected(part);
    if (m_bPausedShown && !mark.isEmpty()) {
        // The mark goes over a copy of what the canvas shows there, never onto the canvas.
        QImage piece(mark.size(), QImage::Format_RGB32);
        piece.fill(Qt::black);
        QPainter painter(&piece);
        painter.drawImage(QPoint(0, 0), m_imgCanvas, mark);
        painter.translate(-mark.topLeft());
        painter.scale(ratio, ratio);
        DrawPauseMark(painter, PauseMarkRect());
        painter.end();
        m_put->Put(window, piece, piece.rect(), mark.topLeft());
    }
    m_put->Flush();
}

void CScreenWnd::paintEvent(QPaintEvent* event) {
    // A paint only shows what the show has drawn so far; it never advances the show.
    if (m_put) {
        PutToWindow(event->rect());
        return;
    }
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1.0) {
        const QRegion outside = QRegion(event->rect()) - QRegion(m_imgCanvas.rect());
        for (const QRect& part : outside) {
            painter.fillRect(part, Qt::black);
        }
        painter.drawImage(event->rect().topLeft(), m_imgCanvas, event->rect());
    } else {
        const QRectF logical(0, 0, m_imgCanvas.width() / ratio, m_imgCanvas.height() / ratio);
        painter.fillRect(rect(), Qt::black);
        painter.drawImage(logical, m_imgCanvas);
    }
    if (m_bPausedShown) {
        // The pause mark goes on the window only: the canvas keeps what the show drew.
        DrawPauseMark(painter, PauseMarkRect());
    }
}

void CScreenWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnClick();
    }
    QWidget::mousePressEvent(event);
}

void CScreenWnd::keyPressEvent(QKeyEvent* event) {
    // Any key advances, held-key repeats included, but for the presenter's keys: Escape ends
    // the show, Left, Up, Page Up and Backspace step back, "P" pauses an automatic show, and a
    // panel number followed by Enter goes to that panel.
    int digit = 0;
    const EShowKey key = ShowKeyOf(*event, digit);
    OnShowKey(key, digit);
    event->accept();
}

void CScreenWnd::closeEvent(QCloseEvent* event) {
    // The window lives for the whole run: a close request ends the show like Escape.
    event->ignore();
    Apply(m_playback.Close());
    EndShow(false);
}
