#pragma once
// Comparing two frames of 4:2:0 planes (a full-size luma plane, two half-size chroma planes):
// whether they are equal, and which 16 x 16 blocks (with their 8 x 8 chroma blocks) are.
#include <cstddef>
#include <cstdint>

namespace video {

struct SPlaneView {
    const std::uint8_t* planes[3];
    int strides[3];
};

// True when every pixel of the frames of width x height (both even) is equal.
bool SamePlanes(const SPlaneView& a, const SPlaneView& b, int width, int height);

// One byte a 16 x 16 block, in rows of (width + 15) / 16 blocks top to bottom: equalFlag where
// the block's pixels (those inside the frame, of all three planes) are equal in a and b, 0
// elsewhere. Allocated with std::malloc, for the caller to free; null when memory ran out.
std::uint8_t* ChangedBlockFlags(const SPlaneView& a, const SPlaneView& b, int width, int height,
                                std::uint8_t equalFlag);

} // namespace video
