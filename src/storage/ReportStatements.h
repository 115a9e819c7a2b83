#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

class Connection;

// The statements of the statistics and the printed list. The titles they cover are one
// list (0 Inventory, 1 Wishlist) or both (AllLists), and, when `shownOnly` is set, only
// those put in the connection's table of shown titles by MarkShownTitles.
namespace ReportStatements {

constexpr int AllLists = -1;

// Puts the IDs in a temporary table of the connection (replacing what was there), with
// bound values: a filter of 100,000 titles is one prepared statement, not one text.
// Throws DbError.
void MarkShownTitles(Connection &connection, const QVector<qint64> &ids);

// Each count answers (name, titles) rows, the largest count first.
QString TitlesPerGenre(int list, bool shownOnly);
// A title's decade ("1990") from its Date, Null for a year that is not four digits: an
// expression on DVD_Title.
QString DecadeOfDate();
// (decade as "1990", or Null for a year that is not four digits, titles), in time order.
QString TitlesPerDecade(int list, bool shownOnly);
// Director texts hold one or more names separated by , ; & or /: each name counts.
// DirectorNames is the rule itself: a WITH clause making the table Names(ID, Name), one row
// per title and name (trimmed; empty names and a first '' per title are in it too).
QString DirectorNames(int list, bool shownOnly);
QString TitlesPerDirector(int list, bool shownOnly);
QString TitlesPerActor(int list, bool shownOnly);
// (WishList, titles) for the two lists, over the whole catalogue.
QString TitlesPerList();
QString TitleCount(int list, bool shownOnly);

// The printed list's columns: ID, Title, Sub_Title, Date, Director, the genre names
// joined by ", ".
QString ListedTitles(int list);

} // namespace ReportStatements
