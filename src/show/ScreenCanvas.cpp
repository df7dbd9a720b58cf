#include "ScreenCanvas.h"

#include <QPainter>
#include <algorithm>

#include "model/Playback.h"
#include "render/PaintBounds.h"
#include "render/PanelRenderer.h"
#include "render/RenderColor.h"

QImage MakeScreenCanvas(QSize size) {
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    return canvas;
}

void DrawShowLayer(QImage& canvas, const CPlayback& playback, const CShowLayer& layer) {
    if (canvas.isNull()) {
        return;
    }
    const CPanel& panel = playback.m_panel;
    QPainter painter(&canvas);
    switch (layer.m_eKind) {
    case EShowLayer::Background:
        // The whole screen, so that the strips beside the fitted panel show its background too.
        painter.fillRect(canvas.rect(), render::ToQColor(panel.m_crBack));
        break;
    case EShowLayer::Picture:
        render::DrawPicture(painter, panel.m_image, false, playback.m_nZoom, playback.m_nOffsetX,
                            playback.m_nOffsetY);
        break;
    case EShowLayer::Balloon:
        if (layer.m_nSlot >= 0 && layer.m_nSlot < kFukiSlots) {
            render::DrawFuki(painter, panel.m_fuki[static_cast<std::size_t>(layer.m_nSlot)], false,
                             playback.m_nZoom, playback.m_nOffsetX, playback.m_nOffsetY);
        }
        break;
    case EShowLayer::None:
        break;
    }
}

QRect ShowLayerBounds(const QImage& canvas, const CPlayback& playback, const CShowLayer& layer) {
    if (canvas.isNull()) {
        return {};
    }
    const CPanel& panel = playback.m_panel;
    switch (layer.m_eKind) {
    case EShowLayer::Background:
        return canvas.rect();
    case EShowLayer::Picture: {
        if (!panel.m_image.m_bitmap) {
            return {};
        }
        // The body in either order (a mirrored picture has inverted edges), a pixel wider for
        // the smoothing at its edges.
        const CRect body =
            panel.m_image.GetZoomedRect(playback.m_nZoom, playback.m_nOffsetX, playback.m_nOffsetY);
        const qint64 left = std::min(body.left, body.right);
        const qint64 right = std::max(body.left, body.right);
        const qint64 top = std::min(body.top, body.bottom);
        const qint64 bottom = std::max(body.top, body.bottom);
        return render::IntersectEdges(left - 1, top - 1, right + 1, bottom + 1, canvas.rect());
    }
    case EShowLayer::Balloon: {
        if (layer.m_nSlot < 0 || layer.m_nSlot >= kFukiSlots) {
            return {};
        }
        return render::FukiPaintedBounds(
            canvas, panel.m_fuki[static_cast<std::size_t>(layer.m_nSlot)], playback.m_nZoom,
            playback.m_nOffsetX, playback.m_nOffsetY);
    }
    case EShowLayer::None:
        break;
    }
    return {};
}
