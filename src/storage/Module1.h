#pragma once

#include "RecordList.h"
#include "TitleRecord.h"

#include <QString>
#include <QStringList>
#include <array>
#include <memory>

// The process-wide state through which windows hand values to one another, and the
// catalogue helpers that work on it. One instance is made by the application (and one
// per test case) and handed to every window through its constructor.
class Module1
{
public:
    // programFolder: where the catalogue and images live (chosen by CatalogueFolder).
    explicit Module1(QString programFolder);

    // Database settings
    QString AppFolder;
    QString DatabaseFileName;
    QString ConnectionString;

    // Main window state
    int WishListFilter = 0;
    qint64 SelectedTitleId = 0;
    QString EditMode;
    int AboutMode = 0;

    // Edit buffer
    QString EditTitle;
    QString EditSubTitle;
    QString EditDate;
    QString EditDirector;
    QString EditSummary;
    QString EditFeatures;
    QString EditEggs;
    int EditWishList = 0;
    std::array<QString, 4> GenrePicks;
    std::shared_ptr<RecordList> CastRecords;
    // Genre links of the title being modified beyond the four picks (written by other
    // tools); the save keeps them.
    QVector<qint64> KeptGenreIds;

    // Question and prompt results
    int PromptAccepted = 0;
    QString PromptText;
    QString PromptCancelled;
    QString AlertMessage;
    QString AlertQuery;
    QString DelimiterText;

    // Lookup (CountMatches)
    QString LookupTable;
    QString LookupField;
    QString LookupValue;
    int LookupCount = 0;
    QString LookupExists;
    // The stored spellings CountMatches counted, each once (as stored, not doubled).
    QStringList LookupMatches;

    // Genre manager only
    QString GenreAction;
    int GenreTitleCount = 0;

    // Sets WishListFilter to 0 and the folder, file name and connection string.
    void InitializeDatabasePath();
    // Counts LookupTable rows whose LookupField equals LookupValue (doubling its quotes),
    // equal as Letters::Equal says: the catalogue's own = folds A to Z only.
    void CountMatches();
    // A new, empty, open in-memory cast list with the fields Actor and Character.
    void CreateCastRecords();
    // Such a list, returned: the paste generator's rows are one too.
    static std::shared_ptr<RecordList> NewCastList();
    // What leaving the editor by Cancel empties: the edit buffer's texts and genre picks
    // (EditTitle, EditWishList and EditMode stay) and the cast list.
    void ClearEditBuffer();
    // The edit buffer's facts as one value, and the buffer filled from one.
    TitleFacts EditFacts() const;
    void SetEditFacts(const TitleFacts &facts);

    // Every occurrence of find in text replaced by replacement; used to double quotes.
    static QString ReplaceText(const QString &find, const QString &replacement,
                               const QString &text);

private:
    QString m_programFolder;
};
