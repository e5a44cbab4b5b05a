#include "app/Logo.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace lineara {

void PaintLogo(QPainter& painter, const QRectF& area) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = qMin(area.width(), area.height());
    const QRectF tile(area.center().x() - side / 2, area.center().y() - side / 2, side, side);

    QLinearGradient background(tile.topLeft(), tile.bottomRight());
    background.setColorAt(0.0, QColor(0x1f, 0x4e, 0x79));
    background.setColorAt(1.0, QColor(0x12, 0x2b, 0x45));
    painter.setPen(Qt::NoPen);
    painter.setBrush(background);
    painter.drawRoundedRect(tile, side * 0.18, side * 0.18);

    // A three-generation bracket: the root on the left, two parents, four grandparents.
    const qreal u = side / 10.0;
    const QPointF root(tile.left() + 2.0 * u, tile.center().y());
    const qreal parent_x = tile.left() + 4.6 * u;
    const qreal grand_x = tile.left() + 7.2 * u;
    const qreal parent_dy = 2.2 * u;
    const qreal grand_dy = 1.1 * u;

    QPen line(QColor(0xf4, 0xe9, 0xd0), u * 0.38, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(line);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path;
    for (int sign : {-1, 1}) {
        const QPointF parent(parent_x, root.y() + sign * parent_dy);
        path.moveTo(root);
        path.lineTo(root.x() + 1.2 * u, root.y());
        path.lineTo(root.x() + 1.2 * u, parent.y());
        path.lineTo(parent);
        for (int inner : {-1, 1}) {
            const QPointF grand(grand_x, parent.y() + inner * grand_dy);
            path.moveTo(parent);
            path.lineTo(parent.x() + 1.2 * u, parent.y());
            path.lineTo(parent.x() + 1.2 * u, grand.y());
            path.lineTo(grand);
        }
    }
    painter.drawPath(path);

    // Gold nodes; the root is the largest.
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xe0, 0xa9, 0x3b));
    painter.drawEllipse(root, 0.75 * u, 0.75 * u);
    painter.setBrush(QColor(0xf4, 0xe9, 0xd0));
    for (int sign : {-1, 1}) {
        painter.drawEllipse(QPointF(parent_x, root.y() + sign * parent_dy), 0.5 * u, 0.5 * u);
        for (int inner : {-1, 1}) {
            painter.drawEllipse(QPointF(grand_x + 0.4 * u, root.y() + sign * parent_dy + inner * grand_dy),
                                0.38 * u, 0.38 * u);
        }
    }
    painter.restore();
}

}  // namespace lineara
