// Drives the full-screen player's state machine with arbitrary show events over arbitrary panel
// files and checks what the window relies on after every event: nothing is drawn or shown while
// hidden, the panel on screen is one of the show's, only balloons in use are drawn, Escape
// always ends the show, and a bounded number of keys always reaches its end.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "model/Playback.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// Every layer a panel can show: background, picture, ten balloons; one more advance leaves it.
constexpr int kMaxAdvancesPerPanel = 2 + kFukiSlots + 1;

// Checks the state after an event (or the start); shownBefore is how many layers were on
// screen before it.
void CheckState(const CPlayback& playback, const CPlaybackAction& action, std::size_t shownBefore) {
    if (!playback.IsPlaying()) {
        Check(playback.GetShownLayers().empty());
        Check(!playback.IsTimerRunning());
        Check(!action.m_bShow);
        Check(action.m_layer.m_eKind == EShowLayer::None);
        Check(action.m_bHide);
        return;
    }
    Check(!action.m_bHide);
    Check(playback.m_nCount <= 0 ||
          (playback.m_nIndex >= 0 && playback.m_nIndex < playback.m_nCount));
    const auto shown = playback.GetShownLayers();
    // Each advance adds one layer to the panel on screen, or starts the next panel with one.
    if (action.m_layer.m_eKind == EShowLayer::None) {
        Check(shown.size() == shownBefore);
    } else {
        Check(shown.size() == (action.m_bNewPanel ? 1 : shownBefore + 1));
    }
    Check(shown.size() <= static_cast<std::size_t>(2 + kFukiSlots));
    for (const CShowLayer& layer : shown) {
        if (layer.m_eKind == EShowLayer::Balloon) {
            Check(layer.m_nSlot >= 0 && layer.m_nSlot < kFukiSlots);
            Check(playback.m_panel.m_fuki[static_cast<std::size_t>(layer.m_nSlot)].IsInUse());
        }
    }
    if (action.m_layer.m_eKind == EShowLayer::Balloon) {
        Check(action.m_layer.m_nSlot >= 0 && action.m_layer.m_nSlot < kFukiSlots);
        Check(!shown.empty() && shown.back() == action.m_layer);
    }
}

// The player reads the panel files only; their pictures are never decoded here.
class CNoPictures final : public IPictureDecoder {
public:
    PictureHandle Decode(const std::string&) override { return nullptr; }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int screenW = in.ConsumeIntegralInRange(-2, 4000);
    const int screenH = in.ConsumeIntegralInRange(-2, 3000);
    CNoPictures decoder;
    CPlayback playback(decoder, screenW, screenH);
    playback.m_bManual = in.ConsumeBool();
    playback.m_strFolder = FuzzFolder();
    const int panels = in.ConsumeIntegralInRange(0, 4);
    playback.m_nCount = in.ConsumeBool() ? panels : -in.ConsumeIntegralInRange(0, 2);
    for (int i = 0; i < panels; ++i) {
        const std::string bytes = in.ConsumeRandomLengthString(4096);
        const std::string name = "p" + std::to_string(i);
        WriteFuzzFile(name + ".vlm", reinterpret_cast<const std::uint8_t*>(bytes.data()),
                      bytes.size());
        // A name now and then that is missing or not a bare file name.
        const int kind = in.ConsumeIntegralInRange(0, 7);
        playback.m_strNames[static_cast<std::size_t>(i)] = kind == 0   ? "missing"
                                                           : kind == 1 ? "../" + name
                                                                       : name;
    }
    playback.m_nIndex = 0;
    const CPlaybackStart start = playback.StartShow();
    Check(playback.IsPlaying() == (start.m_eOutcome == EStartOutcome::Started));
    if (start.m_eOutcome == EStartOutcome::Started) {
        CheckState(playback, start, 0);
    } else {
        Check(!playback.IsPlaying() && start.m_bHide && !start.m_bShow);
    }

    while (in.remaining_bytes() > 0 && playback.IsPlaying()) {
        const std::size_t shownBefore = playback.GetShownLayers().size();
        CPlaybackAction action;
        switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
        case 1:
            action = playback.Tick();
            break;
        case 2:
            action = playback.Click();
            break;
        case 3:
            action = playback.Key(false);
            break;
        case 4:
            playback.SetScreenSize(in.ConsumeIntegralInRange(-2, 4000),
                                   in.ConsumeIntegralInRange(-2, 3000));
            continue;
        default:
            action = in.ConsumeBool() ? playback.Close() : playback.Key(true);
            Check(!playback.IsPlaying());
            break;
        }
        CheckState(playback, action, shownBefore);
    }
    // Keys alone reach the end of any show, one layer at a time; an empty show needs Escape.
    if (playback.IsPlaying() && playback.m_nCount > 0) {
        const int bound = (playback.m_nCount - playback.m_nIndex) * kMaxAdvancesPerPanel;
        for (int i = 0; i < bound && playback.IsPlaying(); ++i) {
            const std::size_t shownBefore = playback.GetShownLayers().size();
            CheckState(playback, playback.Key(false), shownBefore);
        }
        Check(!playback.IsPlaying());
    }
    return 0;
}
