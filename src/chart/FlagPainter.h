#pragma once

#include <QRectF>

class QPainter;

namespace lineara {

// The two small flags that tell which title style the chart uses, drawn as vector shapes so
// they stay crisp at any screen scale.
void PaintAmericanFlag(QPainter& painter, const QRectF& area);
void PaintCanadianFlag(QPainter& painter, const QRectF& area);

}  // namespace lineara
