#pragma once
// Where and at which size a balloon's text is drawn: its text rectangle at a zoom, the size
// fitting chooses when the balloon asks for it, and whether the text fits.
#include <QRectF>
#include <memory>
#include <string>

#include "FukiTextLayout.h"
#include "model/Types.h"

class CFuki;

namespace render {

struct SFukiTextPlan {
    std::shared_ptr<const SFukiTextLayout> m_layout; // null: nothing to draw
    QRectF m_rcText;                                 // the text rectangle, zoomed and moved
    QPointF m_ptAnchor;                              // where the layout's origin is drawn
    qreal m_dOutline = 0;                            // outline width in pixels, 0 for none
    bool m_bVertical = false;
    bool m_bFits = true; // the text's cells lie inside the text rectangle
};

// The balloon's text rectangle (its body less the corners) zoomed and moved by the device
// offset; inverted when the corners leave no room, and then used as it stands.
CRect ZoomedTextRect(const CFuki& fuki, int zoom, int dx, int dy);

// Stored text with its line breaks (CR LF, or a lone CR or LF) as line separators.
QString FukiLayoutText(const std::string& cp932);

// The text of a balloon drawn with its writing choices at a zoom and device offset on a device
// of the given vertical dpi. The size is the balloon's own, or with fitting the largest down to
// 6 pt whose text lies inside the text rectangle (less the outline).
SFukiTextPlan PlanFukiText(const CFuki& fuki, int zoom, int dx, int dy, int dpiY);

// Whether the balloon's text fits its text rectangle as the editor shows it at zoom 100.
bool FukiTextFits(const CFuki& fuki);

} // namespace render
