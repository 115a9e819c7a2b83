#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// What the crash-consistency worker writes in save number `generation`, so that a check
// can tell from a title row alone which genre links and cast rows must go with it.
namespace ChurnPlan {

// Genres the worker picks from; all exist in the catalogue (Children's added by the test).
inline QStringList GenrePool()
{
    return {QStringLiteral("Action"), QStringLiteral("Children's"), QStringLiteral("Comedy"),
            QStringLiteral("Drama"),  QStringLiteral("Sci-Fi"),     QStringLiteral("War"),
            QStringLiteral("Western")};
}

// One to four distinct genres.
inline QStringList Genres(qint64 generation)
{
    const QStringList pool = GenrePool();
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
        rows << qMakePair(QStringLiteral("Actor %1 O'Neil").arg(j),
                          QStringLiteral("Role %1 of \"%2\"").arg(j).arg(generation));
    return rows;
}

inline QString Summary(qint64 generation)
{
    return QStringLiteral("generation %1").arg(generation);
}

inline QString Features(qint64 generation)
{
    return QStringLiteral("features of generation %1; 100% 'kept'").arg(generation);
}

// The generation written in a summary, or -1.
inline qint64 GenerationOf(const QString &summary)
{
    if (!summary.startsWith(QStringLiteral("generation ")))
        return -1;
    bool ok = false;
    const qint64 generation = summary.mid(11).toLongLong(&ok);
    return ok ? generation : -1;
}

// Generations of one worker run: seed * Span + 1, + 2, ...; later runs have larger seeds.
inline constexpr qint64 Span = 1000000;

} // namespace ChurnPlan
