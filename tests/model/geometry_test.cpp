// One balloon: its defaults, copies, the zoom mapping, tail base points, grab squares and the
// hit tests, and the edits dragging makes.
#include <gtest/gtest.h>

#include <limits>

#include "model/Fuki.h"

TEST(Geometry, BalloonDefaults) {
    const CFuki fuki;
    EXPECT_EQ(fuki.m_rcBody, (CRect{50, 50, 200, 150}));
    EXPECT_EQ(fuki.m_nWait, 30);
    EXPECT_EQ(fuki.m_crBorder, 0u);
    EXPECT_EQ(fuki.m_nBorderWidth, 1);
    EXPECT_EQ(fuki.m_nBorderHeight, 1);
    EXPECT_EQ(fuki.m_nCornerWidth, 10);
    EXPECT_EQ(fuki.m_nCornerHeight, 10);
    EXPECT_EQ(fuki.m_crFill, 10526975u);
    EXPECT_EQ(GetRValue(fuki.m_crFill), 255);
    EXPECT_EQ(GetGValue(fuki.m_crFill), 160);
    EXPECT_EQ(GetBValue(fuki.m_crFill), 160);
    EXPECT_EQ(fuki.m_nOrder, -1);
    EXPECT_EQ(fuki.m_ptTail, (CPoint{200, 200}));
    EXPECT_EQ(fuki.m_nTailSide, 1);
    EXPECT_EQ(fuki.m_nTailBase1, 45);
    EXPECT_EQ(fuki.m_nTailBase2, 55);
    EXPECT_EQ(fuki.m_strText.size(), 28u);
    EXPECT_EQ(fuki.m_crText, 0u);
    EXPECT_EQ(fuki.m_nFontSize, 150);
    EXPECT_EQ(fuki.m_strFontFace, "");
    EXPECT_EQ(fuki.m_nReserved1, 0);
    EXPECT_EQ(fuki.m_nReserved2, 0);
}

TEST(Geometry, SetDefaultsKeepsFaceAndReservedWords) {
    CFuki fuki;
    fuki.m_strFontFace = "Gothic";
    fuki.m_nReserved1 = 5;
    fuki.m_nReserved2 = 6;
    fuki.m_nOrder = 3;
    fuki.m_strText = "x";
    fuki.m_rcBody = CRect{1, 1, 2, 2};
    fuki.m_nWait = 7;
    fuki.SetDefaults();
    EXPECT_EQ(fuki.m_strFontFace, "Gothic");
    EXPECT_EQ(fuki.m_nReserved1, 5);
    EXPECT_EQ(fuki.m_nReserved2, 6);
    EXPECT_EQ(fuki.m_nOrder, -1);
    EXPECT_EQ(fuki.m_strText, kDefaultFukiText);
    EXPECT_EQ(fuki.m_rcBody, (CRect{50, 50, 200, 150}));
    EXPECT_EQ(fuki.m_nWait, 30);
}

TEST(Geometry, CopyFromTakesThePositionCopyContentFromDoesNot) {
    CFuki source;
    source.m_nOrder = 4;
    source.m_strText = "t";
    source.m_strFontFace = "f";
    source.m_nReserved1 = 1;
    source.m_nReserved2 = 2;
    source.m_nWait = 9;
    source.m_crBorder = 0x10;
    CFuki content;
    content.m_nOrder = 7;
    content.CopyContentFrom(source);
    EXPECT_EQ(content.m_nOrder, 7);
    EXPECT_EQ(content.m_strText, "t");
    EXPECT_EQ(content.m_strFontFace, "f");
    EXPECT_EQ(content.m_nReserved1, 1);
    EXPECT_EQ(content.m_nReserved2, 2);
    EXPECT_EQ(content.m_nWait, 9);
    EXPECT_EQ(content.m_crBorder, 0x10u);
    CFuki whole;
    whole.CopyFrom(source);
    EXPECT_EQ(whole.m_nOrder, 4);
    EXPECT_EQ(whole.m_strText, "t");
    EXPECT_EQ(whole.m_strFontFace, "f");
    EXPECT_EQ(whole.m_nReserved2, 2);
    EXPECT_EQ(whole.m_nWait, 9);
}

TEST(Geometry, DefaultTailTriangle) {
    const CFuki fuki;
    EXPECT_EQ(fuki.GetTailBasePoint(0), (CPoint{117, 149}));
    EXPECT_EQ(fuki.GetTailBasePoint(1), (CPoint{132, 149}));
}

