#pragma once

#include <QDate>
#include <QString>
#include <functional>

class QWidget;

// The File menu's Import Titles, Export Titles and Back Up Catalogue: each asks for its
// file or folder, runs the work (src/core, src/storage) under a progress window and says
// how it went.
class TransferCommands
{
public:
    // The catalogue's folder and connection string, the window the dialogs and messages
    // belong to, and what to call once an import has changed the catalogue.
    TransferCommands(QWidget *parent, QString programFolder, QString connectionString,
                     std::function<void()> refresh);

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

    QWidget *m_parent;
    QString m_programFolder;
    QString m_connectionString;
    std::function<void()> m_refresh;
};
