#include "PanelPage.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "model/Panel.h"
#include "render/PanelRenderer.h"

namespace exporting {

namespace {
// The zoom the panel is drawn at before the page transform scales it; large zooms only cost
// memory for the picture's scaled copy, so they are bounded.
constexpr double kMaxDrawZoom = 1000.0;
} // namespace

QRectF FitPanelOnPage(double width, double height, double areaWidth, double areaHeight) {
    if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0) {
        return {};
    }
    const double fit = std::min({1.0, areaWidth / width, areaHeight / height});
    const double w = width * fit;
    const double h = height * fit;
    return {(areaWidth - w) / 2.0, (areaHeight - h) / 2.0, w, h};
}

namespace {

struct SPagePlace {
    QRectF rcPlace; // the panel on the page
    double dFit = 0;
    int nZoom = 0;
};

SPagePlace PlaceOnPage(const CPanel& panel, const QRectF& area, int pictureDpi) {
    // The view shows the panel from the origin to its overall rectangle's right and bottom.
    const double width = panel.m_rcTotal.right;
    const double height = panel.m_rcTotal.bottom;
    SPagePlace place;
    place.rcPlace = FitPanelOnPage(width, height, area.width(), area.height());
    if (place.rcPlace.isEmpty()) {
        return place;
    }
    place.dFit = place.rcPlace.width() / width;
    // Draw at the zoom that gives the picture pictureDpi on the page, then scale the whole
    // drawing, text and all, down onto the page.
    const double wanted = place.dFit * 100.0 * pictureDpi / kPageDpi;
    place.nZoom = static_cast<int>(std::clamp(std::round(wanted), 1.0, kMaxDrawZoom));
    return place;
}

} // namespace

int PanelPageZoom(const CPanel& panel, const QRectF& area, int pictureDpi) {
    return PlaceOnPage(panel, area, pictureDpi).nZoom;
}

void DrawPanelOnPage(QPainter& painter, const CPanel& panel, const QRectF& area, int pictureDpi) {
    const double width = panel.m_rcTotal.right;
    const double height = panel.m_rcTotal.bottom;
    const SPagePlace page = PlaceOnPage(panel, area, pictureDpi);
    if (page.nZoom == 0) {
        return;
    }
    const QRectF& place = page.rcPlace;
    const int zoom = page.nZoom;
    const double scale = page.dFit * 100.0 / zoom;
    painter.save();
    painter.translate(area.topLeft() + place.topLeft());
    painter.scale(scale, scale);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setClipRect(QRectF(0, 0, width * zoom / 100.0, height * zoom / 100.0));
    render::DrawPanel(painter, panel, zoom, render::kSelectNone);
    painter.restore();
}

bool PaintPanelPage(QPagedPaintDevice& device, const CPanel& panel, int pictureDpi) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return false;
    }
    DrawPanelOnPage(painter, panel, QRectF(0, 0, device.width(), device.height()), pictureDpi);
    return painter.end();
}

} // namespace exporting
