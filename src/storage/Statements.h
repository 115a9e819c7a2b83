#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>

struct TitleFacts;

// The text of every statement the program runs on the catalogue. Windows and commands
// still decide when a statement runs and on which connection; only its text is built
// here. Every text value goes through Quote, numbers through QString::number.
namespace Statements {

// "'" doubled, for a value placed between single quotes. The only place quotes are doubled.
QString Quote(const QString &text);

// Main window: the title list, and the three reads of the detail panel.
QString TitleList(int wishList);
QString DetailFacts(qint64 titleId, int wishList);
QString DetailGenres(qint64 titleId, int wishList);
QString DetailCast(qint64 titleId, int wishList);

// The find box: every title of both lists with the text a search looks at (title,
// edition, director, and its cast's actors and characters joined by line breaks), by ID;
// withLoans (the catalogue has the Loan table): and the borrower of its open loan.
QString SearchableTitles(bool withLoans = false);
// The same columns for one title (no row when it is gone).
QString SearchableTitle(qint64 titleId, bool withLoans = false);
// The same read in two parts, for every title: the titles without their cast (ID, title,
// edition, director and, withLoans, the borrower), by ID; and every cast row (title ID,
// actor, character) by title ID, each title's in the order the one-title read joins them.
QString SearchableFacts(bool withLoans);
QString SearchableCast();
QString TitleCount();

// The index the title list is read through, made at open where a catalogue lacks it (the
// same as in a new catalogue), the two-column index it replaces, and the list's plan.
QString CreateListIndex();
QString DropOldListIndex();
QString ListPlan();

// A whole title for editing (the modify command), whichever list it is on.
QString EditedTitle(qint64 titleId);
QString EditedTitleGenres(qint64 titleId);
QString EditedTitleCast(qint64 titleId);
QString TitleName(qint64 titleId);

// The save.
QString InsertTitle(const TitleFacts &facts);
QString UpdateTitle(const TitleFacts &facts, qint64 titleId);
QString LastInsertedId();
QString ChangedRows();
QString GenreId(const QString &genre);
QString InsertGenreLink(qint64 titleId, qint64 genreId);
// A link kept from before the edit: only if the genre still exists and is not linked yet.
QString InsertKeptGenreLink(qint64 titleId, qint64 genreId);
QString InsertCastMember(qint64 titleId, const QString &actor, const QString &character);
QString DeleteGenreLinksOfTitle(qint64 titleId);
QString DeleteCastOfTitle(qint64 titleId);
QString DeleteTitle(qint64 titleId);

// Genres.
// Every genre name, in no particular order.
QString GenreNames();
QString GenreList();
QString UnpickedGenres(const std::array<QString, 4> &picks);
QString InsertGenre(const QString &genre);
QString RenameGenre(const QString &genre, const QString &newName);
QString DeleteLinksOfGenre(const QString &genre);
QString DeleteGenre(const QString &genre);
QString CountTitlesOnGenre(const QString &genre);
QString TitlesOnGenre(const QString &genre);

// Counts and lookups; table and field are names the program chooses, never user text.
QString CountMatches(const QString &table, const QString &field, const QString &value);
// Every stored value of the field that is not Null.
QString StoredValues(const QString &table, const QString &field);
// Rows equal to value by the catalogue's =, or to one of the other spellings.
QString SimilarTitles(const QString &table, const QString &field, const QString &value,
                      const QStringList &otherSpellings = {});

} // namespace Statements
