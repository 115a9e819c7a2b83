// Build step: writes the program's icon into a freedesktop icon tree, one PNG per size:
// <folder>/<n>x<n>/apps/reelvane.png.
#include "AppIcon.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: write_icon <icon folder>\n");
        return 2;
    }
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args.at(1)).arg(side);
        const QString file = folder + QStringLiteral("/reelvane.png");
        if (!QDir().mkpath(folder) || !AppIcon::Image(side).save(file, "PNG")) {
            std::fprintf(stderr, "write_icon: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
