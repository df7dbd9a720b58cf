// Vertical balloon text: columns from right to left, characters from top to bottom.
#include <algorithm>
#include <unicode/brkiter.h>
#include <unicode/uchar.h>

#include "FukiLayoutParts.h"
#include "FukiShaping.h"

namespace render {

namespace {

// How a piece of a column is set.
enum class EPiece {
    Upright,  // shaped top to bottom with the vertical forms
    Sideways, // shaped left to right and turned 90 degrees clockwise
    Cell,     // one or two characters upright side by side in one square cell
};

struct SItem {
    int m_nStart = 0;
    int m_nEnd = 0;
    EPiece m_eKind = EPiece::Upright;
};

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool IsBang(QChar c) {
    return c == QLatin1Char('!') || c == QLatin1Char('?');
}

// Letters, digits and signs of the alphabetic scripts lie on their side in a column; the
// characters of East Asian scripts, the full-width forms and the symbols stand upright.
bool IsSideways(char32_t c) {
    return c < 0x1100;
}

// Maximal runs of one or two ASCII digits or of one or two of ! and ? stand in one cell.
std::vector<SItem> Itemize(const QString& text) {
    std::vector<SItem> items;
    const int n = static_cast<int>(text.size());
    auto add = [&items](int start, int end, EPiece kind) {
        if (!items.empty() && items.back().m_eKind == kind && kind != EPiece::Cell &&
            items.back().m_nEnd == start) {
            items.back().m_nEnd = end;
        } else {
            items.push_back({start, end, kind});
        }
    };
    int i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (IsAsciiDigit(c) || IsBang(c)) {
            const auto same = IsAsciiDigit(c) ? IsAsciiDigit : IsBang;
            int j = i;
            while (j < n && same(text[j])) {
                ++j;
            }
            add(i, j, j - i <= 2 ? EPiece::Cell : EPiece::Sideways);
            i = j;
            continue;
        }
        char32_t code = c.unicode();
        int len = 1;
        if (c.isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, text[i + 1]);
            len = 2;
        }
        add(i, i + len, IsSideways(code) ? EPiece::Sideways : EPiece::Upright);
        i += len;
    }
    return items;
}

// Positions where ICU's strict Japanese line breaker (no small kana, prolonged sound mark,
// closing bracket or stop at a column's start) allows a new column, ascending, ending with n.
std::vector<int> BreakOpportunities(const QString& text) {
    std::vector<int> breaks;
    UErrorCode status = U_ZERO_ERROR;
    thread_local std::unique_ptr<icu::BreakIterator> t_breaker(
        icu::BreakIterator::createLineInstance(icu::Locale("ja@lb=strict"), status));
    const int n = static_cast<int>(text.size());
    if (t_breaker) {
        const icu::UnicodeString ustr(false, reinterpret_cast<const UChar*>(text.utf16()), n);
        t_breaker->setText(ustr);
        for (int32_t p = t_breaker->next(); p != icu::BreakIterator::DONE; p = t_breaker->next()) {
            if (p > 0 && p < n) {
                breaks.push_back(p);
            }
        }
        t_breaker->setText(icu::UnicodeString()); // the text goes out of scope
    }
    breaks.push_back(n);
    return breaks;
}

int LineBreakClass(const QString& text, int index) {
    const QChar c = text[index];
    char32_t code = c.unicode();
    if (c.isHighSurrogate() && index + 1 < text.size()) {
        code = QChar::surrogateToUcs4(c, text[index + 1]);
    } else if (c.isLowSurrogate() && index > 0) {
        code = QChar::surrogateToUcs4(text[index - 1], c);
    }
    return u_getIntPropertyValue(static_cast<UChar32>(code), UCHAR_LINE_BREAK);
}

// Within a piece wider than a column, a column may still start at a character boundary before
// anything but closing and non-starting punctuation and after anything but an opening bracket
// (ICU's line-break classes).
bool MayStartColumn(const QString& text, int index) {
    if (text[index].isLowSurrogate() || LineBreakClass(text, index - 1) == U_LB_OPEN_PUNCTUATION) {
        return false;
    }
    switch (LineBreakClass(text, index)) {
    case U_LB_CLOSE_PUNCTUATION:
    case U_LB_CLOSE_PARENTHESIS:
    case U_LB_NONSTARTER:
    case U_LB_EXCLAMATION:
    case U_LB_INFIX_NUMERIC:
    case U_LB_CONDITIONAL_JAPANESE_STARTER:
    case U_LB_COMBINING_MARK:
    case U_LB_ZWJ:
        return false;
    default:
        return true;
    }
}

struct SParagraphGlyph {
    SShapedGlyph m_glyph;
    qreal m_dStream = 0; // pen position along the paragraph
    int m_nItem = 0;
};

