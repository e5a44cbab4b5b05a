#pragma once

#include <QRectF>

class QPainter;

namespace lineara {

// Draws the LINEARA emblem (a pedigree bracket on a rounded tile) into the rectangle.
void PaintLogo(QPainter& painter, const QRectF& area);

}  // namespace lineara
