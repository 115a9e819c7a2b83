#pragma once

#include "TitleCsv.h"
#include "TitleTransfer.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// What importing a titles file would do, worked out before anything is written: which
// records become titles, which look like titles already there (or earlier in the file),
// which are refused and why, and which genres would be created.
class ImportPlan
{
public:
    enum class Status { Accepted, Similar, Refused };
    struct Row
    {
        int line = 0;
        Status status = Status::Accepted;
        QString title;
        QString edition;
        QString column; // refused: the column at fault; else Year for a year kept as written
        QString reason; // refused: why; similar: what it looks like; the year kept
    };
    // Analyse: bytes read of all; Write: titles written of all. False cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // Checks the whole file and every record; false when cancelled.
    bool Analyse(const QByteArray &bytes, const TitleTransfer::Existing &existing,
                 const Progress &progress);

    // Why the file as a whole cannot be imported (empty when it can).
    const QString &FileFault() const { return m_fileFault; }
    const QList<Row> &Rows() const { return m_rows; }
    int Count(Status status) const;
    // Rows taken with a year kept as written (empty, or not four digits).
    int UnusualYears() const;
    const QStringList &GenresToCreate() const { return m_newGenres; }
    const QStringList &UnknownColumns() const { return m_layout.unknown; }

    // Adds the titles to add (all, or all but the similar ones) to the catalogue in one
    // transaction. Returns how many were added, or -1 when cancelled; cancelled or failed
    // (DbError), nothing is written.
    int Write(const QByteArray &bytes, bool skipSimilar, const QString &connectionString,
              const Progress &progress) const;

    // Why bytes are no titles file at all, before any record is read.
    static QString TextFault(const QByteArray &bytes);

private:
    // Calls insert for every title to add, in file order; false when insert cancels.
    bool ForEachTitle(
        const QByteArray &bytes, bool skipSimilar,
        const std::function<bool(const TitleRecord &, int index, int total)> &insert) const;

    QString m_fileFault;
    TitleCsv::Layout m_layout;
    QList<Row> m_rows;
    QStringList m_newGenres;
};
