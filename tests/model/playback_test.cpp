// The full-screen player's state machine, driven by explicit ticks, clicks and keys over panel
// and show files written into a temporary folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <unistd.h>

#include "model/Playback.h"
#include "model/VelmoDoc.h"
#include "model/VelmoShowDoc.h"

namespace {

const CShowLayer kBackground{EShowLayer::Background, -1};
const CShowLayer kPicture{EShowLayer::Picture, -1};
CShowLayer Balloon(int slot) {
    return {EShowLayer::Balloon, slot};
}

class CFakePicture : public CDecodedPicture {
public:
    int Width() const override { return 60; }
    int Height() const override { return 40; }
};

// Remembers where it was asked to look; once m_bDecodes is set, decodes every file it is handed.
class CFakeDecoder : public IPictureDecoder {
public:
    bool m_bDecodes = false;
    std::vector<std::string> m_paths;
    PictureHandle Decode(const std::string& path) override {
        m_paths.push_back(path);
        return m_bDecodes ? std::make_shared<CFakePicture>() : nullptr;
    }
};

struct CWaited {
    int m_nTicks = 0;
    CPlaybackAction m_action;
};

// Ticks until the player draws something or hides; a limit of ticks stops a runaway show.
CWaited TickUntilAction(CPlayback& playback, int limit = 1000) {
    CWaited waited;
    while (waited.m_nTicks < limit) {
        ++waited.m_nTicks;
        waited.m_action = playback.Tick();
        if (waited.m_action.m_layer.m_eKind != EShowLayer::None || waited.m_action.m_bHide) {
            break;
        }
    }
    return waited;
}

// The example panel: first wait 30, picture wait 20, positions 1 (slot 9, wait 10) and
// 2 (slot 4, wait 50).
void MakeExample(CPanel& panel) {
    panel.m_nFirstWait = 30;
    panel.m_image.m_nWait = 20;
    panel.m_fuki[9].m_nOrder = 1;
    panel.m_fuki[9].m_nWait = 10;
    panel.m_fuki[4].m_nOrder = 2;
    panel.m_fuki[4].m_nWait = 50;
}

class PlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/velmo-playback-XXXXXX";
        ASSERT_NE(::mkdtemp(folder), nullptr);
        m_dir = std::string(folder) + "/";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }

    // Saves name.vlm in the show folder: a default panel changed by configure.
    std::string SavePanel(const std::string& name,
                          const std::function<void(CPanel&)>& configure = {}) {
        CVelmoDoc doc(m_decoder);
        if (configure) {
            configure(doc.m_panel);
        }
        const std::string path = m_dir + name + ".vlm";
        EXPECT_EQ(doc.OnSaveDocument(path), EDocOutcome::Saved);
        return path;
    }
    std::string SaveShow(const std::string& name, const std::vector<std::string>& names) {
        CVelmoShowDoc doc;
        doc.m_show.m_nCount = static_cast<std::int32_t>(names.size());
        std::copy(names.begin(), names.end(), doc.m_show.m_strNames.begin());
        const std::string path = m_dir + name + ".vls";
        EXPECT_EQ(doc.OnSaveDocument(path), EDocOutcome::Saved);
        return path;
    }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        std::ofstream(m_dir + name, std::ios::binary) << bytes;
        return m_dir + name;
    }

    std::string m_dir;
    CFakeDecoder m_decoder;
    CPlayback m_play{m_decoder, 1280, 1024};
};

