#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class Connection;

// Titles per name as the catalogue counts them (GROUP BY ... COLLATE NOCASE, which folds A
// to Z only), joined again under the program's letter rule: "émile" and "ÉMILE" are one
// name, "Amélie" and "Amelie" two.
struct NameCount
{
    QString name; // the spelling with the most titles
    qint64 titles = 0;
    QStringList spellings; // every spelling the catalogue grouped apart, `name` among them

    friend bool operator==(const NameCount &, const NameCount &) = default;
};

namespace NameCounts {

// Runs a statement answering (name, titles) rows and joins the spellings; the order of
// first appearance is kept. Throws DbError.
QVector<NameCount> Read(Connection &connection, const QString &statement);

} // namespace NameCounts