class CVerticalBuilder {
public:
    CVerticalBuilder(const SFukiTextRequest& request, SFukiTextLayout& layout)
        : m_request(request), m_layout(layout),
          m_raw(FukiRawFont(request.m_strFace, request.m_nPixelSize)), m_dEm(request.m_nPixelSize),
          m_dPitch(ColumnPitch(request.m_nPixelSize)) {
        // The em box is centred on a sideways run's baseline and a cell's.
        m_dCentreShift = (m_raw.ascent() - m_raw.descent()) / 2;
    }

    // One paragraph of the text, starting at index offset.
    void Paragraph(const QString& text, int offset) {
        m_nOffset = offset;
        const int n = static_cast<int>(text.size());
        if (n == 0) {
            AddColumn(0, 0);
            return;
        }
        const std::vector<SItem> items = Itemize(text);
        std::vector<qreal> advance(static_cast<std::size_t>(n) + 1, 0);
        std::vector<SParagraphGlyph> glyphs;
        for (std::size_t k = 0; k < items.size(); ++k) {
            Shape(text, items[k], static_cast<int>(k), advance, glyphs);
        }
        // stream[i]: the distance from the paragraph's start to character i.
        std::vector<qreal> stream(static_cast<std::size_t>(n) + 1, 0);
        for (int i = 0; i < n; ++i) {
            stream[i + 1] = stream[i] + advance[i];
        }
        for (SParagraphGlyph& g : glyphs) {
            g.m_dStream += stream[items[static_cast<std::size_t>(g.m_nItem)].m_nStart];
        }
        const std::vector<int> starts = Columns(text, items, stream);
        Place(text, items, glyphs, stream, starts, n);
    }

private:
    const SFukiTextRequest& m_request;
    SFukiTextLayout& m_layout;
    QRawFont m_raw;
    qreal m_dEm;
    qreal m_dPitch;
    qreal m_dCentreShift = 0;
    int m_nOffset = 0;

    void Shape(const QString& text, const SItem& item, int index, std::vector<qreal>& advance,
               std::vector<SParagraphGlyph>& out) const {
        const EShapeDirection direction = item.m_eKind == EPiece::Upright
                                              ? EShapeDirection::TopToBottom
                                              : EShapeDirection::LeftToRight;
        qreal pen = 0;
        for (const SShapedGlyph& g :
             ShapeFukiRun(m_request.m_strFace, m_request.m_nPixelSize, text, item.m_nStart,
                          item.m_nEnd - item.m_nStart, direction)) {
            out.push_back({g, pen, index});
            pen += g.m_dAdvance;
            if (item.m_eKind != EPiece::Cell) {
                advance[static_cast<std::size_t>(g.m_nCluster)] += g.m_dAdvance;
            }
        }
        if (item.m_eKind == EPiece::Cell) {
            advance[static_cast<std::size_t>(item.m_nStart)] = m_dEm;
        }
    }

    // The first character of each column: greedy filling between the break opportunities.
    std::vector<int> Columns(const QString& text, const std::vector<SItem>& items,
                             const std::vector<qreal>& stream) const {
        const qreal length = m_request.m_nLineLength;
        std::vector<bool> insideCell(stream.size(), false);
        for (const SItem& item : items) {
            for (int i = item.m_nStart + 1; item.m_eKind == EPiece::Cell && i < item.m_nEnd; ++i) {
                insideCell[static_cast<std::size_t>(i)] = true;
            }
        }
        std::vector<int> starts{0};
        int previous = 0;
        for (int next : BreakOpportunities(text)) {
            const int start = starts.back();
            if (stream[next] - stream[start] <= length || previous == start) {
                if (previous == start && stream[next] - stream[start] > length) {
                    SplitPiece(text, stream, insideCell, start, next, starts);
                }
                previous = next;
                continue;
            }
            starts.push_back(previous);
            if (stream[next] - stream[previous] > length) {
                SplitPiece(text, stream, insideCell, previous, next, starts);
            }
            previous = next;
        }
        return starts;
    }

    // A piece longer than a column is cut at character boundaries where a column may start.
    void SplitPiece(const QString& text, const std::vector<qreal>& stream,
                    const std::vector<bool>& insideCell, int from, int to,
                    std::vector<int>& starts) const {
        const qreal length = m_request.m_nLineLength;
        int columnStart = from;
        int lastGood = -1;
        for (int i = from + 1; i <= to; ++i) {
            const bool candidate =
                i < to && !insideCell[static_cast<std::size_t>(i)] && MayStartColumn(text, i);
            if (!candidate && i < to) {
                continue;
            }
            if (stream[i] - stream[columnStart] > length && lastGood > columnStart) {
                starts.push_back(lastGood);
                columnStart = lastGood;
            }
            if (candidate && stream[i] - stream[columnStart] > length) {
                starts.push_back(i); // one character longer than the column stands alone
                columnStart = i;
            }
            if (candidate) {
                lastGood = i;
            }
        }
    }

