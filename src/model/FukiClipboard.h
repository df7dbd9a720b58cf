#pragma once
// A balloon on the clipboard: its record exactly as the panel file stores it (the same bytes,
// the display position included), and where a pasted copy goes in a panel.
#include <cstdint>
#include <span>
#include <vector>

#include "Panel.h"

// The balloon's record in the panel file's layout.
std::vector<std::uint8_t> FukiRecordBytes(const CFuki& fuki);
// Reads one whole record and nothing after it. False for anything else (a short record, bytes
// left over, a string length no reader accepts); the balloon is then left as it was.
bool FukiFromRecordBytes(std::span<const std::uint8_t> bytes, CFuki& fuki);
// Two balloons alike in every stored field but the display position.
bool SameFukiContent(const CFuki& a, const CFuki& b);
// The lowest free slot of the panel, or -1 when all ten are in use.
int FirstFreeSlot(const CPanel& panel);
// The balloon a paste adds: the copied one on its own spot, moved by (10, 10) for as long as a
// balloon in use there is alike in content, so that a copy never hides exactly under another.
CFuki PlaceForPaste(const CPanel& panel, const CFuki& copied);
