// The panel document's named operations: each one that changes the panel records exactly one
// history step, marks the document modified and announces the change once; one that changes
// nothing does none of these. A drag's frame is its applied result, zoomed, at every zoom and
// for every handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "model/VelmoDoc.h"

namespace {

// A document with a picture (400 x 300 at (0, 0)) and two balloons, saved as unmodified, with
// its notifications counted.
class EditFixture {
public:
    EditFixture() {
        WriteBytes(m_dir.Path("p.jpg"), {0});
        m_decoder.SetSize("p.jpg", 400, 300);
        m_nBack = m_doc.AddFuki();  // slot 9, position 1
        m_nFront = m_doc.AddFuki(); // slot 8, position 2
        m_doc.ImportPicture(m_dir.Path("p.jpg"));
        m_doc.MovePicture({-50, -50});
        m_doc.ResizePicture(HANDLE_BOTTOM_RIGHT, {400, 300});
        m_doc.SetFukiStyle(m_nFront, FrontStyle());
        m_doc.SetModifiedFlag(false);
        m_doc.AddChangeObserver([this] { ++m_nNotified; });
        m_nSteps = m_doc.m_history.Count();
    }
    static CFuki FrontStyle() {
        CFuki style;
        style.m_rcBody = CRect{300, 50, 400, 150};
        style.m_ptTail = CPoint{350, 250};
        return style;
    }
    void ExpectOneStep(const std::string& what) {
        EXPECT_EQ(m_doc.m_history.Count(), m_nSteps + 1) << what;
        EXPECT_TRUE(m_doc.IsModified()) << what;
        EXPECT_EQ(m_nNotified, 1) << what;
    }
    void ExpectNoStep(const std::string& what) {
        EXPECT_EQ(m_doc.m_history.Count(), m_nSteps) << what;
        EXPECT_FALSE(m_doc.IsModified()) << what;
        EXPECT_EQ(m_nNotified, 0) << what;
    }

