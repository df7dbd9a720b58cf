#pragma once
// Shaping of balloon text with HarfBuzz on the glyphs of a Qt raw font: the font's own tables
// feed HarfBuzz, so the glyph indices it returns are the raw font's.
#include <QRawFont>
#include <QString>
#include <vector>

namespace render {

enum class EShapeDirection { LeftToRight, TopToBottom };

struct SShapedGlyph {
    quint32 m_nGlyph = 0;
    int m_nCluster = 0;   // index in the shaped text (UTF-16 units)
    qreal m_dAdvance = 0; // along the direction, in pixels, always >= 0
    qreal m_dOffsetX = 0; // from the pen to the glyph's drawing origin; y grows downwards
    qreal m_dOffsetY = 0;
};

// The face's raw font at a pixel size, for this thread (an invalid font when none loads).
QRawFont FukiRawFont(const QString& family, int pixelSize);

// Shapes text[start, start + length) with the whole text as context. Top to bottom applies the
// vertical forms (vert, vrt2). Pen positions are the running sum of the advances.
std::vector<SShapedGlyph> ShapeFukiRun(const QString& family, int pixelSize, const QString& text,
                                       int start, int length, EShapeDirection direction);

} // namespace render
