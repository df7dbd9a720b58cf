// One balloon: the rounded body united with the tail, filled and framed as one shape, the text
// word-wrapped in the inset rectangle on cells of the fill colour, then its grab squares.
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "DrawLimits.h"
#include "FukiFont.h"
#include "FukiShape.h"
#include "FukiTextPlan.h"
#include "PaintBounds.h"
#include "PanelRenderer.h"
#include "RenderColor.h"
#include "model/Fuki.h"
#include "model/FukiStyle.h"
#include "model/TextCodec.h"

namespace render {

namespace {

constexpr int kDefaultDpi = 96;

void FillRegion(QPainter& painter, const QRegion& region, const QColor& color) {
    for (const QRect& rect : region) {
        painter.fillRect(rect, color);
    }
}

// Plain text laid out as it is drawn: left-aligned from the top of the inset rectangle, wrapped
// at its right edge (between words, or between characters where there are no spaces), never
// clipped: text that does not fit runs on below. False when there is nothing to draw.
struct SPlainText {
    QTextLayout layout;
    QPointF origin;
    std::vector<QRectF> cells; // each line's cell, filled with the fill colour first
    int nPixelSize = 0;
};

bool LayOutPlainText(SPlainText& text, const QPaintDevice* device, const CFuki& fuki, int zoom,
                     int dx, int dy, const QRect& visible) {
    if (fuki.m_strText.empty()) {
        return false;
    }
    const int dpiY = device != nullptr ? device->logicalDpiY() : kDefaultDpi;
    text.nPixelSize = FukiFontPixelSize(fuki.m_nFontSize, zoom, dpiY);
    if (text.nPixelSize == 0) {
        return false;
    }
    const CRect rt = ZoomedTextRect(fuki, zoom, dx, dy);
    if (rt.top > visible.bottom()) {
        return false;
    }
    // An inverted rectangle is used as it stands: no room, so every line holds one piece.
    const qreal width = static_cast<qreal>(TextLineWidth(rt.left, rt.right));
    text.origin = QPointF(rt.left, rt.top);

    QTextLayout& layout = text.layout;
    layout.setText(FukiLayoutText(fuki.m_strText));
    // Measured for the device drawn on, as a layout made for it would be.
    const QFont font = MakeFukiFont(fuki.m_strFontFace, text.nPixelSize);
    layout.setFont(device != nullptr ? QFont(font, device) : font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    qreal y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid()) {
            break;
        }
        line.setLineWidth(width);
        line.setPosition(QPointF(0, y));
        text.cells.emplace_back(text.origin.x() + line.x(), text.origin.y() + y,
                                line.naturalTextWidth(), line.height());
        y += line.height();
        if (text.origin.y() + y > visible.bottom()) {
            break; // the rest lies below anything that can be seen
        }
    }
    layout.endLayout();
    return true;
}

void DrawFukiText(QPainter& painter, const CFuki& fuki, int zoom, int dx, int dy,
                  const QRect& visible) {
    SPlainText text;
    if (!LayOutPlainText(text, painter.device(), fuki, zoom, dx, dy, visible)) {
        return;
    }
    // Only lines that can be seen are drawn: far-off positions (from a file) are never handed to
    // the text rasterizer.
    const QColor fill = ToQColor(fuki.m_crFill);
    const QRectF seen(visible);
    for (const QRectF& cell : text.cells) {
        if (cell.intersects(seen)) {
            painter.fillRect(cell, fill);
        }
    }
    painter.setPen(ToQColor(fuki.m_crText));
    for (int i = 0; i < text.layout.lineCount(); ++i) {
        if (text.cells[static_cast<std::size_t>(i)].intersects(seen)) {
            text.layout.lineAt(i).draw(&painter, text.origin);
        }
    }
}

// Glyphs of one run drawn under the painter's transform (sideways runs turned, cells squeezed).
void DrawGlyphs(QPainter& painter, const SFukiGlyphs& glyphs, const QPointF& anchor) {
    painter.save();
    painter.translate(anchor + glyphs.m_ptOrigin);
    painter.rotate(glyphs.m_dRotation);
    painter.scale(glyphs.m_dScaleX, 1);
    painter.drawGlyphRun(QPointF(0, 0), glyphs.m_run);
    painter.restore();
}

QPainterPath GlyphOutline(const SFukiGlyphs& glyphs, const QPointF& anchor) {
    QPainterPath path;
    const QRawFont font = glyphs.m_run.rawFont();
    const QList<quint32> indexes = glyphs.m_run.glyphIndexes();
    const QList<QPointF> positions = glyphs.m_run.positions();
    for (qsizetype i = 0; i < indexes.size() && i < positions.size(); ++i) {
        path.addPath(font.pathForGlyph(indexes[i]).translated(positions[i]));
    }
    QTransform transform;
    transform.translate(anchor.x() + glyphs.m_ptOrigin.x(), anchor.y() + glyphs.m_ptOrigin.y());
    transform.rotate(glyphs.m_dRotation);
    transform.scale(glyphs.m_dScaleX, 1);
    return transform.map(path);
}

// Text with the balloon's writing choices: vertical or horizontal, its size fitted, outlined.
// Text that does not fit a fitted balloon is clipped to the balloon's shape.
void DrawStyledFukiText(QPainter& painter, const CFuki& fuki, int zoom, int dx, int dy,
                        const QRect& visible, const QRegion& shape) {
    const QPaintDevice* device = painter.device();
    const int dpiY = device != nullptr ? device->logicalDpiY() : kDefaultDpi;
    const SFukiTextPlan plan = PlanFukiText(fuki, zoom, dx, dy, dpiY);
    if (!plan.m_layout) {
        return;
    }
    const SFukiTextLayout& layout = *plan.m_layout;
    const QRectF seen(visible);
    if (!layout.m_rcExtent.translated(plan.m_ptAnchor)
             .adjusted(-plan.m_dOutline, -plan.m_dOutline, plan.m_dOutline, plan.m_dOutline)
             .intersects(seen)) {
        return;
    }
    painter.save();
    if (!plan.m_bFits && GetFukiStyle(fuki).m_bFit) {
        painter.setClipRegion(shape, Qt::IntersectClip);
    }
    const QColor fill = ToQColor(fuki.m_crFill);
    std::vector<bool> lineSeen;
    for (const QRectF& line : layout.m_lines) {
        const QRectF cell = line.translated(plan.m_ptAnchor);
        const bool inSight =
            cell.adjusted(-plan.m_dOutline, -plan.m_dOutline, plan.m_dOutline, plan.m_dOutline)
                .intersects(seen);
        lineSeen.push_back(inSight);
        if (inSight && !cell.isEmpty()) {
            painter.fillRect(cell, fill);
        }
    }
    auto runSeen = [&lineSeen](const SFukiGlyphs& glyphs) {
        return glyphs.m_nLine >= 0 && static_cast<std::size_t>(glyphs.m_nLine) < lineSeen.size() &&
               lineSeen[static_cast<std::size_t>(glyphs.m_nLine)];
    };
    if (plan.m_dOutline > 0) {
        const SFukiStyle style = GetFukiStyle(fuki);
        QPainterPath outline;
        for (const SFukiGlyphs& glyphs : layout.m_glyphs) {
            if (runSeen(glyphs)) {
                outline.addPath(GlyphOutline(glyphs, plan.m_ptAnchor));
            }
        }
        // The pen is centred on the glyphs' edges: twice the width leaves the width outside.
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.strokePath(outline, QPen(ToQColor(style.m_crOutline), 2 * plan.m_dOutline,
                                         Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
    painter.setPen(ToQColor(fuki.m_crText));
    for (const SFukiGlyphs& glyphs : layout.m_glyphs) {
        if (runSeen(glyphs)) {
            DrawGlyphs(painter, glyphs, plan.m_ptAnchor);
        }
    }
    painter.restore();
}

// The balloon's fill and frame within visible: the rounded body united with the tail.
SFramedShape BalloonShape(const CFuki& fuki, int zoom, int dx, int dy, const QRect& visible) {
    const qint64 strokeW = ClampMagnitude(fuki.m_nBorderWidth, kMaxStroke);
    const qint64 strokeH = ClampMagnitude(fuki.m_nBorderHeight, kMaxStroke);

    CRect body = fuki.m_rcBody;
    CLayerItem::ZoomRect(zoom, body, dx, dy);
    // The corner rounding follows the zoom; the border thickness does not.
    CPoint corner{fuki.m_nCornerWidth, fuki.m_nCornerHeight};
    CLayerItem::ZoomPoint(zoom, corner, 0, 0);
    CPoint tail[3] = {fuki.m_ptTail, fuki.GetTailBasePoint(0), fuki.GetTailBasePoint(1)};
    for (CPoint& p : tail) {
        CLayerItem::ZoomPoint(zoom, p, dx, dy);
    }
    const auto outline = [&](const QRect& bounds) {
        return RoundRectRegion(body.left, body.top, body.right, body.bottom, corner.x, corner.y,
                               bounds) |
               TriangleRegion(QPoint(tail[0].x, tail[0].y), QPoint(tail[1].x, tail[1].y),
                              QPoint(tail[2].x, tail[2].y), bounds);
    };
    return FramedShapeWithin(outline, visible, int(strokeW), int(strokeH));
}

} // namespace

void DrawFuki(QPainter& painter, const CFuki& fuki, bool selected, int zoom, int dx, int dy) {
    painter.save();
    const QRect visible = VisibleBounds(painter);
    const SFramedShape shape = BalloonShape(fuki, zoom, dx, dy, visible);
    FillRegion(painter, shape.fill, ToQColor(fuki.m_crFill));
    FillRegion(painter, shape.frame, ToQColor(fuki.m_crBorder));
    if (IsPlainFukiText(fuki)) {
        DrawFukiText(painter, fuki, zoom, dx, dy, visible);
    } else {
        // The shape within the visible area is all the clipping can ever need.
        DrawStyledFukiText(painter, fuki, zoom, dx, dy, visible, shape.fill);
    }

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

QRect FukiPaintedBounds(const QPaintDevice& device, const CFuki& fuki, int zoom, int dx, int dy) {
    const QRect visible(0, 0, device.width(), device.height());
    const SFramedShape shape = BalloonShape(fuki, zoom, dx, dy, visible);
    QRectF bounds = (shape.fill | shape.frame).boundingRect();
    // Glyphs may reach out of their cells (overhangs, accents, outlines): each cell is widened
    // by the font's size on every side, far more than any glyph reaches out.
    if (IsPlainFukiText(fuki)) {
        SPlainText text;
        if (LayOutPlainText(text, &device, fuki, zoom, dx, dy, visible)) {
            const qreal margin = text.nPixelSize;
            for (const QRectF& cell : text.cells) {
                bounds |= cell.adjusted(-margin, -margin, margin, margin);
            }
        }
    } else {
        const SFukiTextPlan plan = PlanFukiText(fuki, zoom, dx, dy, device.logicalDpiY());
        if (plan.m_layout) {
            const qreal margin = plan.m_dOutline + plan.m_layout->m_nPixelSize;
            QRectF text = plan.m_layout->m_rcExtent.translated(plan.m_ptAnchor)
                              .adjusted(-margin, -margin, margin, margin);
            if (!plan.m_bFits && GetFukiStyle(fuki).m_bFit) {
                text &= QRectF(shape.fill.boundingRect());
            }
            bounds |= text;
        }
    }
    return bounds.toAlignedRect() & visible;
}

} // namespace render