    CTempDir m_dir;
    CFakeDecoder m_decoder;
    CVelmoDoc m_doc{m_decoder};
    int m_nBack = -1;
    int m_nFront = -1;
    int m_nSteps = 0;
    int m_nNotified = 0;
};

struct OpCase {
    const char* name;
    // Changes the panel; returns what the operation returned.
    std::function<bool(EditFixture&)> change;
    // The same operation given input that changes nothing, or is refused.
    std::function<bool(EditFixture&)> noChange;
};

CFuki Restyled(const CFuki& fuki) {
    CFuki style = fuki;
    style.m_crFill = MakeRgb(1, 2, 3);
    style.m_nReserved1 = 7; // a field the document does not interpret passes through
    style.m_nOrder = 99;    // the display position is not the style's
    return style;
}

const std::vector<OpCase>& Operations() {
    static const std::vector<OpCase> cases = {
        {"AddFuki", [](EditFixture& f) { return f.m_doc.AddFuki() >= 0; },
         [](EditFixture& f) {
             while (f.m_doc.AddFuki() >= 0) {
             }
             f.m_doc.SetModifiedFlag(false);
             f.m_nSteps = f.m_doc.m_history.Count();
             f.m_nNotified = 0;
             return f.m_doc.AddFuki() >= 0;
         }},
        {"DuplicateFuki", [](EditFixture& f) { return f.m_doc.DuplicateFuki(f.m_nBack) >= 0; },
         [](EditFixture& f) { return f.m_doc.DuplicateFuki(0) >= 0; }},
        {"DeleteFuki", [](EditFixture& f) { return f.m_doc.DeleteFuki(f.m_nBack); },
         [](EditFixture& f) { return f.m_doc.DeleteFuki(0); }},
        {"ChangeFukiOrder",
         [](EditFixture& f) { return f.m_doc.ChangeFukiOrder(f.m_nBack, ORDER_FRONTMOST); },
         [](EditFixture& f) { return f.m_doc.ChangeFukiOrder(f.m_nFront, ORDER_FORWARD); }},
        {"MoveFuki",
         [](EditFixture& f) {
             return f.m_doc.MoveFuki(f.m_nBack, {5, -3});
         },
         [](EditFixture& f) {
             return f.m_doc.MoveFuki(f.m_nBack, {0, 0});
         }},
        {"ResizeFuki",
         [](EditFixture& f) {
             return f.m_doc.ResizeFuki(f.m_nBack, HANDLE_BOTTOM_RIGHT, {10, 20});
         },
         [](EditFixture& f) {
             return f.m_doc.ResizeFuki(f.m_nBack, HANDLE_BOTTOM_RIGHT, {200, 150}) ||
                    f.m_doc.ResizeFuki(f.m_nBack, HANDLE_TAIL, {10, 20});
         }},
        {"SetTail",
         [](EditFixture& f) {
             return f.m_doc.SetTail(f.m_nBack, {1, 2});
         },
         [](EditFixture& f) {
             return f.m_doc.SetTail(f.m_nBack, {200, 200});
         }},
        {"SetFukiStyle",
         [](EditFixture& f) {
             return f.m_doc.SetFukiStyle(f.m_nBack, Restyled(*f.m_doc.GetFuki(f.m_nBack)));
         },
         [](EditFixture& f) {
             CFuki same = *f.m_doc.GetFuki(f.m_nBack);
             same.m_nOrder = 5;
             return f.m_doc.SetFukiStyle(f.m_nBack, same);
         }},
        {"SetFukiText", [](EditFixture& f) { return f.m_doc.SetFukiText(f.m_nBack, "abc"); },
         [](EditFixture& f) { return f.m_doc.SetFukiText(f.m_nBack, kDefaultFukiText); }},
        {"SetFukiColor",
         [](EditFixture& f) { return f.m_doc.SetFukiColor(f.m_nBack, EFukiColor::Border, 5); },
         [](EditFixture& f) { return f.m_doc.SetFukiColor(f.m_nBack, EFukiColor::Text, 0); }},
        {"SetBackground", [](EditFixture& f) { return f.m_doc.SetBackground(0x123456); },
         [](EditFixture& f) { return f.m_doc.SetBackground(f.m_doc.m_panel.m_crBack); }},
        {"SetTotalSize", [](EditFixture& f) { return f.m_doc.SetTotalSize(800, 600); },
         [](EditFixture& f) {
             return f.m_doc.SetTotalSize(640, 480) || f.m_doc.SetTotalSize(9, 600) ||
                    f.m_doc.SetTotalSize(800, 99) || f.m_doc.SetTotalSize(2001, 600);
         }},
        {"ImportPicture",
         [](EditFixture& f) {
             return f.m_doc.ImportPicture(f.m_dir.Path("p.jpg")) == EImportResult::Imported;
         },
         [](EditFixture& f) {
             return f.m_doc.ImportPicture(f.m_dir.Path("none.jpg")) == EImportResult::Imported;
         }},
        {"MovePicture",
         [](EditFixture& f) {
             return f.m_doc.MovePicture({10, 10});
         },
         [](EditFixture& f) {
             return f.m_doc.MovePicture({0, 0});
         }},
        {"ResizePicture",
         [](EditFixture& f) {
             return f.m_doc.ResizePicture(HANDLE_BOTTOM_RIGHT, {200, 300});
         },
         [](EditFixture& f) {
             return f.m_doc.ResizePicture(HANDLE_BOTTOM_RIGHT, {400, 300});
         }},
        {"SetWait",
         [](EditFixture& f) {
             return f.m_doc.SetWait({ELayerKind::Balloon, f.m_nBack}, 5);
         },
         [](EditFixture& f) {
             return f.m_doc.SetWait({ELayerKind::Picture, -1}, kDefaultWait) ||
                    f.m_doc.SetWait({ELayerKind::Balloon, 0}, 5);
         }},
        {"SetOrderAndWaits",
         [](EditFixture& f) {
             CPanel edited = f.m_doc.m_panel;
             edited.m_nFirstWait = 1;
             edited.ChangeFukiOrder(f.m_nBack, ORDER_FRONTMOST);
             return f.m_doc.SetOrderAndWaits(edited);
         },
         [](EditFixture& f) { return f.m_doc.SetOrderAndWaits(f.m_doc.m_panel); }},
    };
    return cases;
}

class OperationTest : public ::testing::TestWithParam<OpCase> {};

} // namespace

