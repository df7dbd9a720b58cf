#include "Playback.h"

#include <algorithm>
#include <utility>

#include "PanelLayers.h"
#include "ShowData.h"
#include "TextCodec.h"

CPlayback::CPlayback(IPictureDecoder& decoder, int screenWidth, int screenHeight)
    : m_decoder(decoder), m_nScreenWidth(screenWidth), m_nScreenHeight(screenHeight) {}

void CPlayback::SetScreenSize(int screenWidth, int screenHeight) {
    m_nScreenWidth = screenWidth;
    m_nScreenHeight = screenHeight;
}

CPlaybackStart CPlayback::PlayDocumentFile(const std::string& path, bool bManual, bool bLoop) {
    CShowData show;
    try {
        show.LoadFromPath(path);
    } catch (const CArchiveException& e) {
        CPlaybackStart start = Abandon(EStartOutcome::DamagedShowFile);
        start.m_eCause = e.m_cause;
        start.m_strFile = path;
        return start;
    }
    m_bManual = bManual;
    m_bLoop = bLoop;
    m_nIndex = 0;
    m_strFolder = show.m_strFolder;
    m_nCount = show.m_nCount;
    m_strNames = show.m_strNames;
    return StartShow();
}

CPlaybackStart CPlayback::StartShow() {
    m_bPaused = false;
    m_nTyped = -1;
    if (m_nCount == 0) {
        m_panel.Reset();
        const CPanelFit fit = FitPanelToScreen(m_panel.m_rcTotal, m_nScreenWidth, m_nScreenHeight);
        m_nZoom = fit.m_nZoom;
        m_nOffsetX = fit.m_nOffsetX;
        m_nOffsetY = fit.m_nOffsetY;
        m_nStep = 0;
    } else if (m_nIndex < 0 || m_nIndex >= PlayableCount()) {
        return Abandon(EStartOutcome::NothingToPlay);
    } else {
        const CPanelRead read = LoadPanel();
        if (read.m_eResult == EPanelRead::Damaged) {
            CPlaybackStart start = Abandon(EStartOutcome::DamagedPanelFile);
            start.m_eCause = read.m_eCause;
            start.m_strFile = GetPanelPath(m_nIndex);
            return start;
        }
    }
    m_bPlaying = true;
    CPlaybackStart start;
    static_cast<CPlaybackAction&>(start) = DrawNextLayer();
    start.m_bNewPanel = true;
    start.m_bShow = true;
    // An empty show waits for Escape alone: no timer runs for it.
    start.m_eTimer = IsTimerRunning() ? ETimerChange::Start : ETimerChange::Stop;
    return start;
}

CPlaybackAction CPlayback::Tick() {
    if (!IsTimerRunning()) {
        return {};
    }
    // The layer drawn with wait W is followed on the (W + 1)-th tick; a wait of 0 or less on
    // the first. Counting down only while positive keeps any stored wait from overflowing.
    if (m_nWaitTicks > 0) {
        --m_nWaitTicks;
        return {};
    }
    return DrawNextLayer();
}

CPlaybackAction CPlayback::Click() {
    if (!m_bPlaying || !m_bManual || m_nCount == 0) {
        return {};
    }
    m_nTyped = -1;
    return DrawNextLayer();
}

CPlaybackAction CPlayback::KeyPress(EShowKey key, int nDigit) {
    if (!m_bPlaying) {
        return {};
    }
    if (key == EShowKey::Escape) {
        return Hide();
    }
    if (m_nCount == 0) {
        return {};
    }
    const std::int32_t typed = std::exchange(m_nTyped, -1);
    switch (key) {
    case EShowKey::Digit:
        // More digits than any panel number has keep the number out of the show.
        m_nTyped = std::min(std::max(typed, 0) * 10 + std::clamp(nDigit, 0, 9), 10 * kMaxShowNames);
        return {};
    case EShowKey::Enter:
        return typed >= 0 ? GoToPanel(typed - 1) : DrawNextLayer();
    case EShowKey::Back:
        return Back();
    case EShowKey::Pause:
        return m_bManual ? DrawNextLayer() : Pause();
    case EShowKey::Escape:
    case EShowKey::Other:
        break;
    }
    return DrawNextLayer();
}

CPlaybackAction CPlayback::Back() {
    if (!m_bPlaying || m_nCount == 0) {
        return {};
    }
    CPlaybackAction action;
    if (m_nStep >= 2) {
        --m_nStep;
    } else {
        // The first layer of a panel: the previous panel as it stood when it was left.
        if (m_nIndex <= 0) {
            return {};
        }
        --m_nIndex;
        LoadPanel();
        m_nStep = LayerCount();
        action.m_bNewPanel = true;
    }
    action.m_bRedraw = true;
    m_nWaitTicks = WaitAfter(LayerAt(m_nStep - 1));
    action.m_eTimer = RestartedTimer();
    return action;
}

CPlaybackAction CPlayback::Pause() {
    if (!m_bPlaying || m_bManual || m_nCount == 0) {
        return {};
    }
    m_bPaused = !m_bPaused;
    CPlaybackAction action;
    action.m_eTimer = m_bPaused ? ETimerChange::Stop : ETimerChange::Start;
    return action;
}

