// Presses of one key within a second are one history step; another key, a pause, an undo or
// an edit in between begin a new one.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/RepeatedStep.h"

namespace {

constexpr int kRight = 1;
constexpr int kDown = 2;

// A history of panels that differ by their first wait, one step per press.
class CPresses {
public:
    CPresses() { m_history.Push(m_panel); }
    bool Press(int key, std::int64_t ms) {
        return m_repeat.Apply(m_history, key, ms, [this] {
            ++m_panel.m_nFirstWait;
            m_history.Push(m_panel);
            return true;
        });
    }
    int Undoable() const { return m_history.m_nCurrent; }
    IPictureDecoder& PictureDecoder() { return m_decoder; }
    CFakeDecoder m_decoder;
    CUndoHistory m_history;
    CPanel m_panel;
    CRepeatedStep m_repeat;
};

} // namespace

struct SPressCase {
    const char* name;
    std::vector<std::pair<int, std::int64_t>> presses;
    int steps;
};

class RepeatedStep : public ::testing::TestWithParam<SPressCase> {};

TEST_P(RepeatedStep, CountsOneStepPerRun) {
    CPresses p;
    for (const auto& [key, ms] : GetParam().presses) {
        EXPECT_TRUE(p.Press(key, ms));
    }
    EXPECT_EQ(p.Undoable(), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RepeatedStep,
    ::testing::Values(SPressCase{"single", {{kRight, 0}}, 1},
                      SPressCase{"heldDown", {{kRight, 0}, {kRight, 30}, {kRight, 60}}, 1},
                      // Each press within a second of the one before continues the run.
                      SPressCase{"tapped", {{kRight, 0}, {kRight, 900}, {kRight, 1800}}, 1},
                      SPressCase{"paused", {{kRight, 0}, {kRight, 1000}}, 2},
                      SPressCase{"otherKey", {{kRight, 0}, {kDown, 10}, {kRight, 20}}, 3},
                      SPressCase{"clockBack", {{kRight, 500}, {kRight, 100}}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RepeatedStepHistory, OneUndoTakesTheWholeRunBack) {
    CPresses p;
    const std::int32_t before = p.m_panel.m_nFirstWait;
    p.Press(kRight, 0);
    p.Press(kRight, 100);
    p.Press(kRight, 200);
    EXPECT_EQ(p.m_panel.m_nFirstWait, before + 3);
    ASSERT_TRUE(p.m_history.Undo(p.m_panel, p.PictureDecoder()));
    EXPECT_EQ(p.m_panel.m_nFirstWait, before);
    EXPECT_FALSE(p.m_history.CanUndo());
    // Redo brings the whole run back.
    ASSERT_TRUE(p.m_history.Redo(p.m_panel, p.PictureDecoder()));
    EXPECT_EQ(p.m_panel.m_nFirstWait, before + 3);
}

TEST(RepeatedStepHistory, AnythingInBetweenBeginsANewStep) {
    CPresses p;
    p.Press(kRight, 0);
    p.Press(kRight, 100);
    // An undo in between: the next press is a step of its own, over the undone state.
    p.m_history.Undo(p.m_panel, p.PictureDecoder());
    p.Press(kRight, 200);
    EXPECT_EQ(p.Undoable(), 1);
    // Another edit in between.
    p.m_history.Push(p.m_panel);
    p.Press(kRight, 300);
    EXPECT_EQ(p.Undoable(), 3);
    // Forgotten (the selection changed).
    p.m_repeat.Forget();
    p.Press(kRight, 400);
    EXPECT_EQ(p.Undoable(), 4);
}

TEST(RepeatedStepHistory, AnEditThatChangesNothingRecordsNothing) {
    CPresses p;
    p.Press(kRight, 0);
    const bool changed = p.m_repeat.Apply(p.m_history, kRight, 50, [] { return false; });
    EXPECT_FALSE(changed);
    p.Press(kRight, 100);
    EXPECT_EQ(p.Undoable(), 1);
}

TEST(RepeatedStepHistory, MergeNeedsTwoStepsAfterTheFirstState) {
    CUndoHistory history;
    CPanel panel;
    CFakeDecoder decoder;
    history.Push(panel);
    EXPECT_FALSE(history.MergeWithPrevious());
    history.Push(panel);
    EXPECT_FALSE(history.MergeWithPrevious()); // the first state stays
    history.Push(panel);
    history.Undo(panel, decoder);
    EXPECT_FALSE(history.MergeWithPrevious()); // not the last step
    history.Redo(panel, decoder);
    EXPECT_TRUE(history.MergeWithPrevious());
    EXPECT_EQ(history.Count(), 2);
    EXPECT_EQ(history.m_nCurrent, 1);
}
