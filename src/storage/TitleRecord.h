#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

class Connection;

// A title's own columns. Text columns without text (Null or empty) are empty strings.
struct TitleFacts
{
    QString title;
    QString subTitle;
    QString date;
    QString director;
    QString summary;
    QString features;
    QString eggs;
    int wishList = 0;
};

struct CastMember
{
    QString actor;
    QString character;
};

// One whole title as the catalogue holds it: its facts, its genre names in the order the
// catalogue returns its links (with their IDs, same positions), and its cast ordered by
// actor under the letter rule.
struct TitleRecord
{
    qint64 id = 0;
    TitleFacts facts;
    QStringList genres;
    QVector<qint64> genreIds;
    QVector<CastMember> cast;
};

// Reads the title with that ID, whichever list it is on, with three statements on the
// given connection. Throws DbError when a statement fails or there is no such title.
TitleRecord ReadTitle(Connection &connection, qint64 titleId);
