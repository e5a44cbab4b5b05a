#include "chart/FlagPainter.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace lineara {

namespace {

const QColor kOldGloryRed(0xB2, 0x22, 0x34);
const QColor kOldGloryBlue(0x3C, 0x3B, 0x6E);
const QColor kCanadaRed(0xD5, 0x2B, 0x1E);

// A five-pointed star centred on `centre` with outer radius `radius`.
QPainterPath Star(QPointF centre, qreal radius) {
    QPainterPath path;
    for (int i = 0; i < 10; ++i) {
        const qreal r = (i % 2 == 0) ? radius : radius * 0.382;
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(centre.x() + r * std::cos(angle), centre.y() + r * std::sin(angle));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    path.closeSubpath();
    return path;
}

// A stylised eleven-point maple leaf in a unit box (0..1 both ways), stem at the bottom.
QPainterPath MapleLeaf() {
    static const QPointF points[] = {
        {0.500, 0.000}, {0.405, 0.185}, {0.325, 0.140}, {0.355, 0.440}, {0.215, 0.290},
        {0.180, 0.365}, {0.040, 0.335}, {0.090, 0.500}, {0.030, 0.540}, {0.280, 0.745},
        {0.250, 0.820}, {0.480, 0.790}, {0.485, 1.000}, {0.515, 1.000}, {0.520, 0.790},
        {0.750, 0.820}, {0.720, 0.745}, {0.970, 0.540}, {0.910, 0.500}, {0.960, 0.335},
        {0.820, 0.365}, {0.785, 0.290}, {0.645, 0.440}, {0.675, 0.140}, {0.595, 0.185},
    };
    QPainterPath path;
    path.moveTo(points[0]);
    for (const QPointF& point : points) {
        path.lineTo(point);
    }
    path.closeSubpath();
    return path;
}

void Outline(QPainter& painter, const QRectF& area) {
    painter.setPen(QPen(QColor(0x80, 0x80, 0x80), 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
}

}  // namespace

void PaintAmericanFlag(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.fillRect(area, Qt::white);
    const qreal stripe = area.height() / 13.0;
    for (int i = 0; i < 13; i += 2) {
        painter.fillRect(QRectF(area.left(), area.top() + i * stripe, area.width(), stripe), kOldGloryRed);
    }
    const QRectF canton(area.left(), area.top(), area.width() * 0.4, stripe * 7);
    painter.fillRect(canton, kOldGloryBlue);
    // Rows of stars, fewer than the real fifty: at this size fifty would only blur together.
    painter.setBrush(Qt::white);
    const int rows = 4;
    const int columns = 5;
    const qreal radius = std::min(canton.width() / columns, canton.height() / rows) * 0.36;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            const QPointF centre(canton.left() + (column + 0.5) * canton.width() / columns,
                                 canton.top() + (row + 0.5) * canton.height() / rows);
            painter.drawPath(Star(centre, radius));
        }
    }
    Outline(painter, area);
    painter.restore();
}

void PaintCanadianFlag(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.fillRect(area, Qt::white);
    const qreal bar = area.width() / 4.0;
    painter.fillRect(QRectF(area.left(), area.top(), bar, area.height()), kCanadaRed);
    painter.fillRect(QRectF(area.right() - bar, area.top(), bar, area.height()), kCanadaRed);
    const qreal leaf = std::min(bar * 2, area.height()) * 0.8;
    const QRectF box(area.center().x() - leaf / 2, area.center().y() - leaf / 2, leaf, leaf);
    QTransform place;
    place.translate(box.left(), box.top());
    place.scale(box.width(), box.height());
    painter.setBrush(kCanadaRed);
    painter.drawPath(place.map(MapleLeaf()));
    Outline(painter, area);
    painter.restore();
}

}  // namespace lineara
