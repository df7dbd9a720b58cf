// One balloon: the rounded body united with the tail, filled and framed as one shape, the text
// word-wrapped in the inset rectangle on cells of the fill colour, then its grab squares.
#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FukiFont.h"
#include "FukiShape.h"
#include "PaintBounds.h"
#include "PanelRenderer.h"
#include "RenderColor.h"
#include "model/Fuki.h"
#include "model/TextCodec.h"

namespace render {

namespace {

// A stroke wider than any visible area frames the whole shape already.
constexpr qint64 kMaxStroke = 1 << 20;
constexpr int kDefaultDpi = 96;

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
    for (const QRect& rect : region) {
        painter.fillRect(rect, color);
    }
}

// Stored text with its line breaks (CR LF, or a lone CR or LF) as line separators.
QString ToLayoutText(const std::string& cp932) {
    QString text = QString::fromStdString(Cp932ToUtf8(cp932));
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

// Left-aligned from the top of the inset rectangle, wrapped at its right edge (between words,
// or between characters where there are no spaces), never clipped: text that does not fit runs
// on below. Each line's cells are filled with the fill colour first.
void DrawFukiText(QPainter& painter, const CFuki& fuki, int zoom, int dx, int dy,
                  const QRect& visible) {
    if (fuki.m_strText.empty()) {
        return;
    }
    const QPaintDevice* device = painter.device();
    const int dpiY = device != nullptr ? device->logicalDpiY() : kDefaultDpi;
    const int pixelSize = FukiFontPixelSize(fuki.m_nFontSize, zoom, dpiY);
    if (pixelSize == 0) {
        return;
    }
    CRect rt = fuki.m_rcBody;
    rt.left = WrapAdd(rt.left, fuki.m_nCornerWidth);
    rt.right = WrapSub(rt.right, fuki.m_nCornerWidth);
    rt.top = WrapAdd(rt.top, fuki.m_nCornerHeight);
    rt.bottom = WrapSub(rt.bottom, fuki.m_nCornerHeight);
    CLayerItem::ZoomRect(zoom, rt, dx, dy);
    if (rt.top > visible.bottom()) {
        return;
    }
    // An inverted rectangle is used as it stands: no room, so every line holds one piece.
    const qreal width = static_cast<qreal>(std::max<qint64>(0, qint64(rt.right) - rt.left));
    const QPointF origin(rt.left, rt.top);

    QTextLayout layout(ToLayoutText(fuki.m_strText), MakeFukiFont(fuki.m_strFontFace, pixelSize),
                       device);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    std::vector<QRectF> cells;
    qreal y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        cells.emplace_back(origin.x() + line.x(), origin.y() + y, line.naturalTextWidth(),
                           line.height());
        y += line.height();
        if (origin.y() + y > visible.bottom()) {
            break; // the rest lies below anything that can be seen
        }
    }
    layout.endLayout();

    // Only lines that can be seen are drawn: far-off positions (from a file) are never handed to
    // the text rasterizer.
    const QColor fill = ToQColor(fuki.m_crFill);
    const QRectF seen(visible);
    for (const QRectF& cell : cells) {
        if (cell.intersects(seen)) {
            painter.fillRect(cell, fill);
        }
    }
    painter.setPen(ToQColor(fuki.m_crText));
    for (int i = 0; i < layout.lineCount(); ++i) {
        if (cells[static_cast<std::size_t>(i)].intersects(seen)) {
            layout.lineAt(i).draw(&painter, origin);
        }
    }
}

} // namespace

void DrawFuki(QPainter& painter, const CFuki& fuki, bool selected, int zoom, int dx, int dy) {
    painter.save();
    const QRect visible = VisibleBounds(painter);
    const qint64 strokeW = std::min<qint64>(std::llabs(qint64(fuki.m_nBorderWidth)), kMaxStroke);
    const qint64 strokeH = std::min<qint64>(std::llabs(qint64(fuki.m_nBorderHeight)), kMaxStroke);
    // Shapes are built a little beyond the visible area so that the frame is right at its edges.
    const QRect shapeBounds =
        visible.adjusted(-int(strokeW) - 1, -int(strokeH) - 1, int(strokeW) + 1, int(strokeH) + 1);

    CRect body = fuki.m_rcBody;
    CLayerItem::ZoomRect(zoom, body, dx, dy);
    // The corner rounding follows the zoom; the border thickness does not.
    CPoint corner{fuki.m_nCornerWidth, fuki.m_nCornerHeight};
    CLayerItem::ZoomPoint(zoom, corner, 0, 0);
    QRegion outline = RoundRectRegion(body.left, body.top, body.right, body.bottom, corner.x,
                                      corner.y, shapeBounds);
    CPoint tail[3] = {fuki.m_ptTail, fuki.GetTailBasePoint(0), fuki.GetTailBasePoint(1)};
    for (CPoint& p : tail) {
        CLayerItem::ZoomPoint(zoom, p, dx, dy);
    }
    outline |= TriangleRegion(QPoint(tail[0].x, tail[0].y), QPoint(tail[1].x, tail[1].y),
                              QPoint(tail[2].x, tail[2].y), shapeBounds);

    FillRegion(painter, outline, ToQColor(fuki.m_crFill));
    FillRegion(painter, FrameRegion(outline, int(strokeW), int(strokeH)) & visible,
               ToQColor(fuki.m_crBorder));
    DrawFukiText(painter, fuki, zoom, dx, dy, visible);

    if (selected) {
        // Grab squares: the editor's marks, in view pixels, drawn without the offset.
        CRect corners[4];
        fuki.GetCornerHandleRects(zoom, corners);
        for (const CRect& square : corners) {
            painter.fillRect(HandleSquareWithin(square.left, square.top, visible), Qt::black);
        }
        const CRect tip = fuki.GetTailHandleRect(zoom);
        painter.fillRect(HandleSquareWithin(tip.left, tip.top, visible), Qt::black);
    }
    painter.restore();
}

} // namespace render
