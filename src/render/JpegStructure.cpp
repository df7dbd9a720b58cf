#include "JpegStructure.h"

#include <cstring>

namespace render {

namespace {

constexpr unsigned char kMarkerPrefix = 0xFF;
constexpr unsigned char kStartOfImage = 0xD8;
constexpr unsigned char kEndOfImage = 0xD9;
constexpr unsigned char kStartOfScan = 0xDA;
constexpr unsigned char kTem = 0x01;

bool IsRestart(unsigned char m) {
    return m >= 0xD0 && m <= 0xD7;
}

// Skips entropy-coded data from i; returns the position of the next real marker's 0xFF, or size.
std::size_t SkipEntropyData(const unsigned char* d, std::size_t size, std::size_t i) {
    while (i < size) {
        const void* hit = std::memchr(d + i, kMarkerPrefix, size - i);
        if (hit == nullptr) {
            return size;
        }
        i = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - d);
        if (i + 1 >= size) {
            return size;
        }
        const unsigned char next = d[i + 1];
        if (next == 0x00 || IsRestart(next)) {
            i += 2; // a stuffed 0xFF data byte, or a restart marker inside the scan
        } else if (next == kMarkerPrefix) {
            i += 1; // fill byte before a marker
        } else {
            return i;
        }
    }
    return size;
}

} // namespace

bool JpegStreamIsComplete(const unsigned char* d, std::size_t size) {
    if (size < 4 || d[0] != kMarkerPrefix || d[1] != kStartOfImage) {
        return false;
    }
    bool sawScan = false;
    std::size_t i = 2;
    while (i < size) {
        // The decoder skips stray bytes between segments, so this check does too.
        const void* hit = std::memchr(d + i, kMarkerPrefix, size - i);
        if (hit == nullptr) {
            return false;
        }
        i = static_cast<std::size_t>(static_cast<const unsigned char*>(hit) - d);
        while (i < size && d[i] == kMarkerPrefix) {
            ++i;
        }
        if (i >= size) {
            return false;
        }
        const unsigned char marker = d[i++];
        if (marker == kEndOfImage) {
            return sawScan;
        }
        if (marker == kTem || IsRestart(marker) || marker == kStartOfImage) {
            continue; // markers without a segment
        }
        if (i + 2 > size) {
            return false;
        }
        const std::size_t length = (static_cast<std::size_t>(d[i]) << 8) | d[i + 1];
        if (length < 2 || length > size - i) {
            return false;
        }
        i += length;
        if (marker == kStartOfScan) {
            sawScan = true;
            i = SkipEntropyData(d, size, i);
        }
    }
    return false;
}

} // namespace render
