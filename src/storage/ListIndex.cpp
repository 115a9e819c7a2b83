#include "ListIndex.h"

#include "BrowseStatements.h"
#include "RawRows.h"
#include "Statements.h"
#include "UpkeepConnection.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace {

// The engine runs about this many of its steps per entry while it builds an index;
// the progress window's bar is only an estimate.
constexpr qint64 kStepsPerEntry = 11;
constexpr int kStepsPerCall = 5000;

QString planOf(const QSqlDatabase &db, const QString &plan)
{
    QSqlQuery query(db);
    QString details;
    if (query.exec(plan))
        while (query.next())
            details += query.value(3).toString() + QLatin1Char('\n');
    return details;
}

// Answered from an index alone, searched or scanned in its order: no table rows read, no
// sorting afterwards.
bool fromIndex(const QString &details)
{
    return details.contains(QLatin1String("USING COVERING INDEX"))
           && !details.contains(QLatin1String("TEMP B-TREE"));
}

bool readsCovered(const QSqlDatabase &db)
{
    // The list is searched (one list of two), never scanned.
    const QString list = planOf(db, Statements::ListPlan());
    if (!list.startsWith(QLatin1String("SEARCH")) || !fromIndex(list))
        return false;
    for (const QString &plan : BrowseStatements::Plans())
        if (!fromIndex(planOf(db, plan)))
            return false;
    return true;
}

// Entries the indexes hold: three per title, one per genre link and per cast row.
qint64 entries(QSqlDatabase &db)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("SELECT (SELECT 3 * count(*) FROM DVD_Title) + (SELECT "
                                   "count(*) FROM Genre_Relationships) + (SELECT count(*) FROM "
                                   "Cast_Relationships)"))
        || !query.next())
        return -1;
    return query.value(0).toLongLong();
}

struct Interrupt
{
    const ListIndex::Progress *progress;
    qint64 total;
    qint64 done = 0;
};

int onProgress(void *context)
{
    auto *state = static_cast<Interrupt *>(context);
    state->done += kStepsPerCall;
    return (*state->progress)(state->done, state->total) ? 0 : 1;
}

ListIndex::Outcome ensureOn(QSqlDatabase &db, const ListIndex::Progress &progress)
{
    using Outcome = ListIndex::Outcome;
    if (readsCovered(db))
        return Outcome::Present;

    // Not a catalogue (no titles table): nothing to do here, the open reports it.
    const qint64 indexed = entries(db);
    if (indexed < 0)
        return Outcome::Skipped;
    QSqlQuery query(db);

    // IMMEDIATE: a catalogue another program is writing to fails here, at once (no busy
    // wait on this connection), before anything is changed.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return Outcome::Skipped;
    Interrupt state{&progress, std::max<qint64>(indexed * kStepsPerEntry, 1)};
    sqlite3 *handle = RawRows::Engine(db);
    if (handle && progress)
        sqlite3_progress_handler(handle, kStepsPerCall, onProgress, &state);
    bool made =
        query.exec(Statements::DropOldListIndex()) && query.exec(Statements::CreateListIndex());
    for (const QString &statement : BrowseStatements::CreateIndexes())
        made = made && query.exec(statement);
    made = made && query.exec(BrowseStatements::DropOldGenreIndex())
           && query.exec(QStringLiteral("COMMIT"));
    if (handle)
        sqlite3_progress_handler(handle, 0, nullptr, nullptr);
    if (made)
        return Outcome::Created;
    const bool interrupted = query.lastError().nativeErrorCode() == QLatin1String("9");
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    return interrupted ? Outcome::Cancelled : Outcome::Skipped;
}

} // namespace

namespace ListIndex {

Outcome Ensure(const QString &connectionString, const Progress &progress)
{
    return UpkeepConnection::Run(connectionString, Outcome::Skipped,
                                 [&progress](QSqlDatabase &db) { return ensureOn(db, progress); });
}

} // namespace ListIndex
