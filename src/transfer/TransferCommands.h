#pragma once

#include <QDate>
#include <QString>

class Module1;
class frmMain;

// The File menu's Import Titles, Export Titles and Back Up Catalogue.
class TransferCommands
{
public:
    TransferCommands(Module1 &shared, frmMain &main);

    void ExportTitles();
    void ImportTitles();
    void BackUpCatalogue();

    // What each command writes (or reads) when it has its file or folder: the commands
    // above ask for it first. Each returns false when nothing was done.
    bool ExportTo(const QString &file);
    bool ImportFrom(const QString &file);
    bool BackUpInto(const QString &folder);

    static QString DefaultExportName(const QDate &day);

private:
    QString askPath(int kind, const QString &suggestion);

    Module1 &m_shared;
    frmMain &m_main;
};
