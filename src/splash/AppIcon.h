#pragma once

#include <QIcon>
#include <QImage>

class QPainter;
class QRectF;

// The program's own picture: a disc with a rainbow sheen on a dark tile. Drawn in code so
// the window icon, the desktop icon and the splash's disc are one and the same design.
class AppIcon
{
public:
    // The icon at the usual window and desktop sizes.
    static QIcon Icon();
    // The icon as a square picture of the given side, transparent around the tile.
    static QImage Image(int side);
    // The disc alone, filling bounds (a circle), with its centre hole left clear.
    static void PaintDisc(QPainter &painter, const QRectF &bounds);
};
