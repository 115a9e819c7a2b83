#pragma once

#include "BrowseStatements.h"
#include "NameCounts.h"

#include <QVector>

class Connection;

// The browse panel's values: for one branch and one list (0 Inventory, 1 Wishlist), every
// value with its number of titles, counted in the catalogue, and the titles of one value.
namespace BrowseCounts {

using Branch = BrowseStatements::Branch;

// The values in the letter order (decades as "1990s"), then "(none)" (empty spellings)
// when some titles have no value. Throws DbError.
QVector<NameCount> Read(Connection &connection, Branch branch, int list);
// The IDs of the list's titles that have the value (or, for "(none)", no value).
QVector<qint64> Titles(Connection &connection, Branch branch, int list, const NameCount &value);

} // namespace BrowseCounts
