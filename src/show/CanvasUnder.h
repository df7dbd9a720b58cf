#pragma once
// What lay under each layer drawn over a panel's background on the player's canvas, the layer
// drawn last on top: a step back within the panel puts those pixels back instead of drawing
// the layers still shown afresh.
#include <QImage>
#include <QRect>
#include <vector>

class CCanvasUnder {
public:
    void Clear() { m_parts.clear(); }
    // Before a layer is drawn over rc of the canvas: keeps those pixels.
    void Keep(const QImage& canvas, const QRect& rc);
    // The same with those pixels copied already (kept, of rc's size within the canvas).
    void KeepCopied(const QImage& canvas, const QRect& rc, QImage kept);
    // Before a layer is drawn over rc where the canvas is known to be one colour.
    void KeepFill(const QRect& rc, QRgb colour);
    // Puts back what lay under the layer kept last and forgets it; the rectangle changed, or
    // false when nothing is kept or the canvas is not the size it was kept from.
    bool PutBack(QImage& canvas, QRect& changed);
    int Count() const { return static_cast<int>(m_parts.size()); }

private:
    struct SPart {
        QRect rc;
        QImage img; // null: rc was all fill
        QRgb fill = 0;
        QSize canvas;
    };
    std::vector<SPart> m_parts;
};
