#pragma once
// The writing choices of a balloon kept in its two reserved words, which the panel file carries
// unchanged: vertical writing, fitting the text to the balloon and an outline around the
// characters. A balloon with both words 0 is a horizontal balloon of fixed size, as always.
//
// m_nReserved1: bit 0 vertical, bit 1 fit, bit 2 outline, bits 8-15 outline width in panel
// pixels. m_nReserved2: outline colour 0x00BBGGRR in bits 0-23. Every other bit is kept as read.
#include <cstdint>

#include "Fuki.h"

constexpr std::uint32_t kFukiVerticalBit = 1u << 0;
constexpr std::uint32_t kFukiFitBit = 1u << 1;
constexpr std::uint32_t kFukiOutlineBit = 1u << 2;
constexpr int kFukiOutlineWidthShift = 8;
constexpr std::uint32_t kFukiOutlineWidthMask = 0xFFu << kFukiOutlineWidthShift;
constexpr std::uint32_t kFukiOutlineColorMask = 0x00FFFFFFu;
constexpr int kMaxFukiOutlineWidth = 255;
// The smallest size fitting shrinks a text to, in tenths of a point.
constexpr std::int32_t kMinFitFontSize = 60;

struct SFukiStyle {
    bool m_bVertical = false;
    bool m_bFit = false;
    bool m_bOutline = false;
    int m_nOutlineWidth = 0; // panel pixels, 0..255
    COLORREF m_crOutline = 0;

    friend bool operator==(const SFukiStyle&, const SFukiStyle&) = default;
};

SFukiStyle GetFukiStyle(const CFuki& fuki);
// Stores the choices; a width outside 0..255 is clamped. Bits the style does not use keep their
// values.
void SetFukiStyle(CFuki& fuki, const SFukiStyle& style);
// True when the balloon draws its text as it always has: horizontal, fixed size, no outline.
bool IsPlainFukiText(const CFuki& fuki);
