#include "CanvasUnder.h"

#include <QPainter>
#include <cstring>

void CCanvasUnder::Keep(const QImage& canvas, const QRect& rc) {
    const QRect part = rc & canvas.rect();
    m_parts.push_back({part, part.isEmpty() ? QImage() : canvas.copy(part), 0, canvas.size()});
}

void CCanvasUnder::KeepCopied(const QImage& canvas, const QRect& rc, QImage kept) {
    m_parts.push_back({rc & canvas.rect(), std::move(kept), 0, canvas.size()});
}

void CCanvasUnder::KeepFill(const QRect& rc, QRgb colour) {
    m_parts.push_back({rc, QImage(), colour, QSize()});
}

bool CCanvasUnder::PutBack(QImage& canvas, QRect& changed) {
    if (m_parts.empty()) {
        return false;
    }
    const SPart part = std::move(m_parts.back());
    m_parts.pop_back();
    changed = part.rc & canvas.rect();
    if (part.img.isNull()) {
        if (!changed.isEmpty()) {
            QPainter painter(&canvas);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.fillRect(changed, QColor::fromRgb(part.fill));
        }
        return true;
    }
    if (part.canvas != canvas.size() || part.img.format() != canvas.format() ||
        part.img.size() != changed.size()) {
        return false;
    }
    // Row by row: both are the canvas's own format, so no conversion is needed.
    const int depth = canvas.depth() / 8;
    const std::size_t bytes = std::size_t(changed.width()) * std::size_t(depth);
    for (int y = 0; y < changed.height(); ++y) {
        std::memcpy(canvas.scanLine(changed.top() + y) + std::size_t(changed.left()) * depth,
                    part.img.constScanLine(y), bytes);
    }
    return true;
}
