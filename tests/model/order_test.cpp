// Display positions of the ten balloon slots: adding, inserting, the four order commands,
// deleting and duplicating keep the positions in use exactly 1..k.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <utility>
#include <vector>

#include "TestSupport.h"
#include "model/Panel.h"
#include "model/VelmoDoc.h"

namespace {

std::array<std::int32_t, kFukiSlots> Orders(const CPanel& panel) {
    std::array<std::int32_t, kFukiSlots> orders{};
    for (int i = 0; i < kFukiSlots; ++i) {
        orders[static_cast<std::size_t>(i)] = panel.m_fuki[static_cast<std::size_t>(i)].m_nOrder;
    }
    return orders;
}

// The positions in use, sorted, must be 1..k; free slots hold -1.
void ExpectGapFree(const CPanel& panel) {
    std::vector<std::int32_t> used;
    for (const CFuki& fuki : panel.m_fuki) {
        if (fuki.m_nOrder != kFreeSlot) {
            used.push_back(fuki.m_nOrder);
        }
    }
    std::sort(used.begin(), used.end());
    for (std::size_t i = 0; i < used.size(); ++i) {
        ASSERT_EQ(used[i], static_cast<std::int32_t>(i + 1));
    }
}

// A panel with all ten slots in use; slot 9 is position 1, slot 0 position 10.
CPanel FullPanel() {
    CPanel panel;
    for (int i = 0; i < kFukiSlots; ++i) {
        panel.AddFuki();
    }
    return panel;
}

} // namespace

TEST(Order, NewPanelFillsFromTheHighestSlot) {
    CPanel panel;
    for (int position = 1; position <= 10; ++position) {
        EXPECT_EQ(panel.FindFuki(position), -1) << position;
    }
    EXPECT_EQ(panel.AddFuki(), 9);
    EXPECT_EQ(panel.m_fuki[9].m_nOrder, 1);
    EXPECT_EQ(panel.AddFuki(), 8);
    EXPECT_EQ(panel.m_fuki[8].m_nOrder, 2);
    EXPECT_EQ(panel.FindFuki(2), 8);
    EXPECT_EQ(panel.FindFuki(kFreeSlot), 7);
}

TEST(Order, AddWithTenInUseChangesNothing) {
    CPanel panel = FullPanel();
    const auto before = Orders(panel);
    EXPECT_EQ(panel.AddFuki(), -1);
    EXPECT_EQ(Orders(panel), before);

    CTestPanelDoc doc;
    for (int i = 0; i < kFukiSlots; ++i) {
        doc.AddFuki();
    }
    doc.SetModifiedFlag(false);
    const int steps = doc.m_history.Count();
    EXPECT_EQ(doc.AddFuki(), -1);
    EXPECT_EQ(doc.DuplicateFuki(0), -1);
    EXPECT_EQ(doc.m_history.Count(), steps);
    EXPECT_FALSE(doc.IsModified());
}

