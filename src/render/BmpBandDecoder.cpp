#include "BmpBandDecoder.h"

#include <QIODevice>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "PictureBands.h"

namespace render {

namespace {

constexpr int kHeadBytes = 54; // the file header and the 40-byte information header
constexpr std::uint32_t kMinInfoSize = 40;

std::uint32_t U16(const QByteArray& d, int at) {
    return std::uint32_t(uchar(d[at])) | (std::uint32_t(uchar(d[at + 1])) << 8);
}

std::uint32_t U32(const QByteArray& d, int at) {
    return U16(d, at) | (U16(d, at + 2) << 16);
}

struct SBmpLayout {
    qint64 nOffset = 0;
    int nWidth = 0;
    int nHeight = 0; // rows, positive
    bool bTopDown = false;
};

bool LayoutOf(const QByteArray& head, SBmpLayout& layout) {
    if (head.size() < kHeadBytes || head[0] != 'B' || head[1] != 'M' ||
        U32(head, 14) < kMinInfoSize || U16(head, 26) != 1 || U16(head, 28) != 24 ||
        U32(head, 30) != 0) {
        return false;
    }
    const auto width = static_cast<std::int32_t>(U32(head, 18));
    const auto height = static_cast<std::int32_t>(U32(head, 22));
    if (width <= 0 || height == 0 || height == INT32_MIN) {
        return false;
    }
    layout.nOffset = U32(head, 10);
    layout.nWidth = width;
    layout.nHeight = std::abs(height);
    layout.bTopDown = height < 0;
    return true;
}

} // namespace

bool BmpDecodesInBands(const QByteArray& head) {
    SBmpLayout layout;
    return LayoutOf(head, layout);
}

EBmpBands DecodeBmpReduced(QIODevice& device, int factor, QImage& out) {
    out = QImage();
    SBmpLayout layout;
    if (!LayoutOf(device.peek(kHeadBytes), layout)) {
        return EBmpBands::Unsupported;
    }
    if ((factor != 1 && factor != 2 && factor != 4 && factor != 8) || layout.nOffset < kHeadBytes ||
        !device.seek(layout.nOffset)) {
        return EBmpBands::Failed;
    }
    const int w = layout.nWidth;
    const int h = layout.nHeight;
    const qint64 rowBytes = (qint64(w) * 3 + 3) / 4 * 4; // padded to four bytes
    CBandReducer reducer(w, h, factor, false);
    if (!reducer.Valid()) {
        return EBmpBands::Failed;
    }
    std::vector<unsigned char> stored(static_cast<std::size_t>(rowBytes));
    std::vector<unsigned char> row(std::size_t(w) * 4);
    for (int i = 0; i < h; ++i) {
        if (device.read(reinterpret_cast<char*>(stored.data()), rowBytes) != rowBytes) {
            return EBmpBands::Failed;
        }
        for (int x = 0; x < w; ++x) { // B, G, R stored; B, G, R, 255 in memory
            row[std::size_t(x) * 4] = stored[std::size_t(x) * 3];
            row[std::size_t(x) * 4 + 1] = stored[std::size_t(x) * 3 + 1];
            row[std::size_t(x) * 4 + 2] = stored[std::size_t(x) * 3 + 2];
            row[std::size_t(x) * 4 + 3] = 0xFF;
        }
        reducer.AddRow(layout.bTopDown ? i : h - 1 - i, row.data());
    }
    out = reducer.Take();
    return EBmpBands::Decoded;
}

} // namespace render
