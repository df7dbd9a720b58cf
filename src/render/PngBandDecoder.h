#pragma once
// A PNG decoded row by row by the PNG library and reduced as the rows arrive: each block of
// factor x factor pixels becomes its mean, so only the reduced picture and a few rows are ever
// held, never the whole picture at its own size.
//
// The library's errors and warnings never reach standard error: a damaged file (a chunk's CRC,
// image data that does not inflate or ends early) is reported as a failure.
#include <QImage>

class QIODevice;

namespace render {

enum class EPngBands {
    Decoded,
    Unsupported, // interlaced: the rows arrive in seven passes, the whole picture is needed
    Failed
};

// Decodes the PNG read from device (at its start) reduced by factor (1, 2, 4 or 8) into a new
// image of floor(W / factor) x floor(H / factor), at least 1 x 1 (a last partial block is left
// out; every row is still read and checked). Format_RGB32 for an opaque picture,
// Format_ARGB32_Premultiplied for one with transparency.
EPngBands DecodePngReduced(QIODevice& device, int factor, QImage& out);

} // namespace render
