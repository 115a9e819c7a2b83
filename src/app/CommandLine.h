#pragma once

#include <QString>
#include <QStringList>

// The program's command line. Parsed before any window exists, so that --version and
// --help answer on a machine without a display.
class CommandLine
{
public:
    enum class Action {
        Run,    // start the program
        Print,  // print text on stdout and end (--version, --help)
        Refuse, // print text on stderr and end with status 2
        Export, // write every title to path as CSV, without windows, and end
        Backup, // back the catalogue up into a new folder inside path, without windows, and end
    };

    struct Request
    {
        Action action = Action::Run;
        QString text;
        QString catalogueFolder; // --catalogue-folder DIR; empty when not given
        QString path;            // --export FILE, --backup FOLDER
    };

    // arguments: the program's name first, as QCoreApplication::arguments() has them.
    static Request Parse(const QStringList &arguments);
};
