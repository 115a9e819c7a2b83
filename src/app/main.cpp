#include "Application.h"

#include "CatalogueFolder.h"
#include "CommandLine.h"
#include "GuardedApplication.h"
#include "ProgramEnd.h"

#include <cstdio>

namespace {

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Prints what the command line asks for; false when the program is to start.
bool answered(const CommandLine::Request &request, int *status)
{
    if (request.action == CommandLine::Action::Run)
        return false;
    const bool refused = request.action == CommandLine::Action::Refuse;
    std::fputs(qPrintable(request.text), refused ? stderr : stdout);
    *status = refused ? 2 : 0;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Reelvane"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(REELVANE_VERSION_MAJOR)
                                            .arg(REELVANE_VERSION_MINOR)
                                            .arg(REELVANE_VERSION_PATCH));
    int status = 0;
    // Answered before a display is needed.
    const CommandLine::Request request = CommandLine::Parse(argumentsOf(argc, argv));
    if (answered(request, &status))
        return status;

    GuardedApplication app(argc, argv);
    // Lets the desktop match the windows to the installed reelvane.desktop entry.
    QApplication::setDesktopFileName(QStringLiteral("reelvane"));

    const CatalogueFolder::Choice where =
        CatalogueFolder::Choose(CatalogueFolder::ForThisProcess(request.catalogueFolder));
    if (!where.error.isEmpty()) {
        ProgramEnd::Report(where.error);
        return 1;
    }
    return Application::Run(where.folder);
}
