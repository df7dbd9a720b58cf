#include "FukiPreview.h"

#include <QPainter>
#include <algorithm>

#include "render/PanelRenderer.h"

namespace {

constexpr int kMargin = 4;

// The balloon's body and tail tip, in panel pixels, computed wide.
struct SExtent {
    qint64 left, top, right, bottom;
};

SExtent BalloonExtent(const CFuki& fuki) {
    const CRect& body = fuki.m_rcBody;
    SExtent e{std::min(body.left, body.right), std::min(body.top, body.bottom),
              std::max(body.left, body.right), std::max(body.top, body.bottom)};
    e.left = std::min<qint64>(e.left, fuki.m_ptTail.x);
    e.top = std::min<qint64>(e.top, fuki.m_ptTail.y);
    e.right = std::max<qint64>(e.right, fuki.m_ptTail.x);
    e.bottom = std::max<qint64>(e.bottom, fuki.m_ptTail.y);
    return e;
}

} // namespace

CFukiPreview::CFukiPreview(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("preview"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CFukiPreview::SetFuki(const CFuki& fuki) {
    m_fuki.CopyFrom(fuki);
    update();
}

QSize CFukiPreview::sizeHint() const {
    return {240, 200};
}

int CFukiPreview::Zoom() const {
    const SExtent e = BalloonExtent(m_fuki);
    const qint64 w = std::max<qint64>(1, e.right - e.left);
    const qint64 h = std::max<qint64>(1, e.bottom - e.top);
    const qint64 zoomW = qint64(width() - 2 * kMargin) * 100 / w;
    const qint64 zoomH = qint64(height() - 2 * kMargin) * 100 / h;
    return static_cast<int>(std::clamp<qint64>(std::min(zoomW, zoomH), 1, 100));
}

void CFukiPreview::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    const int zoom = Zoom();
    const SExtent e = BalloonExtent(m_fuki);
    // Centred: the extent's zoomed size and its zoomed top-left corner.
    const qint64 w = (e.right - e.left) * zoom / 100;
    const qint64 h = (e.bottom - e.top) * zoom / 100;
    const qint64 dx = (width() - w) / 2 - e.left * zoom / 100;
    const qint64 dy = (height() - h) / 2 - e.top * zoom / 100;
    const auto clampOffset = [](qint64 v) {
        return static_cast<int>(std::clamp<qint64>(v, -(1 << 30), 1 << 30));
    };
    render::DrawFuki(painter, m_fuki, false, zoom, clampOffset(dx), clampOffset(dy));
}
