#pragma once

#include "ReportScope.h"

#include <QString>
#include <QVector>

// The statistics window's figures, counted by the catalogue (GROUP BY) over the titles of
// a scope. Names that differ only in letter case (any script) are one name.
struct TitleCounts
{
    struct Count
    {
        QString name;
        qint64 titles = 0;
        bool operator==(const Count &other) const = default;
    };

    qint64 titles = 0;
    QVector<Count> genres;    // largest first
    QVector<Count> decades;   // "1990s", in time order
    qint64 noYear = 0;        // titles whose year is not four digits
    QVector<Count> directors; // largest first, every name
    QVector<Count> actors;    // largest first, every name
    QVector<Count> lists;     // "Inventory", "Wishlist": the whole catalogue

    // Throws DbError.
    static TitleCounts Read(const QString &connectionString, const ReportScope &scope);
    // The first `count` entries (the whole list when shorter).
    static QVector<Count> Top(const QVector<Count> &counts, int count);
};