TEST_F(PlaybackTest, AutomaticTimingIsExactToTheTick) {
    SavePanel("ex", MakeExample);
    SavePanel("plain");
    const CPlaybackStart start = m_play.PlayDocumentFile(SaveShow("s", {"ex", "plain"}), false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::Started);
    EXPECT_TRUE(start.m_bShow);
    EXPECT_EQ(start.m_eTimer, ETimerChange::Start);
    EXPECT_EQ(start.m_layer, kBackground); // at once
    EXPECT_TRUE(start.m_bNewPanel);
    EXPECT_TRUE(m_play.IsTimerRunning());

    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kPicture);
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 21);
    EXPECT_EQ(w.m_action.m_layer, Balloon(9));
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 11);
    EXPECT_EQ(w.m_action.m_layer, Balloon(4));
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 51);
    EXPECT_EQ(w.m_action.m_layer, kBackground);
    EXPECT_TRUE(w.m_action.m_bNewPanel);
    EXPECT_EQ(m_play.m_nIndex, 1);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0x00FFFFFFu);

    // A panel with no balloons: background, picture, then the end of the show.
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kPicture);
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_TRUE(w.m_action.m_bHide);
    EXPECT_EQ(w.m_action.m_eTimer, ETimerChange::Stop);
    EXPECT_EQ(w.m_action.m_layer.m_eKind, EShowLayer::None);
    EXPECT_FALSE(m_play.IsPlaying());
    EXPECT_FALSE(m_play.IsTimerRunning());
    EXPECT_EQ(TickUntilAction(m_play, 100).m_nTicks, 100);
}

TEST_F(PlaybackTest, WaitsOfZeroOrLessAdvanceOnTheFirstTick) {
    SavePanel("p", [](CPanel& p) {
        p.m_nFirstWait = 0;
        p.m_image.m_nWait = INT32_MIN; // from a damaged file: must not overflow the countdown
    });
    m_play.PlayDocumentFile(m_dir + "p.vlm", false);
    EXPECT_EQ(TickUntilAction(m_play).m_nTicks, 1);
    const CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 1);
    EXPECT_TRUE(w.m_action.m_bHide);
}

TEST_F(PlaybackTest, ManualPositionsOneTwoFourPlayAllThreeAsTheyAreDrawn) {
    SavePanel("hero", [](CPanel& p) {
        p.m_fuki[0].m_nOrder = 2;
        p.m_fuki[1].m_nOrder = 4;
        p.m_fuki[2].m_nOrder = 1;
    });
    // A panel document plays as a one-panel show from its own folder.
    const CPlaybackStart start = m_play.PlayDocumentFile(m_dir + "hero.vlm", true);
    EXPECT_EQ(start.m_layer, kBackground);
    EXPECT_EQ(start.m_eTimer, ETimerChange::Stop);
    EXPECT_EQ(m_play.m_nCount, 1);
    EXPECT_EQ(m_play.m_strNames[0], "hero");
    EXPECT_EQ(m_play.m_strFolder, m_dir);

    // Manual mode: the timer never runs and every wait is ignored.
    EXPECT_FALSE(m_play.IsTimerRunning());
    EXPECT_EQ(TickUntilAction(m_play, 500).m_nTicks, 500);
    EXPECT_EQ(m_play.Click().m_layer, kPicture);
    EXPECT_EQ(m_play.Click().m_layer, Balloon(2));
    EXPECT_EQ(m_play.Click().m_layer, Balloon(0));

    // A repaint for another reason redraws what is shown and advances nothing.
    const std::vector<CShowLayer> shown{kBackground, kPicture, Balloon(2), Balloon(0)};
    EXPECT_EQ(m_play.GetShownLayers(), shown);
    EXPECT_EQ(m_play.GetShownLayers(), shown);

    // Position 4 comes next although position 3 is empty: the player shows what the editor
    // draws.
    EXPECT_EQ(m_play.Click().m_layer, Balloon(1));
    const CPlaybackAction end = m_play.Click();
    EXPECT_TRUE(end.m_bHide);
    EXPECT_EQ(end.m_layer.m_eKind, EShowLayer::None);
    EXPECT_TRUE(m_play.GetShownLayers().empty());
    EXPECT_EQ(m_play.Click().m_layer.m_eKind, EShowLayer::None);
}

TEST_F(PlaybackTest, DuplicatePositionsShowBothLowerSlotFirst) {
    SavePanel("dup", [](CPanel& p) {
        p.m_fuki[3].m_nOrder = 1;
        p.m_fuki[7].m_nOrder = 1;
        p.m_fuki[5].m_nOrder = 2;
    });
    m_play.PlayDocumentFile(m_dir + "dup.vlm", true);
    m_play.Click();
    EXPECT_EQ(m_play.Click().m_layer, Balloon(3));
    EXPECT_EQ(m_play.Click().m_layer, Balloon(7));
    EXPECT_EQ(m_play.Click().m_layer, Balloon(5));
    EXPECT_TRUE(m_play.Click().m_bHide);
}

