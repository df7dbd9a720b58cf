// The writing choices kept in a balloon's reserved words: their bits, what they leave alone,
// and their way through the panel file.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "model/FukiStyle.h"

namespace {

struct SStyleCase {
    const char* name;
    SFukiStyle style;
    std::int32_t reserved1;
    std::int32_t reserved2;
};

class FukiStyleBits : public ::testing::TestWithParam<SStyleCase> {};

TEST_P(FukiStyleBits, StoreTheDocumentedBitsAndReadBack) {
    const SStyleCase& c = GetParam();
    CFuki fuki;
    SetFukiStyle(fuki, c.style);
    EXPECT_EQ(fuki.m_nReserved1, c.reserved1);
    EXPECT_EQ(fuki.m_nReserved2, c.reserved2);
    EXPECT_EQ(GetFukiStyle(fuki), c.style);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FukiStyleBits,
    ::testing::Values(
        SStyleCase{"none", {}, 0, 0}, SStyleCase{"vertical", {true, false, false, 0, 0}, 0x1, 0},
        SStyleCase{"fit", {false, true, false, 0, 0}, 0x2, 0},
        SStyleCase{
            "white_outline_3", {false, false, true, 3, MakeRgb(255, 255, 255)}, 0x304, 0xFFFFFF},
        SStyleCase{"all", {true, true, true, 255, MakeRgb(1, 2, 3)}, 0xFF07, 0x030201},
        SStyleCase{"colour_kept_without_outline",
                   {false, false, false, 0, MakeRgb(0, 0, 255)},
                   0,
                   0xFF0000}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FukiStyle, AZeroRecordIsPlainAndEveryChoiceIsNot) {
    CFuki fuki;
    EXPECT_TRUE(IsPlainFukiText(fuki));
    EXPECT_EQ(GetFukiStyle(fuki), SFukiStyle{});
    for (auto change :
         {+[](SFukiStyle& s) { s.m_bVertical = true; }, +[](SFukiStyle& s) { s.m_bFit = true; },
          +[](SFukiStyle& s) {
              s.m_bOutline = true;
              s.m_nOutlineWidth = 1;
          }}) {
        SFukiStyle style;
        change(style);
        CFuki styled;
        SetFukiStyle(styled, style);
        EXPECT_FALSE(IsPlainFukiText(styled));
    }
    // An outline of width 0 draws nothing, so the text stays plain.
    CFuki zeroWidth;
    SetFukiStyle(zeroWidth, {false, false, true, 0, 0});
    EXPECT_TRUE(IsPlainFukiText(zeroWidth));
}

TEST(FukiStyle, BitsItDoesNotUseKeepTheirValuesAndWidthsAreClamped) {
    CFuki fuki;
    fuki.m_nReserved1 = static_cast<std::int32_t>(0xA5A500F8u);
    fuki.m_nReserved2 = static_cast<std::int32_t>(0x7F000000u);
    SetFukiStyle(fuki, {true, false, true, 1000, MakeRgb(255, 0, 0)});
    EXPECT_EQ(static_cast<std::uint32_t>(fuki.m_nReserved1), 0xA5A5FFFDu);
    EXPECT_EQ(static_cast<std::uint32_t>(fuki.m_nReserved2), 0x7F0000FFu);
    EXPECT_EQ(GetFukiStyle(fuki).m_nOutlineWidth, kMaxFukiOutlineWidth);
    SetFukiStyle(fuki, {false, false, false, -5, 0});
    EXPECT_EQ(static_cast<std::uint32_t>(fuki.m_nReserved1), 0xA5A500F8u);
    EXPECT_EQ(static_cast<std::uint32_t>(fuki.m_nReserved2), 0x7F000000u);
}

TEST(FukiStyle, ChoicesGoThroughThePanelFileAndCopies) {
    CPanel panel;
    const int slot = panel.AddFuki();
    CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(slot)];
    const SFukiStyle style{true, true, true, 4, MakeRgb(10, 20, 30)};
    SetFukiStyle(fuki, style);
    const Bytes bytes = StorePanel(panel);
    CPanel loaded;
    LoadPanel(loaded, bytes);
    EXPECT_EQ(GetFukiStyle(loaded.m_fuki[static_cast<std::size_t>(slot)]), style);
    EXPECT_EQ(StorePanel(loaded), bytes);
    CFuki copy;
    copy.CopyFrom(fuki);
    EXPECT_EQ(GetFukiStyle(copy), style);
    // A balloon without choices leaves the file as a default panel with one balloon is.
    CPanel plain;
    plain.AddFuki();
    CPanel plainAgain;
    plainAgain.AddFuki();
    SetFukiStyle(plainAgain.m_fuki[0], {});
    EXPECT_EQ(StorePanel(plainAgain), StorePanel(plain));
}

} // namespace
