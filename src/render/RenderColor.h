#pragma once
// Stored colours (0x00BBGGRR, red in the low byte) as Qt colours.
#include <QColor>

#include "model/Types.h"

namespace render {

inline QColor ToQColor(COLORREF color) {
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

} // namespace render
