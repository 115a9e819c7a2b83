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
// (Genre_ID, Title_ID) of every genre link, in that order, and (Genre_ID, Genre) of every genre.
QString GenreLinks();
QString GenreNames();
// Director and Date of each of the list's titles (a row per title).
QString Directors(int list);
QString Dates(int list);
// (Actor, Movie) of every cast row: the actors equal under NOCASE together, each one's
// titles in ascending order.
QString ActorLinks();

// The indexes the statements above read from, made where missing (CREATE INDEX IF NOT
// EXISTS), and the older index the genre links' one replaces.
QStringList CreateIndexes();
QString DropOldGenreIndex();
// EXPLAIN QUERY PLAN of each counting statement: read from an index alone, sorted by none.
QStringList Plans();

// The IDs of the list's titles with a value: any of `spellings` (each compared as the
// catalogue compares it, NOCASE; decades as "1990"; actors as stored), or, with none given,
// without a value.
QString Titles(Branch branch, int list, const QStringList &spellings);

} // namespace BrowseStatements