CPlaybackAction CPlayback::GoToPanel(int index) {
    if (!m_bPlaying || m_nCount == 0 || index < 0 || index >= PlayableCount()) {
        return {};
    }
    m_nIndex = index;
    LoadPanel();
    CPlaybackAction action = DrawNextLayer();
    action.m_bNewPanel = true;
    action.m_eTimer = RestartedTimer();
    return action;
}

ETimerChange CPlayback::RestartedTimer() const {
    // The wait of the layer now last counts from this moment, as if it had just been drawn.
    return IsTimerRunning() ? ETimerChange::Start : ETimerChange::Keep;
}

std::vector<CShowLayer> CPlayback::GetShownLayers() const {
    std::vector<CShowLayer> layers;
    if (!m_bPlaying) {
        return layers;
    }
    for (std::int32_t step = 0; step < m_nStep; ++step) {
        layers.push_back(LayerAt(step));
    }
    return layers;
}

std::string CPlayback::PeekNextPanelPath() const {
    if (m_nIndex + 1 >= PlayableCount() && LoopsAtEnd()) {
        return GetPanelPath(0);
    }
    return GetPanelPath(m_nIndex + 1);
}

std::string CPlayback::GetPanelPath(int index) const {
    if (index < 0 || index >= PlayableCount()) {
        return {};
    }
    const std::string& name = m_strNames[static_cast<std::size_t>(index)];
    // A show names files of its own folder; a name with a folder part would read elsewhere.
    if (Cp932ToUtf8(name).find('/') != std::string::npos) {
        return {};
    }
    return ShowPanelPath(m_strFolder, name);
}

int CPlayback::PlayableCount() const {
    return std::min<std::int32_t>(m_nCount, kMaxShowNames);
}

CShowLayer CPlayback::LayerAt(std::int32_t step) const {
    if (step <= 0) {
        return {EShowLayer::Background, -1};
    }
    if (step == 1) {
        return {EShowLayer::Picture, -1};
    }
    // The balloons as the painter draws them: the panel's display order.
    const std::vector<int> balloons = FukiInDisplayOrder(m_panel);
    const std::size_t index = static_cast<std::size_t>(step) - 2;
    return index < balloons.size() ? CShowLayer{EShowLayer::Balloon, balloons[index]}
                                   : CShowLayer{};
}

std::int32_t CPlayback::LayerCount() const {
    // The background and the picture, then the balloons up to the first gap in the positions.
    std::int32_t count = 2;
    while (LayerAt(count).m_eKind != EShowLayer::None) {
        ++count;
    }
    return count;
}

std::int32_t CPlayback::WaitAfter(const CShowLayer& layer) const {
    switch (layer.m_eKind) {
    case EShowLayer::Background:
        return LayerWait(m_panel, {ELayerKind::Background, -1});
    case EShowLayer::Picture:
        return LayerWait(m_panel, {ELayerKind::Picture, -1});
    case EShowLayer::Balloon:
        return LayerWait(m_panel, {ELayerKind::Balloon, layer.m_nSlot});
    case EShowLayer::None:
        break;
    }
    return 0;
}

CPanelRead CPlayback::LoadPanel() {
    const CPanelRead read = ReadPanelFile(GetPanelPath(m_nIndex), m_panel, m_decoder);
    const CPanelFit fit = FitPanelToScreen(m_panel.m_rcTotal, m_nScreenWidth, m_nScreenHeight);
    m_nZoom = fit.m_nZoom;
    m_nOffsetX = fit.m_nOffsetX;
    m_nOffsetY = fit.m_nOffsetY;
    m_nStep = 0;
    return read;
}

bool CPlayback::NextPanel() {
    ++m_nIndex;
    if (m_nIndex >= PlayableCount()) {
        if (!LoopsAtEnd()) {
            return false;
        }
        m_nIndex = 0;
    }
    // A missing, damaged or sizeless panel plays as the blank reset panel, without a message.
    LoadPanel();
    return true;
}

CPlaybackAction CPlayback::DrawNextLayer() {
    CPlaybackAction action;
    CShowLayer layer = LayerAt(m_nStep);
    if (layer.m_eKind == EShowLayer::None) {
        // No balloon at the next display position: the panel is over.
        if (!NextPanel()) {
            return Hide();
        }
        action.m_bNewPanel = true;
        layer = LayerAt(m_nStep);
    }
    action.m_layer = layer;
    m_nWaitTicks = WaitAfter(layer);
    ++m_nStep;
    return action;
}

CPlaybackAction CPlayback::Hide() {
    m_bPlaying = false;
    m_bPaused = false;
    m_nTyped = -1;
    CPlaybackAction action;
    action.m_bHide = true;
    action.m_eTimer = ETimerChange::Stop;
    return action;
}

CPlaybackStart CPlayback::Abandon(EStartOutcome outcome) {
    CPlaybackStart start;
    static_cast<CPlaybackAction&>(start) = Hide();
    start.m_eOutcome = outcome;
    return start;
}
