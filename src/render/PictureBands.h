#pragma once
// A picture reduced while its rows are decoded: each block of factor x factor pixels becomes its
// mean as the rows arrive (top down or bottom up), so only the reduced picture and the sums of
// one row of blocks are held, never the picture at its own size.
#include <QImage>
#include <cstdint>
#include <vector>

namespace render {

class CBandReducer {
public:
    // A picture of width x height (both positive) reduced by factor (1, 2, 4 or 8) to
    // floor(width / factor) x floor(height / factor), at least 1 x 1: a last partial block is
    // left out. Format_ARGB32_Premultiplied when alpha, else Format_RGB32.
    CBandReducer(int width, int height, int factor, bool alpha);

    // False when the reduced picture could not be allocated.
    bool Valid() const { return !m_image.isNull(); }
    // Adds the row shown at y (0 at the top), 32-bit pixels B, G, R, A in memory (A not
    // premultiplied; ignored without alpha). Rows come in order, top down or bottom up.
    void AddRow(int y, const unsigned char* row);
    QImage Take() { return std::move(m_image); }

private:
    void EmitBlockRow(int outY);

    int m_nWidth;
    int m_nFactor;
    bool m_bAlpha;
    int m_nUsedRows;  // rows of whole blocks (or all rows of a picture lower than a block)
    int m_nBlockRows; // rows in a block
    int m_nRowsInSums = 0;
    unsigned m_nDivisor;
    std::vector<std::uint32_t> m_sums;
    QImage m_image;
};

} // namespace render
