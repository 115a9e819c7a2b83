#pragma once

#include <QString>
#include <functional>

// The indexes the main window reads through. (WishList, Title, Sub_Title) holds every
// column the list shows, so the list is read from the index alone, never from the rows
// with their long summaries; the browse panel counts from four more the same way
// (BrowseStatements). A catalogue made before them (or by another tool) gets them at
// open; one that cannot be written then opens without them, as before.
namespace ListIndex {

enum class Outcome {
    Present,   // every read is already answered from an index: nothing written
    Created,   // made now, the older indexes they replace dropped, in one transaction
    Skipped,   // the catalogue could not be written (read-only, locked): left as it was
    Cancelled, // the progress callback said stop: rolled back, left as it was
};

// done of total (an estimate; done may pass it); false stops the work.
using Progress = std::function<bool(qint64 done, qint64 total)>;

// Never waits for a lock and never throws: the index only makes reading faster.
Outcome Ensure(const QString &connectionString, const Progress &progress);

} // namespace ListIndex