    void AddColumn(int start, qreal length) {
        m_layout.m_lineStarts.push_back(m_nOffset + start);
        const qreal right = -static_cast<qreal>(m_layout.m_lines.size()) * m_dPitch;
        const QRectF cell(right - m_dEm, 0, m_dEm, length);
        m_layout.m_lines.push_back(cell);
        m_layout.m_dLongestLine = std::max(m_layout.m_dLongestLine, length);
    }

    void Place(const QString& text, const std::vector<SItem>& items,
               const std::vector<SParagraphGlyph>& glyphs, const std::vector<qreal>& stream,
               const std::vector<int>& starts, int n) {
        const int firstLine = static_cast<int>(m_layout.m_lines.size());
        std::vector<int> lineOf(static_cast<std::size_t>(n) + 1, 0);
        for (std::size_t c = 0; c < starts.size(); ++c) {
            const int end = c + 1 < starts.size() ? starts[c + 1] : n;
            for (int i = starts[c]; i < end; ++i) {
                lineOf[static_cast<std::size_t>(i)] = static_cast<int>(c);
            }
            // Trailing spaces take no room at the end of a column.
            int last = end;
            while (last > starts[c] && text[last - 1].isSpace()) {
                --last;
            }
            AddColumn(starts[c], stream[static_cast<std::size_t>(last)] - stream[starts[c]]);
        }
        // One run per item and column.
        std::size_t g = 0;
        while (g < glyphs.size()) {
            const SParagraphGlyph& first = glyphs[g];
            const int line = lineOf[static_cast<std::size_t>(first.m_glyph.m_nCluster)];
            std::size_t end = g;
            while (end < glyphs.size() && glyphs[end].m_nItem == first.m_nItem &&
                   lineOf[static_cast<std::size_t>(glyphs[end].m_glyph.m_nCluster)] == line) {
                ++end;
            }
            const SItem& item = items[static_cast<std::size_t>(first.m_nItem)];
            const qreal columnTop = stream[static_cast<std::size_t>(starts[line])];
            AddRun(item, glyphs, g, end, firstLine + line, columnTop,
                   stream[static_cast<std::size_t>(item.m_nStart)]);
            g = end;
        }
    }

    void AddRun(const SItem& item, const std::vector<SParagraphGlyph>& glyphs, std::size_t from,
                std::size_t to, int line, qreal columnTop, qreal itemStream) {
        const QRectF cell = m_layout.m_lines[static_cast<std::size_t>(line)];
        const qreal centre = cell.center().x();
        QList<quint32> indexes;
        QList<QPointF> positions;
        SFukiGlyphs run;
        run.m_nLine = line;
        const qreal runStart = glyphs[from].m_dStream;
        qreal width = 0;
        for (std::size_t k = from; k < to; ++k) {
            const SShapedGlyph& s = glyphs[k].m_glyph;
            indexes.push_back(s.m_nGlyph);
            const qreal along = glyphs[k].m_dStream;
            switch (item.m_eKind) {
            case EPiece::Upright:
                positions.push_back(
                    QPointF(centre + s.m_dOffsetX, along - columnTop + s.m_dOffsetY));
                break;
            case EPiece::Sideways:
                positions.push_back(
                    QPointF(along - runStart + s.m_dOffsetX, m_dCentreShift + s.m_dOffsetY));
                break;
            case EPiece::Cell:
                positions.push_back(QPointF(along - itemStream + s.m_dOffsetX, s.m_dOffsetY));
                width += s.m_dAdvance;
                break;
            }
        }
        if (item.m_eKind == EPiece::Sideways) {
            run.m_ptOrigin = QPointF(centre, runStart - columnTop);
            run.m_dRotation = 90;
        } else if (item.m_eKind == EPiece::Cell) {
            // Squeezed into one em when the pair is wider.
            run.m_dScaleX = width > m_dEm ? m_dEm / width : 1;
            run.m_ptOrigin = QPointF(centre - width * run.m_dScaleX / 2,
                                     itemStream - columnTop + m_dEm / 2 + m_dCentreShift);
        }
        run.m_run.setRawFont(m_raw);
        run.m_run.setGlyphIndexes(indexes);
        run.m_run.setPositions(positions);
        m_layout.m_glyphs.push_back(std::move(run));
    }
};

} // namespace

void LayOutVertical(const SFukiTextRequest& request, SFukiTextLayout& layout) {
    CVerticalBuilder builder(request, layout);
    int offset = 0;
    for (const QString& paragraph : request.m_strText.split(QChar::LineSeparator)) {
        builder.Paragraph(paragraph, offset);
        offset += static_cast<int>(paragraph.size()) + 1;
    }
}

} // namespace render
