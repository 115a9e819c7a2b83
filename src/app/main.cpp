#include "Application.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(REELVANE_VERSION_MAJOR)
                                            .arg(REELVANE_VERSION_MINOR)
                                            .arg(REELVANE_VERSION_PATCH));
    return Application::Run(QApplication::applicationDirPath());
}