TEST_F(PlaybackTest, MissingPanelsShowTwoBlankLayers) {
    SavePanel("a", [](CPanel& p) { p.m_crBack = MakeRgb(1, 2, 3); });
    ::mkdir((m_dir + "sub").c_str(), 0700);
    SavePanel("sub/x");
    const std::string show = SaveShow("s", {"gone", "a", "sub/x", "a"});

    // Automatic: black for 31 ticks, then 31 more, then the next panel.
    const CPlaybackStart start = m_play.PlayDocumentFile(show, false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::Started);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0u);
    EXPECT_EQ(m_play.m_panel.m_rcTotal, (CRect{0, 0, 640, 480}));
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kPicture);
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kBackground);
    EXPECT_EQ(m_play.m_panel.m_crBack, MakeRgb(1, 2, 3));

    // Manual: two advances through the blank panel. A name with a folder part is not a file of
    // the show's folder and plays blank, even though sub/x.vlm exists.
    m_play.PlayDocumentFile(show, true);
    m_play.Click();
    EXPECT_EQ(m_play.Click().m_layer, kBackground);
    EXPECT_EQ(m_play.m_nIndex, 1);
    m_play.Click();
    EXPECT_EQ(m_play.Click().m_layer, kBackground);
    EXPECT_EQ(m_play.m_nIndex, 2);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0u);
    EXPECT_EQ(m_play.PeekNextPanelPath(), m_dir + "a.vlm");
}

TEST_F(PlaybackTest, PictureIsFoundInTheShowFolderFirst) {
    CFakeDecoder& decoder = m_decoder;
    decoder.m_bDecodes = true;
    ::mkdir((m_dir + "elsewhere").c_str(), 0700);
    WriteFile("elsewhere/p.jpg", "x");
    WriteFile("p.jpg", "x");
    const std::string elsewhere = m_dir + "elsewhere/p.jpg";
    SavePanel("pic", [&](CPanel& p) {
        p.m_image.m_strName = "p.jpg";
        p.m_image.m_strPath = elsewhere;
        p.m_image.m_nWait = 4;
    });
    char before[4096];
    ASSERT_NE(::getcwd(before, sizeof before), nullptr);

    m_play.PlayDocumentFile(m_dir + "pic.vlm", false);
    ASSERT_FALSE(decoder.m_paths.empty());
    EXPECT_EQ(decoder.m_paths.back(), m_dir + "p.jpg");
    EXPECT_EQ(m_play.m_panel.m_image.m_strHomeFolder, m_dir);
    EXPECT_TRUE(m_play.m_panel.m_image.HasPicture());
    char after[4096];
    ASSERT_NE(::getcwd(after, sizeof after), nullptr);
    EXPECT_STREQ(before, after); // the process's current directory is never changed

    // Without the picture beside the show, the recorded full path is the fallback.
    std::filesystem::remove(m_dir + "p.jpg");
    m_play.PlayDocumentFile(m_dir + "pic.vlm", false);
    EXPECT_EQ(decoder.m_paths.back(), elsewhere);

    // Without any picture file the picture step is still spent, with its own wait.
    std::filesystem::remove(elsewhere);
    m_play.PlayDocumentFile(m_dir + "pic.vlm", false);
    EXPECT_FALSE(m_play.m_panel.m_image.HasPicture());
    const CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kPicture);
    EXPECT_EQ(TickUntilAction(m_play).m_nTicks, 5);
}

