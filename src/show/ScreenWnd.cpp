#include "ScreenWnd.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <utility>

#include "ScreenCanvas.h"
#include "framework/FileMessages.h"
#include "framework/MessageBox.h"

namespace {

// The framework's message for a show file or first panel that ends early.
QString DamagedFileMessage(const CPlaybackStart& start) {
    const EDocOutcome outcome = start.m_eCause == CArchiveException::endOfFile
                                    ? EDocOutcome::UnexpectedFileFormat
                                    : EDocOutcome::FailedToOpen;
    return fw::OutcomeMessage(outcome, QString::fromStdString(start.m_strFile), false);
}

} // namespace

CScreenWnd::CScreenWnd()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
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
}

CScreenWnd::~CScreenWnd() {
    m_timer.stop();
}

void CScreenWnd::Create() {
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize logical = screen ? screen->geometry().size() : QSize(640, 480);
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    Create(QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio)));
}

void CScreenWnd::Create(QSize screenSize) {
    hide();
    // Panels are fitted to the screen's device pixels; the canvas has one pixel per device pixel.
    m_playback.SetScreenSize(screenSize.width(), screenSize.height());
    m_imgCanvas = MakeScreenCanvas(screenSize);
    const qreal ratio = devicePixelRatioF();
    setGeometry(0, 0, qRound(screenSize.width() / ratio), qRound(screenSize.height() / ratio));
}

void CScreenWnd::PlayDocumentFile(const QString& path, bool bManual) {
    Begin(m_playback.PlayDocumentFile(path.toStdString(), bManual));
}

bool CScreenWnd::StartShow() {
    return Begin(m_playback.StartShow());
}

bool CScreenWnd::Begin(const CPlaybackStart& start) {
    Apply(start);
    switch (start.m_eOutcome) {
    case EStartOutcome::Started:
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

void CScreenWnd::OnTick() {
    // Only the tick that ends the countdown draws; the others must not wait for the worker.
    if (m_playback.m_nWaitTicks <= 0) {
        AwaitPreparedPanel();
    }
    Apply(m_playback.Tick());
}

void CScreenWnd::OnClick() {
    if (m_playback.m_bManual) {
        AwaitPreparedPanel();
    }
    Apply(m_playback.Click());
}

void CScreenWnd::OnKey(bool bEscape) {
    if (!bEscape) {
        AwaitPreparedPanel();
    }
    Apply(m_playback.Key(bEscape));
}

void CScreenWnd::AwaitPreparedPanel() {
    // The advance that leaves this panel reads the next one; the worker, which reads it ahead,
    // finishes first, so that the picture it decoded is found in the cache, not decoded twice.
    if (m_playback.IsPlaying() && m_playback.PeekNextLayer().m_eKind == EShowLayer::None) {
        m_preparer.Wait();
    }
}

void CScreenWnd::Apply(const CPlaybackAction& action) {
    if (action.m_layer.m_eKind != EShowLayer::None) {
        DrawLayer(action);
        update();
    }
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
    if (action.m_bHide) {
        hide();
        // Between shows the window keeps only what it shows: prepared screens are let go.
        m_prepared = SPreparedPanel();
        m_spares.clear();
        m_preparer.Discard();
    }
}

void CScreenWnd::DrawLayer(const CPlaybackAction& action) {
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
        // The finished screen replaces the canvas; the old one goes back to the worker.
        m_spares.push_back(std::exchange(m_imgCanvas, std::exchange(*ready, QImage())));
        return;
    }
    DrawShowLayer(m_imgCanvas, m_playback, action.m_layer);
}

void CScreenWnd::PrepareAhead() {
    const bool bCurrentPicture =
        m_playback.m_panel.m_image.HasPicture() && m_prepared.imgPicture.isNull();
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

void CScreenWnd::paintEvent(QPaintEvent* event) {
    // A paint only shows what the show has drawn so far; it never advances the show.
    QPainter painter(this);
    const qreal ratio = devicePixelRatioF();
    if (ratio == 1.0) {
        const QRegion outside = QRegion(event->rect()) - QRegion(m_imgCanvas.rect());
        for (const QRect& part : outside) {
            painter.fillRect(part, Qt::black);
        }
        painter.drawImage(event->rect().topLeft(), m_imgCanvas, event->rect());
        return;
    }
    const QRectF logical(0, 0, m_imgCanvas.width() / ratio, m_imgCanvas.height() / ratio);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(logical, m_imgCanvas);
}

void CScreenWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnClick();
    }
    QWidget::mousePressEvent(event);
}

void CScreenWnd::keyPressEvent(QKeyEvent* event) {
    // Any key advances, held-key repeats included; Escape ends the show.
    OnKey(event->key() == Qt::Key_Escape);
    event->accept();
}

void CScreenWnd::closeEvent(QCloseEvent* event) {
    // The window lives for the whole run: a close request ends the show like Escape.
    event->ignore();
    Apply(m_playback.Close());
    hide();
}