// Moves on three balloons (slots 9, 8, 7 at 1, 2, 3): the last move's new position and the
// positions of slots 9, 8 and 7 after all of them. A move that cannot go further changes nothing.
TEST(Order, MovesOnThreeBalloons) {
    const struct {
        const char* what;
        std::vector<std::pair<int, int>> moves; // slot, order command
        int lastPosition;
        std::array<int, 3> orders; // of slots 9, 8, 7
    } cases[] = {
        {"forward", {{9, ORDER_FORWARD}}, 2, {2, 1, 3}},
        {"forward then frontmost", {{9, ORDER_FORWARD}, {9, ORDER_FRONTMOST}}, 3, {3, 1, 2}},
        {"backward", {{7, ORDER_BACKWARD}}, 2, {1, 3, 2}},
        {"backward at the back stays", {{7, ORDER_BACKWARD}, {9, ORDER_BACKWARD}}, 1, {1, 3, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CPanel panel;
        panel.AddFuki();
        panel.AddFuki();
        panel.AddFuki();
        int position = 0;
        for (const auto& [slot, command] : c.moves) {
            position = panel.ChangeFukiOrder(slot, command);
        }
        EXPECT_EQ(position, c.lastPosition);
        EXPECT_EQ((std::array<int, 3>{panel.m_fuki[9].m_nOrder, panel.m_fuki[8].m_nOrder,
                                      panel.m_fuki[7].m_nOrder}),
                  c.orders);
    }
}

TEST(Order, FrontmostFromTheMiddleOfTen) {
    CPanel panel = FullPanel();
    const int moved = panel.FindFuki(5);
    const int oldFront = panel.FindFuki(10);
    EXPECT_EQ(panel.ChangeFukiOrder(moved, ORDER_FRONTMOST), 10);
    EXPECT_EQ(panel.m_fuki[static_cast<std::size_t>(oldFront)].m_nOrder, 9);
    ExpectGapFree(panel);
    // Those behind the moved balloon keep their places; those in front move back one.
    EXPECT_EQ(panel.FindFuki(4), 6);
    EXPECT_EQ(panel.FindFuki(5), 4);
}

TEST(Order, BackmostOfTheFrontmost) {
    CPanel panel = FullPanel();
    const auto before = Orders(panel);
    const int front = panel.FindFuki(10);
    EXPECT_EQ(panel.ChangeFukiOrder(front, ORDER_BACKMOST), 1);
    for (int i = 0; i < kFukiSlots; ++i) {
        if (i != front) {
            EXPECT_EQ(panel.m_fuki[static_cast<std::size_t>(i)].m_nOrder,
                      before[static_cast<std::size_t>(i)] + 1);
        }
    }
    ExpectGapFree(panel);
}

TEST(Order, ForwardSwapsWithTheFrontmostAndStopsThere) {
    CPanel panel = FullPanel();
    const int ninth = panel.FindFuki(9);
    const int tenth = panel.FindFuki(10);
    EXPECT_EQ(panel.ChangeFukiOrder(ninth, ORDER_FORWARD), 10);
    EXPECT_EQ(panel.m_fuki[static_cast<std::size_t>(tenth)].m_nOrder, 9);
    ExpectGapFree(panel);
    const auto before = Orders(panel);
    EXPECT_EQ(panel.ChangeFukiOrder(ninth, ORDER_FORWARD), 10);
    EXPECT_EQ(Orders(panel), before);
}

TEST(Order, AnOrderCommandThatMovesNothingRecordsNothing) {
    CTestPanelDoc doc;
    doc.ResetHistory();
    const int slot = doc.AddFuki();
    doc.SetModifiedFlag(false);
    const int steps = doc.m_history.Count();
    EXPECT_FALSE(doc.ChangeFukiOrder(slot, ORDER_FORWARD));
    EXPECT_EQ(doc.m_history.Count(), steps);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.m_panel.m_fuki[static_cast<std::size_t>(slot)].m_nOrder, 1);
}

TEST(Order, AnOrderCommandNeverBringsAFreeSlotIntoUse) {
    CPanel panel;
    panel.AddFuki();
    panel.AddFuki(); // slots 9, 8
    for (int how = ORDER_FORWARD; how <= ORDER_BACKMOST; ++how) {
        panel.ChangeFukiOrder(0, how);
        EXPECT_EQ(panel.m_fuki[0].m_nOrder, kFreeSlot) << how;
        ExpectGapFree(panel);
    }
    EXPECT_EQ(panel.CountFuki(), 2);
}

TEST(Order, InsertingAtAHeldPositionGoesBelowItsHolder) {
    CPanel panel;
    panel.AddFuki();
    panel.AddFuki();
    panel.AddFuki(); // slots 9, 8, 7 at 1, 2, 3
    EXPECT_EQ(panel.SetFukiOrder(7, 2), 2);
    EXPECT_EQ(panel.m_fuki[9].m_nOrder, 1);
    EXPECT_EQ(panel.m_fuki[8].m_nOrder, 3);
}

TEST(Order, DeletingClosesTheGapAndFreesTheSlot) {
    CTestPanelDoc doc;
    doc.ResetHistory();
    for (int i = 0; i < 4; ++i) {
        doc.AddFuki(); // slots 9, 8, 7, 6 at 1..4
    }
    CFuki& victim = doc.m_panel.m_fuki[8];
    victim.m_strText = "changed";
    victim.m_rcBody = CRect{1, 2, 3, 4};
    victim.m_crFill = 0x123456;
    doc.DeleteFuki(8);
    EXPECT_EQ(doc.m_panel.m_fuki[9].m_nOrder, 1);
    EXPECT_EQ(doc.m_panel.m_fuki[7].m_nOrder, 2);
    EXPECT_EQ(doc.m_panel.m_fuki[6].m_nOrder, 3);
    const CFuki fresh;
    EXPECT_EQ(victim.m_nOrder, kFreeSlot);
    EXPECT_EQ(victim.m_strText, fresh.m_strText);
    EXPECT_EQ(victim.m_rcBody, fresh.m_rcBody);
    EXPECT_EQ(victim.m_crFill, fresh.m_crFill);
    EXPECT_TRUE(doc.IsModified());
}

TEST(Order, EqualPositionsFromAFileAreNumberedApartBySlot) {
    CPanel panel;
    panel.m_fuki[2].m_nOrder = 3;
    panel.m_fuki[6].m_nOrder = 3;
    EXPECT_EQ(panel.FindFuki(3), 6);
    panel.SetFukiOrder(0, kFreeSlot);
    EXPECT_EQ(panel.m_fuki[2].m_nOrder, 1);
    EXPECT_EQ(panel.m_fuki[6].m_nOrder, 2);
}

TEST(Order, PositionsBeyondTenAreRenumberedByTheNextOrderOperation) {
    CPanel panel;
    panel.m_fuki[4].m_nOrder = 11;
    EXPECT_EQ(panel.FindFuki(11), 4);
    // Adding inserts at 10, below the balloon at 11; both are then numbered 1..2.
    EXPECT_EQ(panel.AddFuki(), 9);
    EXPECT_EQ(panel.m_fuki[9].m_nOrder, 1);
    EXPECT_EQ(panel.m_fuki[4].m_nOrder, 2);
}

TEST(Order, SlotOutsideTheTenIsIgnored) {
    CPanel panel;
    panel.AddFuki();
    const auto before = Orders(panel);
    EXPECT_EQ(panel.SetFukiOrder(10, 1), 0);
    EXPECT_EQ(panel.SetFukiOrder(-1, 1), 0);
    EXPECT_EQ(panel.ChangeFukiOrder(10, ORDER_FRONTMOST), 0);
    EXPECT_EQ(Orders(panel), before);
}

TEST(Order, DuplicateIsFrontmostAndMovedByTen) {
    CTestPanelDoc doc;
    doc.ResetHistory();
    const int source = doc.AddFuki();
    doc.AddFuki();
    CFuki& original = doc.m_panel.m_fuki[static_cast<std::size_t>(source)];
    original.m_strText = "abc";
    original.m_crFill = 0x00FF00;
    original.m_crText = 0x0000FF;
    original.m_nReserved1 = 7;
    const int copy = doc.DuplicateFuki(source);
    ASSERT_EQ(copy, 7);
    const CFuki& dup = doc.m_panel.m_fuki[7];
    EXPECT_EQ(dup.m_nOrder, 3);
    EXPECT_EQ(dup.m_rcBody, (CRect{60, 60, 210, 160}));
    EXPECT_EQ(dup.m_ptTail, (CPoint{210, 210}));
    EXPECT_EQ(dup.m_strText, "abc");
    EXPECT_EQ(dup.m_crFill, 0x00FF00u);
    EXPECT_EQ(dup.m_crText, 0x0000FFu);
    EXPECT_EQ(dup.m_nReserved1, 7);
    EXPECT_EQ(original.m_nOrder, 1);
    EXPECT_EQ(original.m_rcBody, (CRect{50, 50, 200, 150}));
}

TEST(Order, ResetGivesABlackEmptyPanel) {
    CPanel panel;
    panel.AddFuki();
    panel.m_rcTotal = CRect{0, 0, 100, 200};
    panel.m_nFirstWait = 5;
    panel.m_image.m_strName = "a.jpg";
    panel.Reset();
    EXPECT_EQ(panel.m_crBack, 0u);
    EXPECT_EQ(panel.m_rcTotal, (CRect{0, 0, 640, 480}));
    EXPECT_EQ(panel.m_nFirstWait, 30);
    EXPECT_EQ(panel.m_nVersion, 256);
    EXPECT_TRUE(panel.m_image.m_strName.empty());
    EXPECT_EQ(panel.CountFuki(), 0);
    EXPECT_EQ(panel.FindFuki(1), -1);
}

// Any sequence of editor operations keeps the positions in use exactly 1..k.
TEST(Order, RandomEditingKeepsPositionsGapFree) {
    std::mt19937 rng(20240607);
    CTestPanelDoc doc;
    doc.ResetHistory();
    for (int step = 0; step < 2000; ++step) {
        const int op = static_cast<int>(rng() % 4);
        const int position = static_cast<int>(rng() % 10) + 1;
        const int slot = doc.FindFuki(position);
        if (op == 0) {
            doc.AddFuki();
        } else if (slot >= 0 && op == 1) {
            doc.DeleteFuki(slot);
        } else if (slot >= 0 && op == 2) {
            doc.DuplicateFuki(slot);
        } else if (slot >= 0) {
            doc.ChangeFukiOrder(slot, static_cast<int>(rng() % 4) + 1);
        }
        ExpectGapFree(doc.m_panel);
        if (HasFatalFailure()) {
            FAIL() << "after step " << step;
        }
    }
}
