#pragma once

#include <QFontMetrics>
#include <QString>

// Positions and sizes are kept in twips: 1440 per inch, 15 per pixel at 96 dpi.
class Twips
{
public:
    static int FromPixels(int pixels);
    static int ToPixels(int twips);
};
