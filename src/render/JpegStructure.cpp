#include "JpegStructure.h"

#include <algorithm>
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

// Skips entropy-coded data from i; returns the position of the next real
// marker's 0xFF, or size.
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

// Reads a frame header's size and components (the first frame only).
void ReadFrameHeader(const unsigned char* d, std::size_t length, unsigned char marker,
                     SJpegLayout& layout) {
    if (layout.nComponents != 0 || length < 8) {
        return;
    }
    layout.nHeight = (d[3] << 8) | d[4];
    layout.nWidth = (d[5] << 8) | d[6];
    layout.bArithmetic = marker >= 0xC9 && marker != 0xCC;
    const int count = std::min<int>(d[7], 4);
    for (int c = 0; c < count && 8 + 3 * static_cast<std::size_t>(c) + 2 < length; ++c) {
        const unsigned char factors = d[8 + 3 * c + 1];
        layout.nSampling[c][0] = std::clamp(factors >> 4, 1, 4);
        layout.nSampling[c][1] = std::clamp(factors & 0x0F, 1, 4);
        layout.nMaxH = std::max(layout.nMaxH, layout.nSampling[c][0]);
        layout.nMaxV = std::max(layout.nMaxV, layout.nSampling[c][1]);
        layout.nComponents = c + 1;
    }
}

bool IsFrameHeader(unsigned char m) {
    // Start-of-frame markers 0xC0 to 0xCF, except 0xC4 (Huffman tables), 0xC8
    // (reserved) and 0xCC (arithmetic conditioning).
    return m >= 0xC0 && m <= 0xCF && m != 0xC4 && m != 0xC8 && m != 0xCC;
}

} // namespace

long long JpegCoefficientBytes(const SJpegLayout& layout) {
    if (layout.nScans <= 1) {
        return 0;
    }
    long long bytes = 0;
    const long long mcuW = 8LL * layout.nMaxH;
    const long long mcuH = 8LL * layout.nMaxV;
    const long long mcusX = (layout.nWidth + mcuW - 1) / mcuW;
    const long long mcusY = (layout.nHeight + mcuH - 1) / mcuH;
    for (int c = 0; c < layout.nComponents; ++c) {
        const long long blocks = mcusX * layout.nSampling[c][0] * mcusY * layout.nSampling[c][1];
        bytes += blocks * 64 * 2;
    }
    return bytes;
}

bool JpegDataCoversDeclaredSize(const SJpegLayout& layout) {
    if (layout.bArithmetic) {
        return true; // arithmetic coding has no such bound: the whole-size limit
                     // applies
    }
    const long long blocks = ((layout.nWidth + 7LL) / 8) * ((layout.nHeight + 7LL) / 8);
    return static_cast<long long>(layout.nEntropyBytes) * 8 >= blocks;
}

bool JpegStreamIsComplete(const unsigned char* d, std::size_t size, SJpegLayout* layout) {
    SJpegLayout ignored;
    SJpegLayout& out = layout != nullptr ? *layout : ignored;
    out = SJpegLayout{};
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
        if (IsFrameHeader(marker)) {
            ReadFrameHeader(d + i, length, marker, out);
        }
        i += length;
        if (marker == kStartOfScan) {
            sawScan = true;
            ++out.nScans;
            const std::size_t start = i;
            i = SkipEntropyData(d, size, i);
            out.nEntropyBytes += i - start;
        }
    }
    return false;
}

} // namespace render
