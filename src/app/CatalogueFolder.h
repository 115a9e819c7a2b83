#pragma once

#include <QString>
#include <functional>

// Decides which folder holds the catalogue, its images/ and its lock file:
//  - a folder named on the command line, as it is (the catalogue's open refuses a folder
//    without one);
//  - else the executable's folder, when it holds a catalogue and can be written (the build
//    folder, a portable install);
//  - else the per-user data folder, made on its first use from the read-only template
//    installed with the program (<executable folder>/../share/reelvane).
class CatalogueFolder
{
public:
    struct Places
    {
        QString executableFolder;
        QString requestedFolder; // --catalogue-folder; empty when not given
        QString userFolder;      // e.g. $XDG_DATA_HOME/reelvane
    };

    struct Choice
    {
        QString folder; // empty when error is set
        QString error;  // a message for the user: no folder could be made ready
    };

    // Whether this process may write into a folder.
    using Writable = std::function<bool(const QString &folder)>;

    // The rule above; the per-user folder's catalogue is copied from the template only when
    // it has none (under a temporary name, renamed when complete), its fixed pictures when
    // they are missing. An existing per-user catalogue is never written to here.
    static Choice Choose(const Places &places, const Writable &writable = IsWritable);

    // The places of this process: its executable's folder and $XDG_DATA_HOME/reelvane
    // (~/.local/share/reelvane when unset).
    static Places ForThisProcess(const QString &requestedFolder);

    static QString TemplateFolder(const QString &executableFolder);
    static bool IsWritable(const QString &folder);
    static const QString &CatalogueName();
};
