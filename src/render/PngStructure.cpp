#include "PngStructure.h"

#include <cstdint>
#include <cstring>
#include <zlib.h>

namespace render {

namespace {

constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t U32(const unsigned char* d) {
    return (std::uint32_t(d[0]) << 24) | (std::uint32_t(d[1]) << 16) | (std::uint32_t(d[2]) << 8) |
           d[3];
}

struct SHeader {
    long long nWidth = 0;
    long long nHeight = 0;
    int nBitsPerPixel = 0;
    bool bInterlaced = false;
};

bool ReadHeader(const unsigned char* d, std::uint32_t length, SHeader& h) {
    if (length != 13) {
        return false;
    }
    h.nWidth = U32(d);
    h.nHeight = U32(d + 4);
    const int depth = d[8];
    int channels = 0;
    switch (d[9]) {
    case 0:
    case 3:
        channels = 1;
        break;
    case 2:
        channels = 3;
        break;
    case 4:
        channels = 2;
        break;
    case 6:
        channels = 4;
        break;
    default:
        return false;
    }
    h.nBitsPerPixel = channels * depth;
    h.bInterlaced = d[12] == 1;
    return h.nWidth > 0 && h.nHeight > 0 && depth >= 1 && depth <= 16 && d[12] <= 1;
}

// Bytes of filtered image data the header calls for: a filter byte and the packed pixels per
// row, per pass when interlaced.
long long ExpectedDataBytes(const SHeader& h) {
    auto rows = [&](long long w, long long rowCount) {
        return w == 0 || rowCount == 0 ? 0 : rowCount * (1 + (w * h.nBitsPerPixel + 7) / 8);
    };
    if (!h.bInterlaced) {
        return rows(h.nWidth, h.nHeight);
    }
    static constexpr int kPasses[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                          {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    long long total = 0;
    for (const auto& p : kPasses) {
        const long long w = (h.nWidth - p[0] + p[2] - 1) / p[2];
        const long long r = (h.nHeight - p[1] + p[3] - 1) / p[3];
        total += rows(w > 0 ? w : 0, r > 0 ? r : 0);
    }
    return total;
}

// Inflates the image data piece by piece, keeping only the count of bytes it gives.
class CInflateCount {
public:
    CInflateCount() { m_bOk = inflateInit(&m_stream) == Z_OK; }
    ~CInflateCount() { inflateEnd(&m_stream); }
    CInflateCount(const CInflateCount&) = delete;
    CInflateCount& operator=(const CInflateCount&) = delete;

    void Feed(const unsigned char* data, std::size_t size) {
        m_stream.next_in = const_cast<unsigned char*>(data);
        m_stream.avail_in = static_cast<uInt>(size);
        // Until the input is used up and the output has room left: a full output buffer may
        // hold back more output even when no input is left.
        while (m_bOk && !m_bEnded) {
            unsigned char out[65536];
            m_stream.next_out = out;
            m_stream.avail_out = sizeof out;
            const int r = inflate(&m_stream, Z_NO_FLUSH);
            m_nOut += static_cast<long long>(sizeof out - m_stream.avail_out);
            if (r == Z_STREAM_END) {
                m_bEnded = true;
            } else if (r == Z_BUF_ERROR ||
                       (r == Z_OK && m_stream.avail_in == 0 && m_stream.avail_out != 0)) {
                break; // needs the next chunk's data
            } else if (r != Z_OK) {
                m_bOk = false;
            }
        }
    }
    bool Ended() const { return m_bOk && m_bEnded; }
    long long Out() const { return m_nOut; }

private:
    z_stream m_stream{};
    bool m_bOk = false;
    bool m_bEnded = false;
    long long m_nOut = 0;
};

} // namespace

bool PngHeadIsSound(const unsigned char* d, std::size_t size) {
    if (size < sizeof kSignature || std::memcmp(d, kSignature, sizeof kSignature) != 0) {
        return false;
    }
    for (std::size_t i = sizeof kSignature; i + 8 <= size;) {
        const std::uint32_t length = U32(d + i);
        if (std::memcmp(d + i + 4, "IDAT", 4) == 0 || length > size - i - 12 || i + 12 > size) {
            return true; // the image data, or the end of the prefix
        }
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), d + i + 4, static_cast<uInt>(4 + length));
        if (crc != U32(d + i + 8 + length)) {
            return false;
        }
        i += 12 + std::size_t(length);
    }
    return true;
}

bool PngStreamIsSound(const unsigned char* d, std::size_t size) {
    if (size < sizeof kSignature || std::memcmp(d, kSignature, sizeof kSignature) != 0) {
        return false;
    }
    SHeader header;
    CInflateCount inflater;
    bool sawHeader = false;
    bool sawData = false;
    for (std::size_t i = sizeof kSignature; i + 12 <= size;) {
        const std::uint32_t length = U32(d + i);
        if (length > size - i - 12) {
            return false;
        }
        const unsigned char* type = d + i + 4;
        const unsigned char* data = d + i + 8;
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, static_cast<uInt>(4 + length));
        if (crc != U32(data + length)) {
            return false;
        }
        if (!sawHeader) {
            if (std::memcmp(type, "IHDR", 4) != 0 || !ReadHeader(data, length, header)) {
                return false;
            }
            sawHeader = true;
        } else if (std::memcmp(type, "IDAT", 4) == 0) {
            sawData = true;
            inflater.Feed(data, length);
        } else if (std::memcmp(type, "IEND", 4) == 0) {
            return sawData && inflater.Ended() && inflater.Out() >= ExpectedDataBytes(header);
        }
        i += 12 + std::size_t(length);
    }
    return false; // no end chunk
}

} // namespace render
