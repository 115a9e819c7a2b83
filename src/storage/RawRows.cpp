#include "RawRows.h"

#include "Connection.h"
#include "DbError.h"

#include <QSqlDatabase>
#include <QSqlDriver>

#include <sqlite3.h>

namespace {

DbError failure(sqlite3 *handle)
{
    return DbError(sqlite3_errcode(handle), QString::fromUtf8(sqlite3_errmsg(handle)));
}

} // namespace

RawRows::RawRows(Connection &connection, const QString &statement)
{
    sqlite3 *db = Engine(connection.Database());
    if (!db)
        throw DbError(1, QStringLiteral("The catalogue is not open."));
    const QByteArray text = statement.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr)
        != SQLITE_OK)
        throw failure(db);
    // Nothing but blanks or a comment compiles to no statement at all.
    if (!m_statement)
        throw DbError(1, QStringLiteral("The statement is empty."));
}

sqlite3 *RawRows::Engine(const QSqlDatabase &db)
{
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

RawRows::~RawRows()
{
    sqlite3_finalize(m_statement);
}

bool RawRows::Next()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    throw failure(sqlite3_db_handle(m_statement));
}

int RawRows::ColumnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString RawRows::ColumnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column)).remove(u'"');
}

bool RawRows::IsText(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_TEXT;
}

bool RawRows::IsInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

bool RawRows::IsNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

qint64 RawRows::Integer(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

QByteArrayView RawRows::Text(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
    return QByteArrayView(text, sqlite3_column_bytes(m_statement, column));
}

QVariant RawRows::Value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_BLOB:
        return QVariant(
            QByteArray(static_cast<const char *>(sqlite3_column_blob(m_statement, column)),
                       sqlite3_column_bytes(m_statement, column)));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    default:
        return QVariant(QString::fromUtf8(Text(column)));
    }
}
