#include "ListIndex.h"

#include "Statements.h"
#include "UpkeepConnection.h"

#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

namespace {

// The engine runs about this many of its steps per title while it builds the index;
// the progress window's bar is only an estimate.
constexpr qint64 kStepsPerTitle = 11;
constexpr int kStepsPerCall = 5000;

bool listReadCovered(const QSqlDatabase &db)
{
    QSqlQuery plan(db);
    QString details;
    if (plan.exec(Statements::ListPlan()))
        while (plan.next())
            details += plan.value(3).toString() + QLatin1Char('\n');
    // A search of the one list in title order, from the index alone: no table rows read,
    // no sorting afterwards.
    return details.startsWith(QLatin1String("SEARCH"))
           && details.contains(QLatin1String("USING COVERING INDEX"))
           && !details.contains(QLatin1String("TEMP B-TREE"));
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

sqlite3 *handleOf(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

ListIndex::Outcome ensureOn(QSqlDatabase &db, const ListIndex::Progress &progress)
{
    using Outcome = ListIndex::Outcome;
    QSqlQuery query(db);
    if (listReadCovered(db))
        return Outcome::Present;

    // Not a catalogue (no titles table): nothing to do here, the open reports it.
    if (!query.exec(Statements::TitleCount()) || !query.next())
        return Outcome::Skipped;
    const qint64 titles = query.value(0).toLongLong();
    query.finish();

    // IMMEDIATE: a catalogue another program is writing to fails here, at once (no busy
    // wait on this connection), before anything is changed.
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return Outcome::Skipped;
    Interrupt state{&progress, std::max<qint64>(titles * kStepsPerTitle, 1)};
    sqlite3 *handle = handleOf(db);
    if (handle && progress)
        sqlite3_progress_handler(handle, kStepsPerCall, onProgress, &state);
    const bool made = query.exec(Statements::DropOldListIndex())
                      && query.exec(Statements::CreateListIndex())
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
