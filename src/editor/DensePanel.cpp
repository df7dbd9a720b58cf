#include "DensePanel.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/Panel.h"
#include "model/PanelLayers.h"
#include "render/PaintBounds.h"
#include "render/PanelRenderer.h"

namespace {

// Far-off positions (from a file) stay far off without overflowing a pixel coordinate.
int ClampedPixel(double value) {
    constexpr double kLimit = 1 << 28;
    return static_cast<int>(std::lround(std::clamp(value, -kLimit, kLimit)));
}

// A grab square of the model (kHandleHalf around its point) as drawn at a ratio other than 1:
// it keeps its logical size.
QRect DenseSquare(const CRect& square, qreal ratio) {
    const double cx = static_cast<double>(square.left) + kHandleHalf;
    const double cy = static_cast<double>(square.top) + kHandleHalf;
    const double half = kHandleHalf * ratio;
    const int side = ClampedPixel(2 * half);
    return QRect(ClampedPixel(cx - half), ClampedPixel(cy - half), side, side);
}

// The model's grab squares of the selection at a zoom: none when nothing with squares is
// selected (no picture, a free slot).
std::vector<CRect> SelectionSquares(const CPanel& panel, int zoom, int selected) {
    CRect corners[4];
    std::vector<CRect> squares;
    if (selected == render::kSelectPicture) {
        if (!panel.m_image.HasPicture()) {
            return squares;
        }
        panel.m_image.GetCornerHandleRects(zoom, corners);
    } else if (selected >= 0 && selected < kFukiSlots) {
        const CFuki& fuki = panel.m_fuki[static_cast<std::size_t>(selected)];
        if (fuki.m_nOrder < 1 || fuki.m_nOrder > kFukiSlots) {
            return squares;
        }
        fuki.GetCornerHandleRects(zoom, corners);
        squares.push_back(fuki.GetTailHandleRect(zoom));
    } else {
        return squares;
    }
    squares.insert(squares.begin(), std::begin(corners), std::end(corners));
    return squares;
}

void DrawHandles(QPainter& painter, const CPanel& panel, int zoom, int selected, qreal ratio) {
    for (const CRect& square : SelectionSquares(panel, zoom, selected)) {
        painter.fillRect(DenseSquare(square, ratio), Qt::black);
    }
}

std::int32_t Widened(std::int32_t stroke, qreal ratio) {
    const double wide = std::round(static_cast<double>(stroke) * ratio);
    return static_cast<std::int32_t>(std::clamp(wide, double(INT32_MIN), double(INT32_MAX)));
}

// A copy for one drawing (it shares the decoded picture): its balloons' borders widened.
CPanel WidenedCopy(const CPanel& panel, qreal ratio) {
    CPanel dense = panel;
    for (CFuki& fuki : dense.m_fuki) {
        fuki.m_nBorderWidth = Widened(fuki.m_nBorderWidth, ratio);
        fuki.m_nBorderHeight = Widened(fuki.m_nBorderHeight, ratio);
    }
    return dense;
}

} // namespace

int DeviceZoom(int zoom, qreal ratio) {
    return static_cast<int>(std::lround(zoom * ratio));
}

int ToDevicePixels(int logical, qreal ratio) {
    return static_cast<int>(std::lround(logical * ratio));
}

void DrawDenseOverPicture(QPainter& painter, const CPanel& panel, int zoom, int selected,
                          qreal ratio) {
    if (ratio == 1.0) {
        // As the renderer draws them: the picture's squares under the balloons.
        if (selected == render::kSelectPicture && panel.m_image.HasPicture()) {
            CRect corners[4];
            panel.m_image.GetCornerHandleRects(zoom, corners);
            const QRect visible = render::VisibleBounds(painter);
            for (const CRect& square : corners) {
                painter.fillRect(render::HandleSquareWithin(square.left, square.top, visible),
                                 Qt::black);
            }
        }
        for (int slot : FukiInDisplayOrder(panel)) {
            render::DrawFuki(painter, panel.m_fuki[static_cast<std::size_t>(slot)],
                             selected == slot, zoom, 0, 0);
        }
        return;
    }
    const CPanel dense = WidenedCopy(panel, ratio);
    const int deviceZoom = DeviceZoom(zoom, ratio);
    for (int slot : FukiInDisplayOrder(dense)) {
        render::DrawFuki(painter, dense.m_fuki[static_cast<std::size_t>(slot)], false, deviceZoom,
                         0, 0);
    }
    DrawHandles(painter, dense, deviceZoom, selected, ratio);
}

void DrawDensePanel(QPainter& painter, const CPanel& panel, int zoom, int selected, qreal ratio) {
    if (ratio == 1.0) {
        render::DrawPanel(painter, panel, zoom, selected, 0, 0);
        return;
    }
    const CPanel dense = WidenedCopy(panel, ratio);
    const int deviceZoom = DeviceZoom(zoom, ratio);
    render::DrawPanel(painter, dense, deviceZoom, render::kSelectNone, 0, 0);
    // The grab squares go over everything: a press tries them before any balloon under them.
    DrawHandles(painter, dense, deviceZoom, selected, ratio);
}

std::vector<QRect> DenseMarkSquares(const CPanel& panel, int zoom, int selected, qreal ratio,
                                    const QRect& bounds) {
    std::vector<QRect> squares;
    if (ratio == 1.0) {
        // As the renderer fills them.
        const QRect around = bounds.adjusted(-1, -1, 1, 1);
        for (const CRect& square : SelectionSquares(panel, zoom, selected)) {
            squares.push_back(render::HandleSquareWithin(square.left, square.top, around) & bounds);
        }
    } else {
        for (const CRect& square : SelectionSquares(panel, DeviceZoom(zoom, ratio), selected)) {
            squares.push_back(DenseSquare(square, ratio) & bounds);
        }
    }
    std::erase_if(squares, [](const QRect& square) { return square.isEmpty(); });
    return squares;
}