TEST(Geometry, TailBasePointsOnEachSide) {
    // Division truncates toward zero, also for a negative percentage from a file.
    const struct {
        int side;
        int base; // 0: the first base point, 1: the second
        int percent;
        CPoint expected;
    } cases[] = {
        {TAIL_RIGHT, 0, 0, {199, 50}}, {TAIL_TOP, 1, 100, {200, 50}},
        {TAIL_LEFT, 0, 50, {50, 100}}, {TAIL_BOTTOM, 0, 100, {200, 149}},
        {TAIL_TOP, 0, -1, {49, 50}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "side " << c.side << " base " << c.base << " at " << c.percent << "%");
        CFuki fuki;
        fuki.m_nTailSide = c.side;
        (c.base == 0 ? fuki.m_nTailBase1 : fuki.m_nTailBase2) = c.percent;
        EXPECT_EQ(fuki.GetTailBasePoint(c.base), c.expected);
    }
}

TEST(Geometry, NormalizeOrdersEdgesAndBases) {
    CFuki fuki;
    fuki.m_nTailBase1 = 50;
    fuki.m_nTailBase2 = 50;
    fuki.Normalize();
    EXPECT_EQ(fuki.m_nTailBase1, 50);
    EXPECT_EQ(fuki.m_nTailBase2, 50);
    fuki.m_nTailBase1 = 70;
    fuki.m_nTailBase2 = 30;
    fuki.m_rcBody = CRect{300, 200, 100, 50};
    fuki.Normalize();
    EXPECT_EQ(fuki.m_nTailBase1, 30);
    EXPECT_EQ(fuki.m_nTailBase2, 70);
    EXPECT_EQ(fuki.m_rcBody, (CRect{100, 50, 300, 200}));
}

TEST(Geometry, CornerDraggedAcrossTheOppositeEdge) {
    CFuki fuki;
    fuki.m_rcBody.top = 170; // corner 2 (top-left) dropped at (250, 170)
    fuki.m_rcBody.left = 250;
    fuki.Normalize();
    EXPECT_EQ(fuki.m_rcBody, (CRect{200, 150, 250, 170}));
}

TEST(Geometry, MoveShiftsBodyAndTail) {
    CFuki fuki;
    fuki.Move(-60, 5);
    EXPECT_EQ(fuki.m_rcBody, (CRect{-10, 55, 140, 155}));
    EXPECT_EQ(fuki.m_ptTail, (CPoint{140, 205}));
}

