#pragma once

#include <QString>
#include <QStringList>

// The browse panel's statements, over one list's titles (0 Inventory, 1 Wishlist). The
// values and their counts are the statistics' own (ReportStatements::TitlesPer...); these
// add the titles without a value and the titles of one value.
namespace BrowseStatements {

enum class Branch { Genres, Directors, Decades, Actors };

// count(*) of the list's titles without a value in the branch (no genre, no director
// name, no four-digit year, no actor).
QString NoValueCount(Branch branch, int list);
// The IDs of the list's titles with a value: any of `spellings` (each compared as the
// catalogue groups it, NOCASE; decades as "1990"), or, with none given, without a value.
QString Titles(Branch branch, int list, const QStringList &spellings);

} // namespace BrowseStatements
