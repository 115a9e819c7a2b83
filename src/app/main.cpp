#include "Application.h"

#include "GuardedApplication.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(REELVANE_VERSION_MAJOR)
                                            .arg(REELVANE_VERSION_MINOR)
                                            .arg(REELVANE_VERSION_PATCH));
    return Application::Run(QApplication::applicationDirPath());
}