TEST_F(PlaybackTest, KeysAdvanceInBothModesClicksOnlyInManual) {
    SavePanel("ex", MakeExample);
    const std::string path = m_dir + "ex.vlm";

    m_play.PlayDocumentFile(path, false);
    EXPECT_EQ(TickUntilAction(m_play, 5).m_nTicks, 5);
    EXPECT_EQ(m_play.Click().m_layer.m_eKind, EShowLayer::None);
    EXPECT_EQ(m_play.Key(false).m_layer, kPicture); // at once
    // The countdown starts again with the picture's wait.
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 21);
    EXPECT_EQ(w.m_action.m_layer, Balloon(9));

    // A new start replaces the show playing; manual mode stops the running timer.
    const CPlaybackStart start = m_play.PlayDocumentFile(path, true);
    EXPECT_EQ(start.m_eTimer, ETimerChange::Stop);
    EXPECT_EQ(m_play.GetShownLayers(), std::vector<CShowLayer>{kBackground});
    EXPECT_EQ(m_play.Key(false).m_layer, kPicture);
    EXPECT_EQ(m_play.Click().m_layer, Balloon(9));
    EXPECT_EQ(m_play.Key(false).m_layer, Balloon(4));
    EXPECT_TRUE(m_play.Key(false).m_bHide);
}

TEST_F(PlaybackTest, EscapeAndCloseHideInBothModes) {
    SavePanel("ex", MakeExample);
    for (const bool manual : {false, true}) {
        for (const bool close : {false, true}) {
            m_play.PlayDocumentFile(m_dir + "ex.vlm", manual);
            m_play.Key(false);
            const CPlaybackAction action = close ? m_play.Close() : m_play.Key(true);
            EXPECT_TRUE(action.m_bHide);
            EXPECT_EQ(action.m_eTimer, ETimerChange::Stop);
            EXPECT_EQ(action.m_layer.m_eKind, EShowLayer::None);
            EXPECT_FALSE(m_play.IsPlaying());
            EXPECT_FALSE(m_play.IsTimerRunning());
            EXPECT_TRUE(m_play.GetShownLayers().empty());
            EXPECT_EQ(TickUntilAction(m_play, 100).m_nTicks, 100);
            EXPECT_EQ(m_play.Key(false).m_layer.m_eKind, EShowLayer::None);
            EXPECT_EQ(m_play.Click().m_layer.m_eKind, EShowLayer::None);
        }
    }
}

TEST_F(PlaybackTest, NegativeCountPlaysNothing) {
    SavePanel("ex", MakeExample);
    m_play.PlayDocumentFile(m_dir + "ex.vlm", false);
    const std::string show =
        WriteFile("neg.vls", std::string("\0\0\0\0\xff\xff\xff\xff\0\0\0\0", 12));
    const CPlaybackStart start = m_play.PlayDocumentFile(show, false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::NothingToPlay);
    EXPECT_FALSE(start.m_bShow);
    EXPECT_TRUE(start.m_bHide); // the show that was playing is replaced by nothing
    EXPECT_EQ(start.m_eTimer, ETimerChange::Stop);
    EXPECT_EQ(start.m_layer.m_eKind, EShowLayer::None);
    EXPECT_FALSE(m_play.IsPlaying());
    EXPECT_EQ(m_play.m_nCount, -1);
}

TEST_F(PlaybackTest, EmptyShowIsBlackUntilEscapeWithNoTimer) {
    const std::string empty = SaveShow("empty", {});
    for (const std::string& path : {std::string(), empty, m_dir + "notes.txt"}) {
        const CPlaybackStart start = m_play.PlayDocumentFile(path, false);
        EXPECT_EQ(start.m_eOutcome, EStartOutcome::Started);
        EXPECT_TRUE(start.m_bShow);
        EXPECT_EQ(start.m_eTimer, ETimerChange::Stop);
        EXPECT_EQ(start.m_layer, kBackground);
        EXPECT_EQ(m_play.m_panel.m_crBack, 0u);
        EXPECT_FALSE(m_play.IsTimerRunning());
        EXPECT_EQ(TickUntilAction(m_play, 100).m_nTicks, 100);
        EXPECT_EQ(m_play.Click().m_layer.m_eKind, EShowLayer::None);
        EXPECT_EQ(m_play.Key(false).m_layer.m_eKind, EShowLayer::None);
        EXPECT_TRUE(m_play.IsPlaying());
        EXPECT_EQ(m_play.GetShownLayers(), std::vector<CShowLayer>{kBackground});
        EXPECT_EQ(m_play.PeekNextPanelPath(), "");
        EXPECT_TRUE(m_play.Key(true).m_bHide);
    }
}

