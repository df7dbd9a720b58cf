#include "ScreenCanvas.h"

#include <QPainter>

#include "model/Playback.h"
#include "render/DecodedPicture.h"
#include "render/JpegScaledDecoder.h"
#include "render/PaintBounds.h"
#include "render/PanelRenderer.h"
#include "render/PicturePlacement.h"
#include "render/PicturePreparation.h"
#include "render/RenderColor.h"

namespace {

// The step to stretch over the body: the one decoded for the body's size when it is smaller
// than the body (decoded here if need be); null where the picture is drawn the usual way.
QImage StepToStretch(const render::CQtDecodedPicture& picture,
                     const render::SPicturePlacement& body) {
    if (body.nWidth <= 0 || body.nHeight <= 0 || body.nWidth > picture.Width() ||
        body.nHeight > picture.Height()) {
        return {};
    }
    const QImage step = picture.PixelsCovering(QSize(int(body.nWidth), int(body.nHeight)));
    if (step.isNull() || (step.width() >= body.nWidth && step.height() >= body.nHeight)) {
        return {};
    }
    return step;
}

} // namespace

void DrawScreenPicture(QPainter& painter, const CPanelImage& image, int zoom, int dx, int dy) {
    const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(image.m_bitmap.get());
    const render::SPicturePlacement body =
        render::PicturePlacementOf(image.GetZoomedRect(zoom, dx, dy));
    const QImage step = picture ? StepToStretch(*picture, body) : QImage();
    if (step.isNull()) {
        render::DrawPicture(painter, image, false, zoom, dx, dy);
        return;
    }
    painter.save();
    render::MirrorAboutBody(painter, body);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(
        QRectF(double(body.nLeft), double(body.nTop), double(body.nWidth), double(body.nHeight)),
        step);
    painter.restore();
}

bool PrepareScreenPicture(const CPanelImage& image, int zoom) {
    const auto* picture = dynamic_cast<const render::CQtDecodedPicture*>(image.m_bitmap.get());
    if (picture &&
        !StepToStretch(*picture, render::PicturePlacementOf(image.GetZoomedRect(zoom, 0, 0)))
             .isNull()) {
        return picture->CheckDecodes(); // the step is all the drawing needs
    }
    return render::PreparePicture(image, zoom);
}

QImage MakeScreenCanvas(QSize size) {
    QImage canvas = render::NewLargeImage(size);
    if (!canvas.isNull()) {
        canvas.fill(Qt::black);
    }
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
        DrawScreenPicture(painter, panel.m_image, playback.m_nZoom, playback.m_nOffsetX,
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
        const render::SPicturePlacement body =
            render::PicturePlacementOf(panel.m_image.GetZoomedRect(
                playback.m_nZoom, playback.m_nOffsetX, playback.m_nOffsetY));
        return render::IntersectEdges(body.nLeft - 1, body.nTop - 1, body.nLeft + body.nWidth + 1,
                                      body.nTop + body.nHeight + 1, canvas.rect());
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
