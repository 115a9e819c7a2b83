#pragma once

#include <QString>
#include <QStringList>

// The browse panel's statements, over one list's titles (0 Inventory, 1 Wishlist). Each
// count is read from an index alone (the catalogue's read indexes, below): the rows with
// their long summaries are never read to count.
namespace BrowseStatements {

enum class Branch { Genres, Directors, Decades, Actors };

// The IDs of the list's titles.
QString ListTitles(int list);
// Per genre (Genre_ID) and per actor (the spellings NOCASE calls equal, one of them), the
// titles counted by `titles`, an aggregate over the title IDs (ListedTitles').
QString GenreTitles(const QString &titles);
QString ActorTitles(const QString &titles);
// Every cast row's actor and title, to `runs`, an aggregate over (key, ID) (ListedTitles'),
// read from the actors' index: in the actors' order.
QString ActorRuns(const QString &runs);
QString GenreNames();
// Per director text and per year text (NOCASE, one spelling of each), the list's titles.
QString DirectorTitles(int list);
QString DateTitles(int list);
// The list's titles' directors with their IDs, to `runs` (as ActorRuns), read from their
// index: in the texts' order.
QString DirectorRuns(const QString &runs, int list);

// The indexes the statements above read from, made where missing (CREATE INDEX IF NOT
// EXISTS), and the older index the genre links' one replaces.
QStringList CreateIndexes();
QString DropOldGenreIndex();
// EXPLAIN QUERY PLAN of each counting statement: read from an index alone, sorted by none.
QStringList Plans();

// The IDs of the list's titles with a value: any of `spellings` (each compared as the
// catalogue compares it, NOCASE; decades as "1990"), or, with none given,
// without a value.
QString Titles(Branch branch, int list, const QStringList &spellings);
// The IDs linked to a genre or an actor of `spellings`, in any list (or none): read from the
// links' indexes alone, for a filter over one list's rows.
QString LinkedTitles(Branch branch, const QStringList &spellings);

} // namespace BrowseStatements
