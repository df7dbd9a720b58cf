#include "Playback.h"

#include <algorithm>

#include "PanelLayers.h"
#include "ShowData.h"
#include "TextCodec.h"

CPlayback::CPlayback(int screenWidth, int screenHeight)
    : m_nScreenWidth(screenWidth), m_nScreenHeight(screenHeight) {}

void CPlayback::SetScreenSize(int screenWidth, int screenHeight) {
    m_nScreenWidth = screenWidth;
    m_nScreenHeight = screenHeight;
}

CPlaybackStart CPlayback::PlayDocumentFile(const std::string& path, bool bManual) {
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
    m_nIndex = 0;
    m_strFolder = show.m_strFolder;
    m_nCount = show.m_nCount;
    m_strNames = show.m_strNames;
    return StartShow();
}

CPlaybackStart CPlayback::StartShow() {
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
    return DrawNextLayer();
}

CPlaybackAction CPlayback::Key(bool bEscape) {
    if (!m_bPlaying) {
        return {};
    }
    if (bEscape) {
        return Hide();
    }
    if (m_nCount == 0) {
        return {};
    }
    return DrawNextLayer();
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
    const CPanelRead read = ReadPanelFile(GetPanelPath(m_nIndex), m_panel);
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
        return false;
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
