#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// What the crash-consistency worker writes in save number `generation`, so that a check
// can tell from a title row alone which genre links and cast rows must go with it.
namespace ChurnPlan {

// Generations of one worker run: seed * Span + 1, + 2, ...; later runs have larger seeds.
inline constexpr qint64 Span = 1000000;

// One to four distinct genres, all in the catalogue (Children's added by the test).
inline QStringList Genres(qint64 generation)
{
    const QStringList pool{"Action", "Children's", "Comedy", "Drama", "Sci-Fi", "War", "Western"};
    QStringList picks;
    for (qint64 j = 0; j <= generation % 4; ++j)
        picks << pool[(generation + j * 3) % pool.size()];
    return picks;
}

// Zero to twelve cast rows, in their order.
inline QVector<QPair<QString, QString>> Cast(qint64 generation)
{
    QVector<QPair<QString, QString>> rows;
    for (qint64 j = 0; j < generation % 13; ++j)
        rows.append({QString("Actor %1 O'Neil").arg(j), QString("Role %1 of \"%2\"").arg(j).arg(generation)});
    return rows;
}

inline QString Summary(qint64 generation)
{
    return QString("generation %1").arg(generation);
}

inline QString Features(qint64 generation)
{
    return QString("features of generation %1; 100% 'kept'").arg(generation);
}

} // namespace ChurnPlan
