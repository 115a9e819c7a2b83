#pragma once

#include "TitleCsv.h"
#include "TitleTransfer.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
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
        QString note;   // added: what is left empty or out
    };
    // A title read from another program's file, for Analyse(entries): refused when reason
    // is set; notes say what is left empty or out.
    struct Entry
    {
        int line = 0; // line of the file, or the entry's number
        TitleRecord title;
        QString reason;
        QString column;
        QStringList notes;
        QByteArray cover; // picture bytes, empty for none

        // Notes the year and director left empty (the year only when nothing is noted about
        // it yet) and leaves out the genres past the fourth.
        void NoteLooseValues();
    };
    // Writes a stored title's cover; returns why it could not (empty when written).
    using CoverWriter = std::function<QString(qint64 titleId, const QByteArray &bytes)>;
    // Analyse: bytes read of all; Write: titles written of all. False cancels.
    using Progress = std::function<bool(qint64 done, qint64 total)>;

    // Checks the whole file and every record; false when cancelled.
    bool Analyse(const QByteArray &bytes, const TitleTransfer::Existing &existing,
                 const Progress &progress);

    // The same for titles read from another program's file; ignored names the columns or
    // fields that are not imported.
    bool Analyse(QList<Entry> entries, const QStringList &ignored,
                 const TitleTransfer::Existing &existing, const Progress &progress);

    // Why the file as a whole cannot be imported (empty when it can).
    const QString &FileFault() const { return m_fileFault; }
    const QList<Row> &Rows() const { return m_rows; }
    int Count(Status status) const;
    // Rows taken with a year kept as written (empty, or not four digits).
    int UnusualYears() const;
    const QStringList &GenresToCreate() const { return m_newGenres; }
    const QStringList &UnknownColumns() const { return m_layout.unknown; }
    int CoverCount() const;

    // Adds the titles to add (all, or all but the similar ones) to the catalogue in one
    // transaction. Returns how many were added, or -1 when cancelled; cancelled or failed
    // (DbError), nothing is written.
    // Entries' covers are written after the commit through writeCover; the titles whose
    // cover could not be written are listed in coverFaults.
    int Write(const QByteArray &bytes, bool skipSimilar, const QString &connectionString,
              const Progress &progress, const CoverWriter &writeCover = {},
              QStringList *coverFaults = nullptr) const;

    // Why bytes are no titles file at all, before any record is read.
    static QString TextFault(const QByteArray &bytes);

private:
    // Calls insert for every title to add, in file order; false when insert cancels.
    bool ForEachTitle(const QByteArray &bytes, bool skipSimilar,
                      const std::function<bool(const TitleRecord &, const QByteArray &cover,
                                               int index, int total)> &insert) const;
    void addRow(Row row, const TitleRecord &title, const TitleTransfer::Existing &existing,
                QHash<QString, int> &seen, QSet<QString> &newGenreKeys);

    QString m_fileFault;
    TitleCsv::Layout m_layout;
    QList<Row> m_rows;
    QStringList m_newGenres;
    bool m_fromEntries = false;
    QList<Entry> m_entries; // same order as m_rows
};
