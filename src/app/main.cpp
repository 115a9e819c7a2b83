#include "Application.h"

#include "CatalogueFolder.h"
#include "CatalogueBackup.h"
#include "CommandLine.h"
#include "DbError.h"
#include "GuardedApplication.h"
#include "Module1.h"
#include "ProgramEnd.h"
#include "TitleExport.h"

#include <QCoreApplication>
#include <QDateTime>

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
    if (request.action == CommandLine::Action::Run || request.action == CommandLine::Action::Export
        || request.action == CommandLine::Action::Backup)
        return false;
    const bool refused = request.action == CommandLine::Action::Refuse;
    std::fputs(qPrintable(request.text), refused ? stderr : stdout);
    *status = refused ? 2 : 0;
    return true;
}

// --export and --backup: the same work as the File menu's, without a window; what it did or
// why it could not on the standard output or error.
int withoutWindows(const CommandLine::Request &request, const QString &folder)
{
    Module1 shared(folder);
    try {
        shared.InitializeDatabasePath();
        if (request.action == CommandLine::Action::Export) {
            const TitleExport::Result result =
                TitleExport::ToFile(request.path, shared.ConnectionString);
            if (result.outcome != TitleExport::Outcome::Exported) {
                std::fprintf(stderr, "Reelvane: the titles could not be exported to %s: %s\n",
                             qPrintable(request.path), qPrintable(result.error));
                return 1;
            }
            std::printf("%lld titles were exported to %s.\n", qlonglong(result.titles),
                        qPrintable(request.path));
            return 0;
        }
        const CatalogueBackup::Result result = CatalogueBackup::Make(
            folder, shared.ConnectionString, request.path, QDateTime::currentDateTime(),
            [](qint64, qint64) { return true; });
        std::printf("The catalogue was backed up to %s.\n", qPrintable(result.folder));
        return 0;
    } catch (const DbError &error) {
        std::fprintf(stderr, "Reelvane: %s\n", qPrintable(error.Description()));
    } catch (const CatalogueBackup::Failure &failure) {
        std::fprintf(stderr, "Reelvane: no backup was made: %s\n", qPrintable(failure.Message()));
    }
    return 1;
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

    if (request.action != CommandLine::Action::Run) {
        QCoreApplication app(argc, argv);
        const CatalogueFolder::Choice where =
            CatalogueFolder::Choose(CatalogueFolder::ForThisProcess(request.catalogueFolder));
        if (!where.error.isEmpty()) {
            std::fprintf(stderr, "Reelvane: %s\n", qPrintable(where.error));
            return 1;
        }
        return withoutWindows(request, where.folder);
    }

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
