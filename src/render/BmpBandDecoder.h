#pragma once
// An uncompressed 24-bit BMP read row by row and reduced as the rows arrive (see PictureBands.h):
// the picture is never held at its own size. Other kinds of BMP are left to Qt's reader.
#include <QImage>

class QIODevice;

namespace render {

enum class EBmpBands {
    Decoded,
    Unsupported, // not 24 bits a pixel, or compressed: for Qt's reader
    Failed       // the file ends before its rows do, or its header cannot be right
};

// True when the BMP whose first bytes are head is one DecodeBmpReduced decodes.
bool BmpDecodesInBands(const QByteArray& head);

// Decodes the BMP read from device (at its start) reduced by factor (1, 2, 4 or 8) into a new
// Format_RGB32 image of floor(W / factor) x floor(H / factor), at least 1 x 1.
EBmpBands DecodeBmpReduced(QIODevice& device, int factor, QImage& out);

} // namespace render
