#pragma once

#include "TitleRecord.h"
#include "Transaction.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <memory>

class Connection;

// The one way titles reach the catalogue: the editor's save, the import, and whatever
// adds or changes titles later. Every title written through one writer is one
// transaction: nothing is kept until Commit, and a writer that goes away uncommitted rolls
// everything back. Every call throws DbError.
//
// One set of rules for every caller: text without a value is stored as empty text, never
// Null; empty genre names are skipped; genre links in the order given, then the links kept
// from before an edit (only where the genre still exists and is not linked yet); cast rows
// in the order given; a changed title whose row is gone is not written at all. Only how the
// statements reach the catalogue differs (Form), and what a genre name the catalogue does
// not have means (MissingGenre).
class TitleWriter
{
public:
    // Text: each statement's text from Statements, the values quoted into it (the editor's
    // save). Bound: the inserts prepared once and their values bound, for the thousands of
    // titles of an import (as text, the import benchmark took 3.05 times its floor, not 1.41).
    enum class Form { Text, Bound };
    // Fail: the name was picked from the catalogue, so a missing genre was removed meanwhile
    // and the write fails. Create: a new genre of that name is added (the import).
    enum class MissingGenre { Fail, Create };

    TitleWriter(const QString &connectionString, Form form, MissingGenre missingGenre,
                Transaction::Lock lock = Transaction::Lock::Deferred);
    ~TitleWriter();
    TitleWriter(const TitleWriter &) = delete;
    TitleWriter &operator=(const TitleWriter &) = delete;

    // Writes a new title when title.id is 0, else replaces the facts, genre links and cast of
    // the title with that ID (title.genreIds are not used). keptGenreIds: links, by genre ID,
    // of the title being replaced that stay beside the new ones. Returns the title's ID, or 0
    // when the title to replace is gone; then nothing of it was written.
    qint64 Write(const TitleRecord &title, const QVector<qint64> &keptGenreIds = {});
    // True while Write removes the old links of the title it replaces (a failure then is
    // reported as one of deleting).
    bool RemovingOldLinks() const { return m_removingOldLinks; }
    void Commit();

private:
    qint64 insertTitle(const TitleFacts &facts);
    qint64 genreId(const QString &name);
    void link(qint64 titleId, qint64 genreId);
    void castMember(qint64 titleId, const CastMember &member);

    struct Prepared;
    const Form m_form;
    const MissingGenre m_missingGenre;
    // Destroyed in reverse: statements finalized, then rolled back unless committed, then
    // closed.
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Transaction> m_transaction;
    std::unique_ptr<Prepared> m_prepared; // Bound only
    QHash<QString, qint64> m_genreIds;    // Bound: every genre by its letter-rule key
    bool m_removingOldLinks = false;
};
