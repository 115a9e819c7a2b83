#include "CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine::Request CommandLine::Parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A catalogue of a DVD collection. The catalogue is kept beside the "
                       "program when that folder holds one and can be written, otherwise "
                       "in $XDG_DATA_HOME/reelvane (~/.local/share/reelvane)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption catalogueFolder(
        QStringLiteral("catalogue-folder"),
        QStringLiteral("Use the catalogue (dvd_collection.mdb) and images/ in <folder>."),
        QStringLiteral("folder"));
    parser.addOption(catalogueFolder);
    const QCommandLineOption exportTo(
        QStringLiteral("export"),
        QStringLiteral("Write every title to <file> as CSV (as File, Export Titles does) and end."),
        QStringLiteral("file"));
    parser.addOption(exportTo);
    const QCommandLineOption backUpInto(
        QStringLiteral("backup"),
        QStringLiteral("Back up the catalogue and its covers into a new folder inside <folder> "
                       "(as File, Back Up Catalogue does) and end."),
        QStringLiteral("folder"));
    parser.addOption(backUpInto);
    // A new option: add it above, then read it below into a field of Request.

    // Qt's own options (-platform offscreen, -style ...) are the application object's: known
    // here, so that a mistake is answered before any display is needed, and otherwise left alone.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char *name :
         {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
          "geometry", "qwindowicon", "icon", "qwindowtitle", "title", "display", "name", "session",
          "style", "stylesheet", "qmljsdebugger"}) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    Request request;
    if (!parser.parse(arguments)) {
        request.action = Action::Refuse;
        request.text = parser.errorText() + QStringLiteral("\nTry 'reelvane --help'.\n");
        return request;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        request.action = Action::Print;
        request.text = parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                 QStringLiteral("reelvane"));
        // Not every Qt version ends the help with a newline; the shell's prompt would follow
        // the last line.
        if (!request.text.endsWith(QLatin1Char('\n')))
            request.text += QLatin1Char('\n');
    } else if (parser.isSet(version)) {
        request.action = Action::Print;
        request.text = QStringLiteral("%1 %2\n").arg(QCoreApplication::applicationName(),
                                                     QCoreApplication::applicationVersion());
    } else if (!parser.positionalArguments().isEmpty()) {
        request.action = Action::Refuse;
        request.text = QStringLiteral("Unexpected argument: %1\nTry 'reelvane --help'.\n")
                           .arg(parser.positionalArguments().constFirst());
    }
    request.catalogueFolder = parser.value(catalogueFolder);
    if (request.action == Action::Run) {
        const bool exporting = parser.isSet(exportTo);
        if (exporting && parser.isSet(backUpInto)) {
            request.action = Action::Refuse;
            request.text = QStringLiteral("--export and --backup cannot be given together.\n");
            return request;
        }
        if (exporting || parser.isSet(backUpInto)) {
            request.path = parser.value(exporting ? exportTo : backUpInto);
            request.action = request.path.isEmpty() ? Action::Refuse
                             : exporting            ? Action::Export
                                                    : Action::Backup;
            if (request.path.isEmpty())
                request.text = QStringLiteral("--export and --backup need a file or folder.\n");
        }
    }
    if (parser.isSet(catalogueFolder) && request.catalogueFolder.isEmpty()
        && request.action == Action::Run) {
        request.action = Action::Refuse;
        request.text = QStringLiteral("--catalogue-folder needs a folder.\n");
    }
    return request;
}