TEST_F(PlaybackTest, FitsThePanelToTheScreen) {
    const CPanelFit wide = FitPanelToScreen(CRect{0, 0, 640, 480}, 1280, 1024);
    EXPECT_EQ(wide.m_nZoom, 200);
    EXPECT_EQ(wide.m_nOffsetX, 0);
    EXPECT_EQ(wide.m_nOffsetY, 32);
    const CPanelFit tie = FitPanelToScreen(CRect{0, 0, 640, 480}, 1024, 768);
    EXPECT_EQ(tie.m_nZoom, 160);
    EXPECT_EQ(tie.m_nOffsetX, 0);
    EXPECT_EQ(tie.m_nOffsetY, 0);
    const CPanelFit tall = FitPanelToScreen(CRect{0, 0, 480, 640}, 1280, 1024);
    EXPECT_EQ(tall.m_nZoom, 160);
    EXPECT_EQ(tall.m_nOffsetX, 256);
    EXPECT_EQ(tall.m_nOffsetY, 0);
    // Sizes from a damaged file stay within range.
    const CPanelFit huge = FitPanelToScreen(CRect{INT32_MIN, 0, INT32_MAX, 1}, 1280, 1024);
    EXPECT_EQ(huge.m_nZoom, 0);
    EXPECT_EQ(huge.m_nOffsetX, 0);
    EXPECT_EQ(huge.m_nOffsetY, 512);

    SavePanel("p");
    m_play.PlayDocumentFile(m_dir + "p.vlm", true);
    EXPECT_EQ(m_play.m_nZoom, 200);
    EXPECT_EQ(m_play.m_nOffsetX, 0);
    EXPECT_EQ(m_play.m_nOffsetY, 32);
    m_play.SetScreenSize(1024, 768);
    m_play.PlayDocumentFile(m_dir + "p.vlm", true);
    EXPECT_EQ(m_play.m_nZoom, 160);
    EXPECT_EQ(m_play.m_nOffsetY, 0);
}

TEST_F(PlaybackTest, ZeroSizePanelPlaysAsTheBlankResetPanel) {
    SavePanel("flat", [](CPanel& p) {
        p.m_rcTotal = CRect{0, 0, 0, 480};
        p.m_crBack = MakeRgb(9, 9, 9);
        p.m_fuki[0].m_nOrder = 1;
    });
    SavePanel("upside", [](CPanel& p) { p.m_rcTotal = CRect{0, 10, 640, -5}; });
    CPanel panel;
    EXPECT_EQ(ReadPanelFile(m_dir + "flat.vlm", panel, m_decoder).m_eResult, EPanelRead::ZeroSize);
    EXPECT_EQ(ReadPanelFile(m_dir + "upside.vlm", panel, m_decoder).m_eResult,
              EPanelRead::ZeroSize);

    m_play.PlayDocumentFile(SaveShow("s", {"flat", "upside"}), true);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0u);
    EXPECT_EQ(m_play.m_panel.m_rcTotal, (CRect{0, 0, 640, 480}));
    EXPECT_EQ(m_play.m_nZoom, 200);
    EXPECT_EQ(m_play.Click().m_layer, kPicture);
    EXPECT_EQ(m_play.Click().m_layer, kBackground); // the balloon of the damaged panel is gone
    EXPECT_EQ(m_play.m_nIndex, 1);
}

