#include "FukiTextPlan.h"

#include <algorithm>

#include "FukiFont.h"
#include "model/Fuki.h"
#include "model/FukiStyle.h"
#include "model/TextCodec.h"

namespace render {

namespace {

constexpr int kScreenDpi = 96;

int ClampToInt(qreal value) {
    return static_cast<int>(std::clamp<qreal>(value, -(1 << 30), 1 << 30));
}

} // namespace

QString FukiLayoutText(const std::string& cp932) {
    QString text = QString::fromStdString(Cp932ToUtf8(cp932));
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(QLatin1Char('\r'), QChar::LineSeparator);
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return text;
}

CRect ZoomedTextRect(const CFuki& fuki, int zoom, int dx, int dy) {
    CRect rt = fuki.m_rcBody;
    rt.left = WrapAdd(rt.left, fuki.m_nCornerWidth);
    rt.right = WrapSub(rt.right, fuki.m_nCornerWidth);
    rt.top = WrapAdd(rt.top, fuki.m_nCornerHeight);
    rt.bottom = WrapSub(rt.bottom, fuki.m_nCornerHeight);
    CLayerItem::ZoomRect(zoom, rt, dx, dy);
    return rt;
}

SFukiTextPlan PlanFukiText(const CFuki& fuki, int zoom, int dx, int dy, int dpiY) {
    SFukiTextPlan plan;
    const SFukiStyle style = GetFukiStyle(fuki);
    plan.m_bVertical = style.m_bVertical;
    const CRect rt = ZoomedTextRect(fuki, zoom, dx, dy);
    plan.m_rcText = QRectF(QPointF(rt.left, rt.top), QPointF(rt.right, rt.bottom));
    if (style.m_bOutline && style.m_nOutlineWidth > 0) {
        plan.m_dOutline = std::max<qreal>(0.5, style.m_nOutlineWidth * zoom / 100.0);
    }
    const int basePixels = FukiFontPixelSize(fuki.m_nFontSize, zoom, dpiY);
    if (fuki.m_strText.empty() || basePixels == 0) {
        return plan;
    }
    // The room inside the rectangle, less the outline on both sides.
    const qreal inset = plan.m_dOutline;
    const qreal width = plan.m_rcText.width() - 2 * inset;
    const qreal height = plan.m_rcText.height() - 2 * inset;
    plan.m_ptAnchor = style.m_bVertical ? QPointF(rt.right - inset, rt.top + inset)
                                        : QPointF(rt.left + inset, rt.top + inset);

    SFukiTextRequest request;
    request.m_strText = FukiLayoutText(fuki.m_strText);
    request.m_strFace = ResolveFukiFace(fuki.m_strFontFace);
    request.m_bVertical = style.m_bVertical;
    request.m_nLineLength = ClampToInt(style.m_bVertical ? height : width);
    auto layoutAt = [&request](int pixels) {
        request.m_nPixelSize = pixels;
        return LayOutFukiText(request);
    };
    auto fits = [&](const SFukiTextLayout& layout) {
        const QSizeF size = layout.m_rcExtent.size();
        return style.m_bVertical ? size.width() <= width && layout.m_dLongestLine <= height
                                 : size.height() <= height && layout.m_dLongestLine <= width;
    };

    plan.m_layout = layoutAt(basePixels);
    plan.m_bFits = fits(*plan.m_layout);
    if (!style.m_bFit || plan.m_bFits) {
        return plan;
    }
    // The largest size from 6 pt up that fits; 6 pt when none does.
    const int minPixels = std::max(1, FukiFontPixelSize(kMinFitFontSize, zoom, dpiY));
    if (minPixels >= basePixels) {
        return plan;
    }
    int low = minPixels; // the smallest not yet known not to fit
    int high = basePixels - 1;
    int best = 0;
    while (low <= high) {
        const int mid = low + (high - low) / 2;
        if (fits(*layoutAt(mid))) {
            best = mid;
            low = mid + 1;
        } else {
            high = mid - 1;
        }
    }
    plan.m_layout = layoutAt(best > 0 ? best : minPixels);
    plan.m_bFits = best > 0;
    return plan;
}

bool FukiTextFits(const CFuki& fuki) {
    return PlanFukiText(fuki, 100, 0, 0, kScreenDpi).m_bFits;
}

} // namespace render
