#pragma once

#include <QString>

// The title list's extra columns and the statements that read their values for one list's
// titles (0 Inventory, 1 Wishlist), each row keyed by the title's ID. The list's own
// statement stays as it is: these run beside it, only for the columns shown.
enum class ListColumn { Year, Director, Genres, CastCount, OnLoan };

namespace ListColumnStatements {

// ID and value: the Date or Director as stored; a genre name per link (by ID); the number
// of cast rows. OnLoan has no statement of its own (the list's loan marks hold it).
QString Values(ListColumn column, int list);

} // namespace ListColumnStatements
