#pragma once
// A balloon's text shaped and broken into lines once for a text, face, pixel size, direction and
// line length, and kept in a per-thread cache.
//
// Vertical text is shaped with HarfBuzz top to bottom with the font's vertical forms; columns run
// from right to left; Latin letters and digits are set sideways (turned 90 degrees clockwise);
// one or two digits and the pairs of ! and ? stand upright in one cell. Horizontal text is laid
// out by Qt as the plain balloon always was. Lines break where ICU's Japanese line breaker allows
// it and at every line break of the text.
#include <QGlyphRun>
#include <QRectF>
#include <QString>
#include <memory>
#include <vector>

namespace render {

// Glyphs drawn with one transform: translate to m_ptOrigin, turn by m_dRotation degrees
// clockwise, squeeze horizontally by m_dScaleX; the run's positions are in that frame.
struct SFukiGlyphs {
    QGlyphRun m_run;
    QPointF m_ptOrigin;
    qreal m_dRotation = 0;
    qreal m_dScaleX = 1;
    int m_nLine = 0; // the column or line the glyphs belong to
};

// Coordinates are pixels from the text's anchor: the top-left corner of the text rectangle for
// horizontal text, its top-right corner for vertical text (columns lie at negative x).
struct SFukiTextLayout {
    std::vector<SFukiGlyphs> m_glyphs;
    std::vector<QRectF> m_lines;   // the cell of each column or line, filled behind the text
    std::vector<int> m_lineStarts; // the index in the text of each line's first character
    QRectF m_rcExtent;             // the union of the cells
    qreal m_dLongestLine = 0;      // along the writing direction
    int m_nPixelSize = 0;
};

struct SFukiTextRequest {
    QString m_strText; // line breaks as QChar::LineSeparator
    QString m_strFace; // an installed family
    int m_nPixelSize = 0;
    bool m_bVertical = false;
    int m_nLineLength = 0; // column height or line width in pixels; <= 0: one piece per line

    friend bool operator==(const SFukiTextRequest&, const SFukiTextRequest&) = default;
};

// The layout for a request, from this thread's cache when it was made before.
std::shared_ptr<const SFukiTextLayout> LayOutFukiText(const SFukiTextRequest& request);

// Empties this thread's cache of layouts (the shaping faces are kept).
void ClearFukiTextCache();

// Distance between the centres of two columns for a pixel size.
qreal ColumnPitch(int pixelSize);

} // namespace render