TEST(Geometry, ZoomTruncatesTowardZeroThenOffsets) {
    EXPECT_EQ(CLayerItem::ZoomValue(50, 101), 50);
    EXPECT_EQ(CLayerItem::ZoomValue(50, 51), 25);
    EXPECT_EQ(CLayerItem::ZoomValue(50, -3), -1);
    EXPECT_EQ(CLayerItem::ZoomValue(30, 10), 3);
    EXPECT_EQ(CLayerItem::ZoomValue(100, -7), -7);
    CPoint p{101, -3};
    CLayerItem::ZoomPoint(50, p, 10, 20);
    EXPECT_EQ(p, (CPoint{60, 19}));
    CFuki fuki;
    EXPECT_EQ(fuki.GetZoomedRect(50, 0, 0), (CRect{25, 25, 100, 75}));
    EXPECT_EQ(fuki.GetZoomedRect(30, 1, 2), (CRect{16, 17, 61, 47}));
    // Values only a file can bring stay within 32 bits.
    EXPECT_EQ(CLayerItem::ZoomValue(1000, std::numeric_limits<std::int32_t>::max()),
              std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(CLayerItem::ZoomValue(1000, std::numeric_limits<std::int32_t>::min()),
              std::numeric_limits<std::int32_t>::min());
}

TEST(Geometry, UnzoomDividesAndTruncatesTowardZero) {
    CPoint p{50, 25};
    CLayerItem::UnzoomPoint(50, p);
    EXPECT_EQ(p, (CPoint{100, 50}));
    p = CPoint{-5, 5};
    CLayerItem::UnzoomPoint(300, p);
    EXPECT_EQ(p, (CPoint{-1, 1}));
    p = CPoint{-7, 123};
    CLayerItem::UnzoomPoint(100, p);
    EXPECT_EQ(p, (CPoint{-7, 123}));
}

TEST(Geometry, CornerSquaresAreNumberedAndSizedAtEveryZoom) {
    CFuki fuki;
    EXPECT_EQ(fuki.GetCornerHandleRect(100, 1, 0, 0), (CRect{195, 45, 205, 55}));
    EXPECT_EQ(fuki.GetCornerHandleRect(100, 2, 0, 0), (CRect{45, 45, 55, 55}));
    EXPECT_EQ(fuki.GetCornerHandleRect(100, 3, 0, 0), (CRect{195, 145, 205, 155}));
    EXPECT_EQ(fuki.GetCornerHandleRect(100, 4, 0, 0), (CRect{45, 145, 55, 155}));
    EXPECT_EQ(fuki.GetCornerHandleRect(200, 4, 1, 1), (CRect{96, 296, 106, 306}));
    EXPECT_TRUE(fuki.GetCornerHandleRect(100, 0, 0, 0).IsEmpty());
    EXPECT_TRUE(fuki.GetCornerHandleRect(100, 5, 0, 0).IsEmpty());
    for (int handle = 1; handle <= 4; ++handle) {
        EXPECT_EQ(fuki.GetHandleRect(50, handle), fuki.GetCornerHandleRect(50, handle, 0, 0));
    }
    EXPECT_EQ(fuki.GetHandleRect(50, 5), (CRect{95, 95, 105, 105}));
}

TEST(Geometry, HitTestCornerUsesZoomedPoints) {
    CFuki fuki;
    EXPECT_EQ(fuki.HitTestCorner(100, {200, 50}), 1);
    EXPECT_EQ(fuki.HitTestCorner(100, {50, 50}), 2);
    EXPECT_EQ(fuki.HitTestCorner(100, {204, 154}), 3);
    EXPECT_EQ(fuki.HitTestCorner(100, {45, 145}), 4);
    EXPECT_EQ(fuki.HitTestCorner(100, {205, 150}), -1);
    EXPECT_EQ(fuki.HitTestCorner(100, {120, 100}), -1);
    EXPECT_EQ(fuki.HitTestCorner(50, {100, 75}), 3);
    EXPECT_EQ(fuki.HitTestCorner(50, {200, 150}), -1);
}

TEST(Geometry, OverlappingSquaresGoToTheHigherNumber) {
    CFuki fuki;
    fuki.m_rcBody = CRect{100, 100, 100, 100};
    fuki.m_ptTail = CPoint{300, 300};
    EXPECT_EQ(fuki.HitTestCorner(100, {100, 100}), 4);
    EXPECT_EQ(fuki.HitTestHandle(100, {100, 100}), 4);
    fuki.m_ptTail = CPoint{100, 100};
    EXPECT_EQ(fuki.HitTestHandle(100, {100, 100}), 5);
    fuki.m_rcBody = CRect{100, 100, 106, 200}; // narrower than 10: corners 1 and 2 overlap
    EXPECT_EQ(fuki.HitTestCorner(100, {103, 100}), 2);
}

TEST(Geometry, TailSquareToleranceIsFiveBeforeAndFourAfter) {
    CFuki fuki;
    const CPoint tip = fuki.m_ptTail;
    EXPECT_EQ(fuki.HitTestHandle(100, {tip.x + 5, tip.y}), -1);
    EXPECT_EQ(fuki.HitTestHandle(100, {tip.x + 4, tip.y + 4}), 5);
    EXPECT_EQ(fuki.HitTestHandle(100, {tip.x - 5, tip.y}), 5);
    EXPECT_EQ(fuki.HitTestHandle(100, {tip.x, tip.y - 6}), -1);
    EXPECT_EQ(fuki.GetTailHandleRect(50), (CRect{95, 95, 105, 105}));
    EXPECT_EQ(fuki.HitTestHandle(50, {95, 95}), 5);
    EXPECT_EQ(fuki.HitTestHandle(50, {105, 100}), -1);
}

TEST(Geometry, TailSquareWinsOverACorner) {
    CFuki fuki;
    fuki.m_ptTail = CPoint{202, 152};
    EXPECT_EQ(fuki.HitTestCorner(100, {200, 150}), 3);
    EXPECT_EQ(fuki.HitTestHandle(100, {200, 150}), 5);
}
