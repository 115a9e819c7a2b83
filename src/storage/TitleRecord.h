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

    bool operator==(const TitleFacts &) const = default;
};

struct CastMember
{
    QString actor;
    QString character;

    bool operator==(const CastMember &) const = default;
};

// One whole title as the catalogue holds it: its facts, its genre names in link order
// (with their IDs at the same positions where ReadTitle fills them) and its cast.
// ReadTitle fills it for the editor (cast ordered by actor under the letter rule); the
// export reads every title into it in bulk (cast in the order it was saved, no IDs) and
// the import writes it (IDs unused: each catalogue numbers its own rows).
struct TitleRecord
{
    qint64 id = 0;
    TitleFacts facts;
    QStringList genres{};
    QVector<qint64> genreIds{};
    QVector<CastMember> cast{};
    // The open loan, as the titles file carries it (the export reads it, a new title written
    // by the import gets it); dates as stored (ISO when the program wrote them). The editor
    // never fills it: loans are kept by Loans.
    QString loanBorrower{};
    QString loanLentOn{};
    QString loanDueOn{};

    bool operator==(const TitleRecord &) const = default;
};

// Reads the title with that ID, whichever list it is on, with three statements on the
// given connection. Throws DbError when a statement fails or there is no such title.
TitleRecord ReadTitle(Connection &connection, qint64 titleId);
