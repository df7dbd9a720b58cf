// A balloon on the clipboard: its record is byte for byte the panel file's, reads back whole or
// not at all, and a pasted copy lands on its own spot unless an alike balloon is there.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/FukiClipboard.h"

namespace {

constexpr std::size_t kFirstBalloon = 28 + 38; // header and an empty picture record
constexpr std::size_t kDefaultBalloonBytes = 114;

CFuki Styled() {
    CFuki fuki;
    fuki.m_nOrder = 3;
    fuki.m_rcBody = CRect{20, 30, 220, 130};
    fuki.m_ptTail = CPoint{90, 200};
    fuki.m_crFill = 0x00123456;
    fuki.m_strText = std::string(300, 'a'); // the three-byte length prefix
    fuki.m_strFontFace = "IPAGothic";
    fuki.m_nReserved1 = 7;
    fuki.m_nReserved2 = -9;
    return fuki;
}

} // namespace

TEST(FukiClipboard, RecordIsTheFilesBalloonRecord) {
    CPanel panel;
    const Bytes file = StorePanel(panel);
    const Bytes record = FukiRecordBytes(panel.m_fuki[0]);
    ASSERT_EQ(record.size(), kDefaultBalloonBytes);
    EXPECT_EQ(record, Bytes(file.begin() + kFirstBalloon,
                            file.begin() + kFirstBalloon + kDefaultBalloonBytes));
}

TEST(FukiClipboard, RecordReadsBackEveryField) {
    const CFuki styled = Styled();
    const Bytes record = FukiRecordBytes(styled);
    CFuki read;
    ASSERT_TRUE(FukiFromRecordBytes(record, read));
    EXPECT_EQ(FukiRecordBytes(read), record);
    EXPECT_EQ(read.m_nOrder, 3);
    EXPECT_EQ(read.m_strText.size(), 300u);
    EXPECT_EQ(read.m_nReserved2, -9);
}

TEST(FukiClipboard, DamagedRecordsAreRefusedAndLeaveTheBalloonAlone) {
    const Bytes record = FukiRecordBytes(Styled());
    const Bytes before = FukiRecordBytes(CFuki());
    std::vector<Bytes> damaged = {{}, {0x01}};
    for (std::size_t cut : {std::size_t(1), std::size_t(31), std::size_t(84), record.size() - 1}) {
        damaged.emplace_back(record.begin(), record.end() - static_cast<std::ptrdiff_t>(cut));
    }
    Bytes longer = record;
    longer.push_back(0);
    damaged.push_back(longer);
    for (const Bytes& bytes : damaged) {
        CFuki fuki;
        EXPECT_FALSE(FukiFromRecordBytes(bytes, fuki)) << bytes.size();
        EXPECT_EQ(FukiRecordBytes(fuki), before) << bytes.size();
    }
}

TEST(FukiClipboard, FirstFreeSlotIsTheLowest) {
    CPanel panel;
    EXPECT_EQ(FirstFreeSlot(panel), 0);
    panel.m_fuki[0].m_nOrder = 1;
    panel.m_fuki[2].m_nOrder = 2;
    EXPECT_EQ(FirstFreeSlot(panel), 1);
    for (CFuki& fuki : panel.m_fuki) {
        fuki.m_nOrder = 1;
    }
    EXPECT_EQ(FirstFreeSlot(panel), -1);
}

struct SPlaceCase {
    const char* name;
    int alikeAtSpot;     // alike balloons already on the spot, then +10, +20 …
    bool otherAtSpot;    // a different balloon on the very spot
    std::int32_t expect; // the pasted body's left edge (20 is the copied spot)
};

class FukiPaste : public ::testing::TestWithParam<SPlaceCase> {};

TEST_P(FukiPaste, LandsOnItsSpotUnlessAnAlikeBalloonIsThere) {
    const SPlaceCase& c = GetParam();
    const CFuki copied = Styled();
    CPanel panel;
    int slot = 0;
    for (int i = 0; i < c.alikeAtSpot; ++i, ++slot) {
        CFuki& there = panel.m_fuki[static_cast<std::size_t>(slot)];
        there = copied;
        there.Move(10 * i, 10 * i);
        there.m_nOrder = slot + 1; // the display position does not count
    }
    if (c.otherAtSpot) {
        CFuki& other = panel.m_fuki[static_cast<std::size_t>(slot)];
        other = copied;
        other.m_strText = "other";
        other.m_nOrder = slot + 1;
    }
    const CFuki placed = PlaceForPaste(panel, copied);
    EXPECT_EQ(placed.m_rcBody.left, c.expect);
    EXPECT_EQ(placed.m_rcBody.top, c.expect + 10);
    // The tail moves with the body.
    EXPECT_EQ(placed.m_ptTail.x, 90 + (c.expect - 20));
    EXPECT_EQ(placed.m_strText, copied.m_strText);
}

INSTANTIATE_TEST_SUITE_P(Places, FukiPaste,
                         ::testing::Values(SPlaceCase{"empty", 0, false, 20},
                                           SPlaceCase{"alike", 1, false, 30},
                                           SPlaceCase{"twoAlike", 2, false, 40},
                                           SPlaceCase{"different", 0, true, 20}),
                         [](const auto& info) { return std::string(info.param.name); });