TEST_F(PlaybackTest, DamagedFilesAreReportedAtTheStartAndSkippedLater) {
    const std::string good = SavePanel("good");
    SavePanel("cut");
    std::filesystem::resize_file(m_dir + "cut.vlm", 20);

    CPlaybackStart start = m_play.PlayDocumentFile(m_dir + "cut.vlm", false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::DamagedPanelFile);
    EXPECT_EQ(start.m_eCause, CArchiveException::endOfFile);
    EXPECT_EQ(start.m_strFile, m_dir + "cut.vlm");
    EXPECT_FALSE(start.m_bShow);
    EXPECT_EQ(start.m_layer.m_eKind, EShowLayer::None);
    EXPECT_FALSE(m_play.IsPlaying());

    // A later panel that ends early is skipped like a missing one.
    start = m_play.PlayDocumentFile(SaveShow("s", {"good", "cut", "good"}), true);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::Started);
    m_play.Click();
    EXPECT_EQ(m_play.Click().m_layer, kBackground);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0u);
    m_play.Click();
    EXPECT_EQ(m_play.Click().m_layer, kBackground);
    EXPECT_EQ(m_play.m_nIndex, 2);

    const std::string brokenShow =
        WriteFile("broken.vls", std::string("\0\0\0\0\2\0\0\0\0\0\0\0\1a", 14));
    start = m_play.PlayDocumentFile(brokenShow, false);
    EXPECT_EQ(start.m_eOutcome, EStartOutcome::DamagedShowFile);
    EXPECT_EQ(start.m_strFile, brokenShow);
    EXPECT_TRUE(start.m_bHide);
    EXPECT_FALSE(m_play.IsPlaying());
    EXPECT_EQ(m_play.m_nCount, 3); // the record of the last show is untouched
}

TEST_F(PlaybackTest, NextPanelCanBePreparedAheadAndRepeatsPlayAgain) {
    SavePanel("a", [](CPanel& p) { p.m_crBack = MakeRgb(10, 0, 0); });
    SavePanel("b", [](CPanel& p) { p.m_crBack = MakeRgb(20, 0, 0); });
    m_play.PlayDocumentFile(SaveShow("s", {"a", "b", "a"}), true);
    EXPECT_EQ(m_play.PeekNextPanelPath(), m_dir + "b.vlm");
    m_play.Click();
    EXPECT_EQ(m_play.PeekNextPanelPath(), m_dir + "b.vlm"); // still b while a is on screen
    const CPlaybackAction next = m_play.Click();
    EXPECT_TRUE(next.m_bNewPanel);
    EXPECT_EQ(m_play.m_panel.m_crBack, MakeRgb(20, 0, 0));
    EXPECT_EQ(m_play.PeekNextPanelPath(), m_dir + "a.vlm");
    m_play.Click();
    m_play.Click();
    EXPECT_EQ(m_play.m_panel.m_crBack, MakeRgb(10, 0, 0));
    EXPECT_EQ(m_play.PeekNextPanelPath(), "");
}

// Presses keys written as characters: a digit types it, 'E' is Enter, 'B' a step back, 'P' the
// pause key, 'x' any other key. Returns the action of the last key.
CPlaybackAction Press(CPlayback& playback, const std::string& keys) {
    CPlaybackAction last;
    for (const char c : keys) {
        if (c >= '0' && c <= '9') {
            last = playback.KeyPress(EShowKey::Digit, c - '0');
        } else {
            const EShowKey key = c == 'E'   ? EShowKey::Enter
                                 : c == 'B' ? EShowKey::Back
                                 : c == 'P' ? EShowKey::Pause
                                            : EShowKey::Other;
            last = playback.KeyPress(key);
        }
    }
    return last;
}

// Two panels: "ex" (background, picture, balloons 9 and 4) and "plain" (background, picture).
class PresentingTest : public PlaybackTest {
protected:
    void SetUp() override {
        PlaybackTest::SetUp();
        SavePanel("ex", MakeExample);
        SavePanel("plain", [](CPanel& p) { p.m_crBack = MakeRgb(7, 7, 7); });
        m_strShow = SaveShow("s", {"ex", "plain"});
    }
    std::string m_strShow;
};

