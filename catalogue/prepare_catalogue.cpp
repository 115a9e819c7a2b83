// Build step: prepares the program folder given as the only argument.
#include "CataloguePreparer.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: prepare_catalogue <program folder>\n");
        return 2;
    }
    QString error;
    if (!CataloguePreparer::Prepare(args.at(1), &error)) {
        std::fprintf(stderr, "prepare_catalogue: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
