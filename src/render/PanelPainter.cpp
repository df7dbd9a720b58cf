// A whole panel: the background over the zoomed overall rectangle, the picture, then the
// balloons in the model's display order (1 backmost), as the editor, printing, the player and
// export all show it.
#include <QPainter>

#include "PaintBounds.h"
#include "PanelRenderer.h"
#include "RenderColor.h"
#include "model/PanelLayers.h"

namespace render {

void DrawPanel(QPainter& painter, const CPanel& panel, int zoom, int selected, int dx, int dy) {
    CRect total = panel.m_rcTotal;
    CLayerItem::ZoomRect(zoom, total, dx, dy);
    const QRect back =
        IntersectEdges(total.left, total.top, total.right, total.bottom, VisibleBounds(painter));
    if (!back.isEmpty()) {
        painter.fillRect(back, ToQColor(panel.m_crBack));
    }
    DrawPicture(painter, panel.m_image, selected == kSelectPicture, zoom, dx, dy);
    for (int slot : FukiInDisplayOrder(panel)) {
        DrawFuki(painter, panel.m_fuki[static_cast<std::size_t>(slot)], selected == slot, zoom, dx,
                 dy);
    }
}

} // namespace render