TEST_F(PresentingTest, BackRebuildsThePreviousLayersAcrossPanels) {
    const std::vector<CShowLayer> ex{kBackground, kPicture, Balloon(9), Balloon(4)};
    struct SCase {
        const char* keys; // pressed after the start, manual mode
        int nIndex;
        std::size_t nShown; // the first layers of the panel on screen
        bool bRedraw;       // the last key asked for the screen afresh
        bool bNewPanel;
    };
    const SCase cases[] = {
        {"B", 0, 1, false, false},          // at the very first layer nothing happens
        {"xB", 0, 1, true, false},          // picture taken back
        {"xxxB", 0, 3, true, false},        // the last balloon taken back
        {"xxxxB", 0, 4, true, true},        // from the next panel's background: all of "ex"
        {"xxxxBx", 1, 1, false, true},      // and forward again to the same background
        {"xxxxxB", 1, 1, true, false},      // "plain": its picture taken back
        {"xxxxBBBBBB", 0, 1, false, false}, // back to the start, then nothing more
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.keys);
        m_play.PlayDocumentFile(m_strShow, true);
        const CPlaybackAction last = Press(m_play, c.keys);
        EXPECT_EQ(m_play.m_nIndex, c.nIndex);
        const std::vector<CShowLayer>& all =
            c.nIndex == 0 ? ex : std::vector<CShowLayer>{kBackground, kPicture};
        EXPECT_EQ(m_play.GetShownLayers(),
                  std::vector<CShowLayer>(all.begin(), all.begin() + c.nShown));
        EXPECT_EQ(last.m_bRedraw, c.bRedraw);
        EXPECT_EQ(last.m_bNewPanel, c.bNewPanel);
        EXPECT_EQ(m_play.m_panel.m_crBack, c.nIndex == 0 ? 0x00FFFFFFu : MakeRgb(7, 7, 7));
        EXPECT_EQ(last.m_eTimer, ETimerChange::Keep); // manual: no timer ever
    }
}

TEST_F(PresentingTest, BackRestartsTheWaitOfTheLayerNowLast) {
    m_play.PlayDocumentFile(m_strShow, false);
    EXPECT_EQ(TickUntilAction(m_play).m_nTicks, 31); // picture
    EXPECT_EQ(TickUntilAction(m_play, 7).m_nTicks, 7);
    CPlaybackAction back = m_play.Back();
    EXPECT_TRUE(back.m_bRedraw);
    EXPECT_EQ(back.m_eTimer, ETimerChange::Start);
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31); // the background's whole wait again
    EXPECT_EQ(w.m_action.m_layer, kPicture);

    // From the next panel's background back to "ex" as it was left: balloon 4 waits 50.
    for (int i = 0; i < 3; ++i) {
        TickUntilAction(m_play);
    }
    ASSERT_EQ(m_play.m_nIndex, 1);
    back = m_play.Back();
    EXPECT_TRUE(back.m_bNewPanel);
    EXPECT_EQ(m_play.m_nIndex, 0);
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 51);
    EXPECT_EQ(w.m_action.m_layer, kBackground);
    EXPECT_EQ(m_play.m_nIndex, 1);
}

TEST_F(PresentingTest, PauseHoldsTheCountdownWhereItStood) {
    m_play.PlayDocumentFile(m_strShow, false);
    EXPECT_EQ(TickUntilAction(m_play, 10).m_nTicks, 10);
    CPlaybackAction pause = Press(m_play, "P");
    EXPECT_EQ(pause.m_eTimer, ETimerChange::Stop);
    EXPECT_TRUE(m_play.IsPaused());
    EXPECT_FALSE(m_play.IsTimerRunning());
    EXPECT_EQ(TickUntilAction(m_play, 500).m_nTicks, 500); // a stray tick counts nothing
    pause = Press(m_play, "P");
    EXPECT_EQ(pause.m_eTimer, ETimerChange::Start);
    EXPECT_FALSE(m_play.IsPaused());
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 21); // 31 in all, 10 of them before the pause
    EXPECT_EQ(w.m_action.m_layer, kPicture);

    // Paused, keys still step and going back keeps the pause.
    Press(m_play, "P");
    EXPECT_EQ(Press(m_play, "x").m_layer, Balloon(9));
    EXPECT_EQ(Press(m_play, "B").m_eTimer, ETimerChange::Keep);
    EXPECT_TRUE(m_play.IsPaused());
    EXPECT_EQ(TickUntilAction(m_play, 100).m_nTicks, 100);
    Press(m_play, "P");
    EXPECT_EQ(TickUntilAction(m_play).m_nTicks, 21); // the picture's wait, whole
    // A new show starts unpaused.
    Press(m_play, "P");
    m_play.PlayDocumentFile(m_strShow, false);
    EXPECT_FALSE(m_play.IsPaused());
    EXPECT_TRUE(m_play.IsTimerRunning());
}

