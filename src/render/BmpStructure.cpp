#include "BmpStructure.h"

#include <cstdint>
#include <cstdlib>

namespace render {

namespace {

std::uint32_t U16(const unsigned char* d) {
    return d[0] | (std::uint32_t(d[1]) << 8);
}

std::uint32_t U32(const unsigned char* d) {
    return d[0] | (std::uint32_t(d[1]) << 8) | (std::uint32_t(d[2]) << 16) |
           (std::uint32_t(d[3]) << 24);
}

constexpr std::uint32_t kCoreHeaderSize = 12; // the oldest header: 16-bit width and height
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

} // namespace

bool BmpDataIsComplete(const unsigned char* d, std::size_t size, long long fileSize) {
    if (size < 26 || d[0] != 'B' || d[1] != 'M') {
        return false;
    }
    const long long offset = U32(d + 10);
    const std::uint32_t infoSize = U32(d + 14);
    long long width = 0;
    long long rows = 0;
    std::uint32_t bits = 0;
    std::uint32_t compression = kUncompressed;
    long long dataSize = 0;
    if (infoSize == kCoreHeaderSize) {
        width = U16(d + 18);
        rows = U16(d + 20);
        bits = U16(d + 24);
    } else {
        if (size < 38) {
            return false;
        }
        width = static_cast<std::int32_t>(U32(d + 18));
        rows = std::llabs(static_cast<std::int32_t>(U32(d + 22)));
        bits = U16(d + 28);
        compression = U32(d + 30);
        dataSize = U32(d + 34);
    }
    if (offset > fileSize) {
        return false;
    }
    switch (compression) {
    case kUncompressed:
    case kBitFields:
    case kAlphaBitFields: {
        // Each row padded to a multiple of 4 bytes.
        const long long rowBytes = (std::llabs(width) * bits + 31) / 32 * 4;
        return rowBytes * rows <= fileSize - offset;
    }
    case kRle8:
    case kRle4:
        return dataSize <= fileSize - offset;
    default:
        return true; // the reader refuses what it cannot decode
    }
}

} // namespace render
