// Prepares a program folder with N generated titles for the benchmarks.
#include "CatalogueGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool ok = args.size() == 3;
    const int titles = ok ? args.at(2).toInt(&ok) : 0;
    if (!ok || titles < 0) {
        std::fprintf(stderr, "usage: make_catalogue <empty program folder> <number of titles>\n");
        return 2;
    }
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!CatalogueGenerator().Generate(args.at(1), titles, &error)) {
        std::fprintf(stderr, "make_catalogue: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("%d titles in %s (%.1f s)\n", titles, qPrintable(args.at(1)),
                timer.elapsed() / 1000.0);
    return 0;
}
