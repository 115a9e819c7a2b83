#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QtGlobal>

class Connection;
class QSqlDatabase;
struct sqlite3;
struct sqlite3_stmt;

// A statement stepped straight on the catalogue's engine, its texts handed over as the
// stored UTF-8: for reads of a million rows, where a QVariant and a UTF-16 copy per value
// cost more than the read. Finalized when it goes.
class RawRows
{
public:
    // Prepares the statement on the connection; throws DbError.
    RawRows(Connection &connection, const QString &statement);
    ~RawRows();
    Q_DISABLE_COPY(RawRows)

    // The next row; false after the last. Throws DbError (a lock held past the busy
    // timeout among others).
    bool Next();
    int ColumnCount() const;
    // As the Qt driver names it: without double quotes.
    QString ColumnName(int column) const;
    bool IsNull(int column) const;
    bool IsText(int column) const;
    bool IsInteger(int column) const;
    qint64 Integer(int column) const;
    // Valid until the next call of Next.
    QByteArrayView Text(int column) const;

    // The engine under an open catalogue connection, or nullptr (not open, not SQLite).
    static sqlite3 *Engine(const QSqlDatabase &db);
    // Any value as the Qt driver gives it: whole numbers as qlonglong, Null as a Null text.
    QVariant Value(int column) const;

private:
    sqlite3_stmt *m_statement = nullptr;
};
