#pragma once

#include <QString>
#include <QStringList>
#include <QPair>
#include <QVariant>
#include <QVector>
#include <QtGlobal>

// The floors of the database rows: a statement run on a freshly opened plain SQLite
// connection, its rows read into memory, the connection closed, nothing else.
class RawQueries
{
public:
    explicit RawQueries(QString cataloguePath);

    // Nanoseconds for the whole round trip; rows, when given, receives the row count.
    qint64 ReadAll(const QString &statement, int *rows = nullptr) const;
    qint64 ReadAll(const QStringList &statements) const;

    // Statements with their bound values run in one transaction on a fresh connection.
    using Bound = QPair<QString, QVariantList>;
    qint64 Transaction(const QVector<Bound> &statements) const;

    QVariant Scalar(const QString &statement) const;
    // EXPLAIN QUERY PLAN of a statement, its steps joined by "; ".
    QString Plan(const QString &statement) const;

private:
    QString m_path;
};
