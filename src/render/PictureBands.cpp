#include "PictureBands.h"

#include <algorithm>
#include <cstring>

namespace render {

namespace {

unsigned char Premultiplied(unsigned c, unsigned a) {
    return static_cast<unsigned char>((c * a + 127) / 255);
}

} // namespace

CBandReducer::CBandReducer(int width, int height, int factor, bool alpha)
    : m_nWidth(width), m_nFactor(factor), m_bAlpha(alpha) {
    const int outWidth = std::max(1, width / factor);
    const int outHeight = std::max(1, height / factor);
    m_nUsedRows = std::min(height, outHeight * factor);
    m_nBlockRows = std::min(factor, height);
    m_nDivisor = unsigned(std::min(factor, width)) * unsigned(m_nBlockRows);
    m_image = QImage(outWidth, outHeight,
                     alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (factor > 1) {
        m_sums.assign(std::size_t(outWidth) * 4, 0);
    }
}

void CBandReducer::AddRow(int y, const unsigned char* row) {
    if (y < 0 || y >= m_nUsedRows || m_image.isNull()) {
        return; // a row of the last partial block
    }
    if (m_nFactor == 1) {
        unsigned char* out = m_image.scanLine(y);
        if (!m_bAlpha) {
            std::memcpy(out, row, std::size_t(m_nWidth) * 4);
            return;
        }
        for (int x = 0; x < m_nWidth; ++x) {
            const unsigned char* p = row + std::size_t(x) * 4;
            unsigned char* o = out + std::size_t(x) * 4;
            const unsigned a = p[3];
            o[0] = Premultiplied(p[0], a);
            o[1] = Premultiplied(p[1], a);
            o[2] = Premultiplied(p[2], a);
            o[3] = static_cast<unsigned char>(a);
        }
        return;
    }
    const int used = std::min(m_nWidth, m_image.width() * m_nFactor);
    std::uint32_t* sums = m_sums.data();
    for (int x = 0; x < used; ++x) {
        const unsigned char* p = row + std::size_t(x) * 4;
        std::uint32_t* s = sums + std::size_t(x / m_nFactor) * 4;
        if (m_bAlpha) {
            const unsigned a = p[3];
            s[0] += Premultiplied(p[0], a);
            s[1] += Premultiplied(p[1], a);
            s[2] += Premultiplied(p[2], a);
            s[3] += a;
        } else {
            s[0] += p[0];
            s[1] += p[1];
            s[2] += p[2];
        }
    }
    if (++m_nRowsInSums == m_nBlockRows) {
        EmitBlockRow(y / m_nFactor);
        m_nRowsInSums = 0;
    }
}

void CBandReducer::EmitBlockRow(int outY) {
    unsigned char* out = m_image.scanLine(outY);
    const unsigned d = m_nDivisor;
    for (int x = 0; x < m_image.width(); ++x) {
        std::uint32_t* s = m_sums.data() + std::size_t(x) * 4;
        unsigned char* o = out + std::size_t(x) * 4;
        o[0] = static_cast<unsigned char>((s[0] + d / 2) / d);
        o[1] = static_cast<unsigned char>((s[1] + d / 2) / d);
        o[2] = static_cast<unsigned char>((s[2] + d / 2) / d);
        o[3] = m_bAlpha ? static_cast<unsigned char>((s[3] + d / 2) / d) : 0xFF;
        s[0] = s[1] = s[2] = s[3] = 0;
    }
}

} // namespace render
