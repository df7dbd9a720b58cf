#include "FukiStyle.h"

#include <algorithm>

namespace {

std::uint32_t Bits(std::int32_t word) {
    return static_cast<std::uint32_t>(word);
}

std::int32_t Word(std::uint32_t bits) {
    return static_cast<std::int32_t>(bits);
}

} // namespace

SFukiStyle GetFukiStyle(const CFuki& fuki) {
    const std::uint32_t flags = Bits(fuki.m_nReserved1);
    SFukiStyle style;
    style.m_bVertical = (flags & kFukiVerticalBit) != 0;
    style.m_bFit = (flags & kFukiFitBit) != 0;
    style.m_bOutline = (flags & kFukiOutlineBit) != 0;
    style.m_nOutlineWidth =
        static_cast<int>((flags & kFukiOutlineWidthMask) >> kFukiOutlineWidthShift);
    style.m_crOutline = Bits(fuki.m_nReserved2) & kFukiOutlineColorMask;
    return style;
}

void SetFukiStyle(CFuki& fuki, const SFukiStyle& style) {
    constexpr std::uint32_t kUsed =
        kFukiVerticalBit | kFukiFitBit | kFukiOutlineBit | kFukiOutlineWidthMask;
    std::uint32_t flags = Bits(fuki.m_nReserved1) & ~kUsed;
    if (style.m_bVertical) {
        flags |= kFukiVerticalBit;
    }
    if (style.m_bFit) {
        flags |= kFukiFitBit;
    }
    if (style.m_bOutline) {
        flags |= kFukiOutlineBit;
    }
    const auto width =
        static_cast<std::uint32_t>(std::clamp(style.m_nOutlineWidth, 0, kMaxFukiOutlineWidth));
    flags |= width << kFukiOutlineWidthShift;
    fuki.m_nReserved1 = Word(flags);
    fuki.m_nReserved2 = Word((Bits(fuki.m_nReserved2) & ~kFukiOutlineColorMask) |
                             (style.m_crOutline & kFukiOutlineColorMask));
}

bool IsPlainFukiText(const CFuki& fuki) {
    const SFukiStyle style = GetFukiStyle(fuki);
    return !style.m_bVertical && !style.m_bFit && !(style.m_bOutline && style.m_nOutlineWidth > 0);
}
