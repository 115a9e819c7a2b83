#include "AppIcon.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

QPainterPath ring(const QPointF &centre, qreal outer, qreal inner)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addEllipse(centre, outer, outer);
    path.addEllipse(centre, inner, inner);
    return path;
}

} // namespace

void AppIcon::PaintDisc(QPainter &painter, const QRectF &bounds)
{
    const QPointF c = bounds.center();
    const qreal r = qMin(bounds.width(), bounds.height()) / 2.0;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    // The silver body with the hole cut out.
    const QPainterPath body = ring(c, r, r * 0.16);
    QRadialGradient silver(c, r);
    silver.setColorAt(0.0, QColor(0xf4, 0xf6, 0xfa));
    silver.setColorAt(0.7, QColor(0xcf, 0xd5, 0xdf));
    silver.setColorAt(1.0, QColor(0xa9, 0xb2, 0xc2));
    painter.setBrush(silver);
    painter.drawPath(body);

    // The rainbow sheen of the data side, strongest along one diagonal.
    QConicalGradient sheen(c, 35);
    const QColor sheenColours[] = {QColor(255, 92, 120, 150), QColor(255, 206, 84, 120),
                                   QColor(120, 230, 160, 130), QColor(84, 170, 255, 150),
                                   QColor(176, 120, 255, 140)};
    const int steps = int(std::size(sheenColours));
    for (int i = 0; i <= 2 * steps; ++i)
        sheen.setColorAt(qreal(i) / (2 * steps), sheenColours[i % steps]);
    painter.setBrush(sheen);
    painter.drawPath(ring(c, r * 0.97, r * 0.36));

    // The clear hub and its rim.
    painter.setBrush(QColor(255, 255, 255, 110));
    painter.drawPath(ring(c, r * 0.36, r * 0.16));
    painter.setBrush(QColor(0x8a, 0x94, 0xa6, 170));
    painter.drawPath(ring(c, r * 0.25, r * 0.16));

    // A light catch across the top left, and a fine edge.
    QLinearGradient gloss(bounds.topLeft(), bounds.bottomRight());
    gloss.setColorAt(0.0, QColor(255, 255, 255, 120));
    gloss.setColorAt(0.45, QColor(255, 255, 255, 0));
    painter.setBrush(gloss);
    painter.drawPath(body);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0x5b, 0x66, 0x7a), qMax<qreal>(1.0, r / 40.0)));
    painter.drawEllipse(c, r, r);
    painter.restore();
}

QImage AppIcon::Image(int side)
{
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QRectF tile(side * 0.04, side * 0.04, side * 0.92, side * 0.92);
    QLinearGradient night(tile.topLeft(), tile.bottomRight());
    night.setColorAt(0.0, QColor(0x1f, 0x2f, 0x5c));
    night.setColorAt(1.0, QColor(0x3a, 0x1f, 0x55));
    painter.setPen(Qt::NoPen);
    painter.setBrush(night);
    painter.drawRoundedRect(tile, side * 0.2, side * 0.2);

    const qreal inset = side * 0.15;
    PaintDisc(painter, QRectF(inset, inset, side - 2 * inset, side - 2 * inset));
    return image;
}

QIcon AppIcon::Icon()
{
    QIcon icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(Image(side)));
    return icon;
}
