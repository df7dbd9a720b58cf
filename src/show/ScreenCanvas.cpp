#include "ScreenCanvas.h"

#include <QPainter>

#include "model/Playback.h"
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
