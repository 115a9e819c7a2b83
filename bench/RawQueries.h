#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
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

    // The main window's list statement, as the program writes it.
    static QString TitleList(int wishList);

    QVariant Scalar(const QString &statement) const;

private:
    QString m_path;
};
