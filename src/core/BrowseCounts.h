#pragma once

#include "BrowseStatements.h"
#include "NameCounts.h"

#include <QVector>
#include <array>

class Connection;

// The browse panel's values: for one branch and one list (0 Inventory, 1 Wishlist), every
// value with its number of titles, and the titles of one value. Counted in the engine from
// the catalogue's indexes: what is held is the values and a mark per title of the list.
namespace BrowseCounts {

using Branch = BrowseStatements::Branch;
constexpr int BranchCount = 4;
using AllBranches = std::array<QVector<NameCount>, BranchCount>;

// The values in the letter order (decades as "1990s"), then "(none)" when some titles have
// no value. Spellings equal under the letter rule are one value, named by the spelling with
// the most titles (of equals, the first in the letter order; an actor's spellings that
// NOCASE calls equal count as one, named by any of them); a title is counted once per
// value. Throws DbError.
QVector<NameCount> Read(Connection &connection, Branch branch, int list);
// Every branch, on two threads with a connection each (the cast rows, by far the most,
// read from both ends of their index until the threads meet). Throws DbError.
AllBranches ReadAll(const QString &connectionString, int list);
// The IDs of the list's titles that have the value (or, for "(none)", no value).
QVector<qint64> Titles(Connection &connection, Branch branch, int list, const NameCount &value);
// The same, or for a genre or an actor the titles of every list with it (faster: the
// titles' rows are not read), for a filter over the list's own rows.
QVector<qint64> ChosenTitles(Connection &connection, Branch branch, int list,
                             const NameCount &value);

} // namespace BrowseCounts
