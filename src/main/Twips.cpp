#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double twipsPerPixel()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return 1440.0 / (dpi > 0 ? dpi : 96.0);
}
} // namespace

int Twips::FromPixels(int pixels)
{
    return int(std::lround(pixels * twipsPerPixel()));
}

int Twips::ToPixels(int twips)
{
    return int(std::lround(twips / twipsPerPixel()));
}
