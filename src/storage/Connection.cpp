#include "Connection.h"

#include "BusyTimeout.h"
#include "DbError.h"
#include "LockWait.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>

namespace {
QAtomicInteger<quint64> g_connectionCounter;
int g_busyTimeoutForTesting = 0;
} // namespace

int BusyTimeout::Milliseconds()
{
    return g_busyTimeoutForTesting > 0 ? g_busyTimeoutForTesting : Connection::BusyTimeoutMs;
}

void BusyTimeout::SetForTesting(int ms)
{
    g_busyTimeoutForTesting = ms;
}

Connection::Connection()
    : m_name(QStringLiteral("reelvane-%1").arg(g_connectionCounter.fetchAndAddRelaxed(1)))
{
}

Connection::~Connection()
{
    Close();
}

int Connection::State() const
{
    return m_open ? 1 : 0;
}

QString Connection::FileFromConnectionString(const QString &connectionString)
{
    const qsizetype key = connectionString.indexOf(QLatin1String("Dbq="), 0, Qt::CaseInsensitive);
    if (key < 0)
        return {};
    const qsizetype start = key + 4;
    // A folder name may hold ";" (or anything else but "/" and NUL): the path runs up to
    // the settings that follow it, which are looked for from the end.
    qsizetype end = connectionString.size();
    for (const QLatin1String setting : {QLatin1String(";Uid="), QLatin1String(";Pwd=")}) {
        const qsizetype at = connectionString.lastIndexOf(setting, -1, Qt::CaseInsensitive);
        if (at >= start)
            end = std::min(end, at);
    }
    if (end == connectionString.size() && connectionString.endsWith(QLatin1Char(';')))
        --end;
    return connectionString.mid(start, end - start);
}

void Connection::Open(const QString &connectionString)
{
    Close();
    const QString file = FileFromConnectionString(connectionString);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        // mode=rw: a missing file is an error, never a new empty catalogue.
        QUrl url = QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1")
                                 .arg(BusyTimeout::Milliseconds()));
        if (!db.open()) {
            const DbError error = DbError::FromSql(db.lastError());
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw error;
        }
        // SQLite opens lazily; reading the schema here turns a file that is not a
        // catalogue (garbage, empty, wrong tables) into an error at once.
        QSqlQuery probe(db);
        LockWait::Attempts attempts;
        bool read = false;
        while (!(read = probe.exec(QStringLiteral("SELECT ID FROM DVD_Title LIMIT 0")))
               && attempts.WaitOn(DbError::FromSql(probe.lastError()))) {}
        if (!read) {
            const DbError error = DbError::FromSql(probe.lastError());
            probe = QSqlQuery();
            db.close();
            db = QSqlDatabase();
            QSqlDatabase::removeDatabase(m_name);
            throw error;
        }
    }
    m_open = true;
}

void Connection::Execute(const QString &statement)
{
    QSqlQuery query(Database());
    if (!query.exec(statement))
        throw DbError::FromSql(query.lastError());
}

void Connection::Close()
{
    if (!m_open)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        db.close(); // SQLite rolls back a transaction left open
    }
    QSqlDatabase::removeDatabase(m_name);
    m_open = false;
}

void Connection::BeginTrans()
{
    QSqlDatabase db = Database();
    if (!db.transaction())
        throw DbError::FromSql(db.lastError());
}

void Connection::CommitTrans()
{
    // Run as a statement: its error carries the engine's result code (5 for a reader in
    // the way, 13 for a full disk), where the driver's own commit reports none.
    QSqlQuery query(Database());
    if (!query.exec(QStringLiteral("COMMIT")))
        throw DbError::FromSql(query.lastError());
}

void Connection::RollbackTrans()
{
    QSqlDatabase db = Database();
    db.rollback();
}

QSqlDatabase Connection::Database() const
{
    return QSqlDatabase::database(m_name, false);
}
