// Horizontal balloon text as Qt lays out the plain balloon: left-aligned lines from the top,
// wrapped between words or, where there are none, between characters; kept as glyph runs so
// that it can be outlined and measured for fitting.
#include <QTextLayout>
#include <algorithm>

#include "FukiFont.h"
#include "FukiLayoutParts.h"

namespace render {

void LayOutHorizontal(const SFukiTextRequest& request, SFukiTextLayout& layout) {
    QFont font = MakeFukiFont({}, request.m_nPixelSize);
    font.setFamily(request.m_strFace);
    QTextLayout text(request.m_strText, font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setTextOption(option);
    const qreal width = std::max(0, request.m_nLineLength);
    qreal y = 0;
    text.beginLayout();
    for (;;) {
        QTextLine line = text.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        layout.m_lines.emplace_back(line.x(), y, line.naturalTextWidth(), line.height());
        layout.m_lineStarts.push_back(line.textStart());
        layout.m_dLongestLine = std::max(layout.m_dLongestLine, line.naturalTextWidth());
        y += line.height();
    }
    text.endLayout();
    for (int i = 0; i < text.lineCount(); ++i) {
        for (const QGlyphRun& run : text.lineAt(i).glyphRuns()) {
            SFukiGlyphs glyphs;
            glyphs.m_run = run;
            glyphs.m_nLine = i;
            layout.m_glyphs.push_back(std::move(glyphs));
        }
    }
}

} // namespace render
