#include "Application.h"

#include "GuardedApplication.h"

int main(int argc, char *argv[])
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Reelvane"));
    // Lets the desktop match the windows to the installed reelvane.desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("reelvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(REELVANE_VERSION_MAJOR)
                                            .arg(REELVANE_VERSION_MINOR)
                                            .arg(REELVANE_VERSION_PATCH));
    return Application::Run(QApplication::applicationDirPath());
}