TEST_P(OperationTest, AChangeIsOneStepModifiedAndAnnouncedOnce) {
    EditFixture f;
    const CPanel before = f.m_doc.m_panel;
    EXPECT_TRUE(GetParam().change(f));
    f.ExpectOneStep(GetParam().name);
    // Undo brings back exactly the panel before the operation.
    ASSERT_TRUE(f.m_doc.Undo());
    CPanel undone = f.m_doc.m_panel;
    undone.m_bImageChanged = before.m_bImageChanged;
    for (std::size_t i = 0; i < before.m_fuki.size(); ++i) {
        EXPECT_EQ(undone.m_fuki[i], before.m_fuki[i]) << GetParam().name << " slot " << i;
    }
    EXPECT_EQ(undone.m_image.m_rcBody, before.m_image.m_rcBody);
    EXPECT_EQ(undone.m_rcTotal, before.m_rcTotal);
    EXPECT_EQ(undone.m_crBack, before.m_crBack);
    EXPECT_EQ(undone.m_nFirstWait, before.m_nFirstWait);
}

TEST_P(OperationTest, NothingChangedRecordsNothing) {
    EditFixture f;
    EXPECT_FALSE(GetParam().noChange(f));
    f.ExpectNoStep(GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(PanelEdits, OperationTest, ::testing::ValuesIn(Operations()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PanelEdits, StyleKeepsThePositionAndOrdersTheBody) {
    EditFixture f;
    CFuki style = Restyled(*f.m_doc.GetFuki(f.m_nBack));
    style.m_rcBody = CRect{100, 90, 10, 20};
    style.m_nTailBase1 = 70;
    style.m_nTailBase2 = 30;
    ASSERT_TRUE(f.m_doc.SetFukiStyle(f.m_nBack, style));
    const CFuki& fuki = *f.m_doc.GetFuki(f.m_nBack);
    EXPECT_EQ(fuki.m_nOrder, 1);
    EXPECT_EQ(fuki.m_rcBody, (CRect{10, 20, 100, 90}));
    EXPECT_EQ(fuki.m_nTailBase1, 30);
    EXPECT_EQ(fuki.m_nReserved1, 7);
    EXPECT_EQ(fuki.m_crFill, MakeRgb(1, 2, 3));
}

TEST(PanelEdits, MovingABalloonLeavesItsTailTip) {
    EditFixture f;
    ASSERT_TRUE(f.m_doc.MoveFuki(f.m_nBack, {7, 9}));
    EXPECT_EQ(f.m_doc.GetFuki(f.m_nBack)->m_rcBody, (CRect{57, 59, 207, 159}));
    EXPECT_EQ(f.m_doc.GetFuki(f.m_nBack)->m_ptTail, (CPoint{200, 200}));
}

TEST(PanelEdits, ANewDocumentHasItsFirstStepAndIsNotModified) {
    CTestPanelDoc doc;
    EXPECT_EQ(doc.m_history.Count(), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(doc.Undo());
    EXPECT_FALSE(doc.IsModified());
}

TEST(PanelEdits, ReadingAFileMakesItTheOnlyStep) {
    CTempDir dir;
    CTestPanelDoc saved;
    saved.AddFuki();
    saved.SetBackground(0x00445566);
    ASSERT_EQ(saved.OnSaveDocument(dir.Path("a.vlm")), EDocOutcome::Saved);
    CTestPanelDoc doc;
    doc.AddFuki();
    ASSERT_EQ(doc.OnOpenDocument(dir.Path("a.vlm")), EDocOutcome::Opened);
    EXPECT_EQ(doc.m_history.Count(), 1);
    EXPECT_EQ(doc.m_panel.m_crBack, 0x00445566u);
    EXPECT_FALSE(doc.Undo());
}

TEST(PanelEdits, UndoAndRedoMarkModifiedAndAnnounce) {
    EditFixture f;
    ASSERT_TRUE(f.m_doc.SetBackground(1));
    ASSERT_EQ(f.m_doc.OnSaveDocument(f.m_dir.Path("a.vlm")), EDocOutcome::Saved);
    f.m_nNotified = 0;
    ASSERT_TRUE(f.m_doc.Undo());
    EXPECT_TRUE(f.m_doc.IsModified());
    EXPECT_EQ(f.m_nNotified, 1);
    f.m_doc.SetModifiedFlag(false);
    ASSERT_TRUE(f.m_doc.Redo());
    EXPECT_TRUE(f.m_doc.IsModified());
    EXPECT_EQ(f.m_nNotified, 2);
    EXPECT_FALSE(f.m_doc.Redo());
    EXPECT_EQ(f.m_nNotified, 2);
}

TEST(PanelEdits, ARemovedObserverHearsNothing) {
    CTestPanelDoc doc;
    int first = 0;
    int second = 0;
    const int id = doc.AddChangeObserver([&first] { ++first; });
    doc.AddChangeObserver([&second] { ++second; });
    doc.AddFuki();
    doc.RemoveChangeObserver(id);
    doc.AddFuki();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}

// Drags: every mode and handle, at several zooms and pointer positions.
namespace {

struct DragCase {
    const char* name;
    int mode;
    int handle;
};

const DragCase kDrags[] = {
    {"MoveFuki", DRAG_MOVE_FUKI, HANDLE_NONE},
    {"SizeFukiTopRight", DRAG_SIZE_FUKI, HANDLE_TOP_RIGHT},
    {"SizeFukiTopLeft", DRAG_SIZE_FUKI, HANDLE_TOP_LEFT},
    {"SizeFukiBottomRight", DRAG_SIZE_FUKI, HANDLE_BOTTOM_RIGHT},
    {"SizeFukiBottomLeft", DRAG_SIZE_FUKI, HANDLE_BOTTOM_LEFT},
    {"Tail", DRAG_TAIL, HANDLE_TAIL},
    {"MovePicture", DRAG_MOVE_PICTURE, HANDLE_NONE},
    {"SizePictureTopRight", DRAG_SIZE_PICTURE, HANDLE_TOP_RIGHT},
    {"SizePictureTopLeft", DRAG_SIZE_PICTURE, HANDLE_TOP_LEFT},
    {"SizePictureBottomRight", DRAG_SIZE_PICTURE, HANDLE_BOTTOM_RIGHT},
    {"SizePictureBottomLeft", DRAG_SIZE_PICTURE, HANDLE_BOTTOM_LEFT},
};

const int kZooms[] = {10, 33, 100, 150, 200, 333, 1000};

// The zoomed frame of the dragged body as the document holds it after the drag.
CRect AppliedFrame(const CVelmoDoc& doc, const CDrag& drag) {
    if (drag.m_nMode == DRAG_MOVE_PICTURE || drag.m_nMode == DRAG_SIZE_PICTURE) {
        return doc.m_panel.m_image.GetZoomedRect(drag.m_nZoom, 0, 0);
    }
    const CFuki& fuki = *doc.GetFuki(drag.m_nSlot);
    return drag.m_nMode == DRAG_TAIL ? fuki.GetTailHandleRect(drag.m_nZoom)
                                     : fuki.GetZoomedRect(drag.m_nZoom, 0, 0);
}

class DragTest : public ::testing::TestWithParam<DragCase> {};

} // namespace

TEST_P(DragTest, TheFrameIsTheAppliedResultAtEveryZoom) {
    const DragCase& c = GetParam();
    const CPoint moves[] = {{1, 0}, {0, -1}, {37, 21}, {-123, 77}, {301, -250}};
    for (int zoom : kZooms) {
        for (CPoint move : moves) {
            EditFixture f;
            CDrag drag;
            drag.m_nMode = c.mode;
            drag.m_nSlot = f.m_nBack;
            drag.m_nHandle = c.handle;
            drag.m_nZoom = zoom;
            drag.m_ptStart =
                CPoint{CLayerItem::ZoomValue(zoom, 120), CLayerItem::ZoomValue(zoom, 90)};
            const CPoint current{drag.m_ptStart.x + move.x, drag.m_ptStart.y + move.y};
            const CRect frame = DragFrame(f.m_doc.m_panel, drag, current);
            const bool applied = f.m_doc.ApplyDrag(drag, current);
            const std::string where = std::string(c.name) + " zoom " + std::to_string(zoom) +
                                      " by " + std::to_string(move.x) + "," +
                                      std::to_string(move.y);
            EXPECT_EQ(frame, AppliedFrame(f.m_doc, drag)) << where;
            if (applied) {
                f.ExpectOneStep(where);
            } else {
                f.ExpectNoStep(where);
            }
        }
    }
}

TEST_P(DragTest, AReleaseOnThePressPointChangesNothing) {
    for (int zoom : kZooms) {
        EditFixture f;
        CDrag drag;
        drag.m_nMode = GetParam().mode;
        drag.m_nSlot = f.m_nBack;
        drag.m_nHandle = GetParam().handle;
        drag.m_nZoom = zoom;
        drag.m_ptStart = CPoint{CLayerItem::ZoomValue(zoom, 51), CLayerItem::ZoomValue(zoom, 49)};
        EXPECT_FALSE(f.m_doc.ApplyDrag(drag, drag.m_ptStart));
        f.ExpectNoStep(GetParam().name);
    }
}

INSTANTIATE_TEST_SUITE_P(PanelEdits, DragTest, ::testing::ValuesIn(kDrags),
                         [](const auto& info) { return std::string(info.param.name); });

// What a drag does, in panel pixels, at zoom 100 and 200.
namespace {

struct DragResultCase {
    int zoom;
    int mode;
    int handle;
    CPoint start; // zoomed
    CPoint end;   // zoomed
    CRect body;   // the dragged body afterwards
    CPoint tail;  // the back balloon's tail tip afterwards
};

class DragResultTest : public ::testing::TestWithParam<DragResultCase> {};

} // namespace

TEST_P(DragResultTest, BodyAndTailAfterTheDrag) {
    const DragResultCase& c = GetParam();
    EditFixture f;
    CDrag drag{c.mode, f.m_nBack, c.handle, c.start, c.zoom};
    ASSERT_TRUE(f.m_doc.ApplyDrag(drag, c.end));
    if (c.mode == DRAG_MOVE_PICTURE || c.mode == DRAG_SIZE_PICTURE) {
        EXPECT_EQ(f.m_doc.m_panel.m_image.m_rcBody, c.body);
    } else {
        EXPECT_EQ(f.m_doc.GetFuki(f.m_nBack)->m_rcBody, c.body);
        EXPECT_EQ(f.m_doc.GetFuki(f.m_nBack)->m_ptTail, c.tail);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PanelEdits, DragResultTest,
    ::testing::Values(
        // The back balloon is (50, 50, 200, 150) with its tail at (200, 200).
        DragResultCase{100,
                       DRAG_MOVE_FUKI,
                       HANDLE_NONE,
                       {100, 100},
                       {200, 160},
                       {150, 110, 300, 210},
                       {200, 200}},
        DragResultCase{200,
                       DRAG_MOVE_FUKI,
                       HANDLE_NONE,
                       {200, 200},
                       {301, 259},
                       {100, 79, 250, 179},
                       {200, 200}},
        DragResultCase{100,
                       DRAG_SIZE_FUKI,
                       HANDLE_TOP_LEFT,
                       {50, 50},
                       {260, 210},
                       {200, 150, 260, 210},
                       {200, 200}},
        DragResultCase{200,
                       DRAG_SIZE_FUKI,
                       HANDLE_TOP_LEFT,
                       {100, 100},
                       {521, 421},
                       {200, 150, 260, 210},
                       {200, 200}},
        DragResultCase{
            100, DRAG_TAIL, HANDLE_TAIL, {200, 200}, {300, 260}, {50, 50, 200, 150}, {300, 260}},
        DragResultCase{
            200, DRAG_TAIL, HANDLE_TAIL, {400, 400}, {601, 521}, {50, 50, 200, 150}, {300, 260}},
        // The picture is 400 x 300 at (0, 0): a corner drag keeps its shape.
        DragResultCase{100,
                       DRAG_SIZE_PICTURE,
                       HANDLE_BOTTOM_RIGHT,
                       {400, 300},
                       {200, 300},
                       {0, 0, 300, 225},
                       {}},
        DragResultCase{200,
                       DRAG_SIZE_PICTURE,
                       HANDLE_BOTTOM_RIGHT,
                       {800, 600},
                       {400, 600},
                       {0, 0, 300, 225},
                       {}},
        DragResultCase{
            200, DRAG_MOVE_PICTURE, HANDLE_NONE, {10, 10}, {31, 1}, {10, -4, 410, 296}, {}}));

// The one display order every reader of a panel walks, with positions as a file may bring them.
namespace {

struct LayerOrderCase {
    const char* name;
    std::vector<std::pair<int, std::int32_t>> positions; // slot, position
    std::vector<int> order;                              // slots, backmost first
};

class LayerOrderTest : public ::testing::TestWithParam<LayerOrderCase> {};

} // namespace

TEST_P(LayerOrderTest, BalloonsInDisplayOrder) {
    CPanel panel;
    for (auto [slot, position] : GetParam().positions) {
        panel.m_fuki[static_cast<std::size_t>(slot)].m_nOrder = position;
        panel.m_fuki[static_cast<std::size_t>(slot)].m_nWait = 100 + slot;
    }
    EXPECT_EQ(FukiInDisplayOrder(panel), GetParam().order);
    const std::vector<CLayerRef> layers = PanelLayers(panel);
    ASSERT_EQ(layers.size(), GetParam().order.size() + 2);
    EXPECT_EQ(layers[0].m_eKind, ELayerKind::Background);
    EXPECT_EQ(layers[1].m_eKind, ELayerKind::Picture);
    for (std::size_t i = 0; i < GetParam().order.size(); ++i) {
        EXPECT_EQ(layers[i + 2], (CLayerRef{ELayerKind::Balloon, GetParam().order[i]}));
        EXPECT_EQ(LayerWait(panel, layers[i + 2]), 100 + GetParam().order[i]);
    }
    // The next order operation numbers them the same way: nothing drawn changes place (values
    // outside 1..10 it brings into the order).
    const bool inRange = std::all_of(GetParam().positions.begin(), GetParam().positions.end(),
                                     [](auto p) { return p.second >= 1 && p.second <= 10; });
    if (inRange && !GetParam().order.empty()) {
        panel.ChangeFukiOrder(GetParam().order.front(), ORDER_BACKMOST);
        EXPECT_EQ(FukiInDisplayOrder(panel), GetParam().order);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PanelLayers, LayerOrderTest,
    ::testing::Values(
        LayerOrderCase{"Empty", {}, {}},
        LayerOrderCase{"GapFree", {{9, 1}, {8, 2}, {2, 3}}, {9, 8, 2}},
        LayerOrderCase{"GapsAreSkipped", {{0, 2}, {1, 4}, {2, 1}}, {2, 0, 1}},
        LayerOrderCase{"EqualPositionsLowerSlotBehind", {{3, 1}, {7, 1}, {5, 2}}, {3, 7, 5}},
        LayerOrderCase{"OutsideOneToTenIsNotShown", {{0, 0}, {1, 11}, {2, -5}, {4, 10}}, {4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PanelLayers, WaitsOfBackgroundAndPicture) {
    CPanel panel;
    panel.m_nFirstWait = 12;
    panel.m_image.m_nWait = 34;
    EXPECT_EQ(LayerWait(panel, {ELayerKind::Background, -1}), 12);
    EXPECT_EQ(LayerWait(panel, {ELayerKind::Picture, -1}), 34);
    EXPECT_EQ(LayerWait(panel, {ELayerKind::Balloon, 10}), 0);
    EXPECT_EQ(LayerWaitField(panel, {ELayerKind::None, -1}), nullptr);
}
