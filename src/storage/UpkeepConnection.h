#pragma once

#include "Connection.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QUrl>

// Start-up upkeep of the catalogue (an index, a table of its own) on a connection that never
// creates a catalogue and never waits for a lock: a read-only or busy catalogue is skipped
// and opens as it is.
namespace UpkeepConnection {

// work(db) on the open connection, closed afterwards (what is still open rolls back);
// skipped when the catalogue cannot be opened for writing.
template<typename Result, typename Work>
Result Run(const QString &connectionString, Result skipped, Work &&work)
{
    static QAtomicInteger<quint64> counter;
    const QString name = QStringLiteral("upkeep-%1").arg(counter.fetchAndAddRelaxed(1));
    Result result = skipped;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        // mode=rw: never creates a catalogue; a write-protected file opens read-only.
        QUrl url = QUrl::fromLocalFile(
            QFileInfo(Connection::FileFromConnectionString(connectionString)).absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=0"));
        if (db.open())
            result = work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace UpkeepConnection