TEST_F(PresentingTest, PauseKeyAdvancesInManualMode) {
    m_play.PlayDocumentFile(m_strShow, true);
    EXPECT_EQ(Press(m_play, "P").m_layer, kPicture);
    EXPECT_FALSE(m_play.IsPaused());
    EXPECT_EQ(m_play.Pause().m_eTimer, ETimerChange::Keep);
    EXPECT_FALSE(m_play.IsPaused());
}

TEST_F(PresentingTest, LoopStartsAgainFromTheFirstPanelInAutomaticModeOnly) {
    m_play.PlayDocumentFile(m_strShow, false, true);
    for (int i = 0; i < 4; ++i) {
        TickUntilAction(m_play);
    }
    ASSERT_EQ(m_play.m_nIndex, 1);
    EXPECT_EQ(m_play.PeekNextPanelPath(), m_dir + "ex.vlm");
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31); // plain's picture
    w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kBackground);
    EXPECT_TRUE(w.m_action.m_bNewPanel);
    EXPECT_FALSE(w.m_action.m_bHide);
    EXPECT_EQ(m_play.m_nIndex, 0);
    EXPECT_EQ(m_play.m_panel.m_crBack, 0x00FFFFFFu);
    EXPECT_EQ(TickUntilAction(m_play).m_nTicks, 31); // and on exactly as the first time
    EXPECT_TRUE(m_play.Key(true).m_bHide);           // Escape still ends it

    // By hand the show ends after its last layer as before, looping or not.
    m_play.PlayDocumentFile(m_strShow, true, true);
    EXPECT_TRUE(Press(m_play, "xxxxxx").m_bHide);
    EXPECT_EQ(m_play.PeekNextPanelPath(), "");
}

TEST_F(PresentingTest, TypedPanelNumberAndEnterGoToThatPanel) {
    struct SCase {
        const char* keys; // pressed after the start and one advance, manual mode
        int nIndex;
        std::size_t nShown;
        bool bNewPanel; // the last key put a panel on screen
    };
    const SCase cases[] = {
        {"2E", 1, 1, true},   {"02E", 1, 1, true},  {"1E", 0, 1, true},
        {"0E", 0, 2, false},  {"3E", 0, 2, false},  {"999999999999E", 0, 2, false},
        {"2", 0, 2, false},   {"2x", 0, 3, false},  {"E", 0, 3, false},
        {"2BE", 0, 2, false}, {"2PE", 0, 4, false},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.keys);
        m_play.PlayDocumentFile(m_strShow, true);
        m_play.Click();
        const CPlaybackAction last = Press(m_play, c.keys);
        EXPECT_EQ(m_play.m_nIndex, c.nIndex);
        EXPECT_EQ(m_play.GetShownLayers().size(), c.nShown);
        EXPECT_EQ(last.m_bNewPanel, c.bNewPanel);
        if (c.bNewPanel) {
            EXPECT_EQ(last.m_layer, kBackground);
        }
    }
    // A typed number waits for Enter; Escape drops it with the show.
    EXPECT_EQ(Press(m_play, "12").m_layer.m_eKind, EShowLayer::None);
    EXPECT_EQ(m_play.GetTypedNumber(), 12);
    m_play.Key(true);
    EXPECT_EQ(m_play.GetTypedNumber(), -1);
}

TEST_F(PresentingTest, GoToRestartsTheCountdownOfTheNewPanel) {
    m_play.PlayDocumentFile(m_strShow, false);
    EXPECT_EQ(TickUntilAction(m_play, 12).m_nTicks, 12);
    const CPlaybackAction go = Press(m_play, "2E");
    EXPECT_EQ(go.m_eTimer, ETimerChange::Start);
    EXPECT_EQ(m_play.m_nIndex, 1);
    CWaited w = TickUntilAction(m_play);
    EXPECT_EQ(w.m_nTicks, 31);
    EXPECT_EQ(w.m_action.m_layer, kPicture);
    // Paused, the jump happens and the pause stays.
    Press(m_play, "P1E");
    EXPECT_EQ(m_play.m_nIndex, 0);
    EXPECT_TRUE(m_play.IsPaused());
    EXPECT_EQ(TickUntilAction(m_play, 50).m_nTicks, 50);
}

} // namespace
