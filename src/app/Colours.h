#pragma once

#include <QColor>

namespace lineara {

// Colours are kept as 0x00BBGGRR values (red in the low byte).
inline QColor ColourFromBgr(qint32 bgr) {
    return QColor(bgr & 0xff, (bgr >> 8) & 0xff, (bgr >> 16) & 0xff);
}

inline qint32 BgrFromColour(const QColor& colour) {
    return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

}  // namespace lineara
