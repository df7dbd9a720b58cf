#include "ChangedBlocks.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace video {

namespace {

constexpr int kBlock = 16;

const std::uint8_t* Row(const SPlaneView& v, int plane, int y) {
    return v.planes[plane] + std::ptrdiff_t(y) * v.strides[plane];
}

// Clears the flag of each block of `flags` (one row of blocks) whose part of this row of pixels
// differs; blocks are `block` pixels wide in this plane.
void MarkRow(const std::uint8_t* ra, const std::uint8_t* rb, int width, int block,
             std::uint8_t* flags) {
    if (std::memcmp(ra, rb, std::size_t(width)) == 0) {
        return; // most rows of a frame that changed a little
    }
    for (int x = 0, column = 0; x < width; x += block, ++column) {
        if (flags[column] != 0 &&
            std::memcmp(ra + x, rb + x, std::size_t(std::min(block, width - x))) != 0) {
            flags[column] = 0;
        }
    }
}

} // namespace

bool SamePlanes(const SPlaneView& a, const SPlaneView& b, int width, int height) {
    for (int plane = 0; plane < 3; ++plane) {
        const int w = plane == 0 ? width : width / 2;
        const int h = plane == 0 ? height : height / 2;
        for (int y = 0; y < h; ++y) {
            if (std::memcmp(Row(a, plane, y), Row(b, plane, y), std::size_t(w)) != 0) {
                return false;
            }
        }
    }
    return true;
}

std::uint8_t* ChangedBlockFlags(const SPlaneView& a, const SPlaneView& b, int width, int height,
                                std::uint8_t equalFlag) {
    const int columns = (width + kBlock - 1) / kBlock;
    const int rows = (height + kBlock - 1) / kBlock;
    auto* flags = static_cast<std::uint8_t*>(std::malloc(std::size_t(columns) * rows));
    if (flags == nullptr) {
        return nullptr;
    }
    std::memset(flags, equalFlag, std::size_t(columns) * rows);
    for (int y = 0; y < height; ++y) {
        MarkRow(Row(a, 0, y), Row(b, 0, y), width, kBlock,
                flags + std::ptrdiff_t(y / kBlock) * columns);
    }
    for (int plane = 1; plane < 3; ++plane) {
        for (int y = 0; y < height / 2; ++y) {
            MarkRow(Row(a, plane, y), Row(b, plane, y), width / 2, kBlock / 2,
                    flags + std::ptrdiff_t(y / (kBlock / 2)) * columns);
        }
    }
    return flags;
}

} // namespace video
