#include "DrawnIcons.h"

#include <QPainter>
#include <functional>

namespace DrawnIcons {

namespace {

QIcon drawnIcon(const QColor &colour, const std::function<void(QPainter &)> &symbol)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(3, 3, 42, 42), 9, 9);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    symbol(painter);
    return QIcon(pixmap);
}

} // namespace

QIcon Add()
{
    return drawnIcon(QColor(0x2e, 0x8b, 0x57), [](QPainter &p) {
        p.drawLine(24, 13, 24, 35);
        p.drawLine(13, 24, 35, 24);
    });
}

QIcon Modify()
{
    return drawnIcon(QColor(0x2f, 0x6f, 0xb3), [](QPainter &p) {
        p.drawLine(15, 33, 31, 17);
        p.setPen(QPen(Qt::white, 3));
        p.drawLine(13, 36, 19, 36);
        p.drawLine(31, 13, 35, 17);
    });
}

QIcon Remove()
{
    return drawnIcon(QColor(0xb8, 0x3b, 0x3b), [](QPainter &p) {
        p.drawLine(15, 15, 33, 33);
        p.drawLine(33, 15, 15, 33);
    });
}

QIcon About()
{
    return drawnIcon(QColor(0x6a, 0x5a, 0xcd), [](QPainter &p) {
        p.drawPoint(24, 14);
        p.drawLine(24, 22, 24, 35);
    });
}

QIcon Close()
{
    return drawnIcon(QColor(0x55, 0x5f, 0x6d), [](QPainter &p) {
        p.drawRect(QRectF(13, 12, 14, 24));
        p.drawLine(22, 24, 36, 24);
        p.drawLine(31, 19, 36, 24);
        p.drawLine(31, 29, 36, 24);
    });
}

// A clipboard with two columns of lines: text pasted in two columns becomes the cast.
QIcon MultiPaste()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x6b, 0x4f, 0x2a), 1.5));
    painter.setBrush(QColor(0xc8, 0x9b, 0x5e));
    painter.drawRoundedRect(QRectF(5, 4, 22, 26), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(8, 9, 16, 18));
    painter.setBrush(QColor(0x70, 0x70, 0x70));
    painter.drawRoundedRect(QRectF(11, 2, 10, 5), 1.5, 1.5);
    painter.setPen(QPen(QColor(0x2f, 0x6f, 0xb3), 1.6));
    for (int y = 13; y <= 24; y += 4) {
        painter.drawLine(QPointF(10, y), QPointF(15, y));
        painter.drawLine(QPointF(17, y), QPointF(22, y));
    }
    return QIcon(pixmap);
}

QPixmap LeftArrow()
{
    QPixmap pixmap(28, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2f, 0x6f, 0xb3));
    const QPointF arrow[] = {{1, 10}, {12, 1}, {12, 6}, {27, 6}, {27, 14}, {12, 14}, {12, 19}};
    painter.drawPolygon(arrow, 7);
    return pixmap;
}

QIcon ManageGenres()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2f, 0x6f, 0xb3));
    painter.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int y : {10, 16, 22})
        painter.drawLine(8, y, 17, y);
    painter.setPen(QPen(QColor(0xf5, 0xc2, 0x42), 3.5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(20, 25, 26, 11);
    return QIcon(pixmap);
}

} // namespace DrawnIcons
