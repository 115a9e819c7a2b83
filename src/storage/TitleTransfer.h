#pragma once

#include "TitleRecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class Connection;
class Transaction;

namespace TitleTransfer {

// Called once per title read; returning false stops the reading.
using TitleVisitor = std::function<bool(const TitleRecord &title, qint64 index, qint64 total)>;

// Every title of both lists (Inventory first, then Wishlist, each by title), read in one
// read transaction so the set is consistent. Absent values (Null) come as empty text;
// genres in link order, cast in the order it was saved. Returns false when the visitor stopped it.
// Throws DbError.
bool ReadAll(const QString &connectionString, const TitleVisitor &visitor);

// The key under which two titles count as the same title: title and edition compared the
// way the add command compares names (the letter rule: case ignored in every script).
QString SimilarKey(const QString &title, const QString &subTitle);
// Genre names compared the same way.
QString GenreKey(const QString &name);

// What an import is checked against: the similar-title keys of every stored title, and
// the stored genre names by their key.
struct Existing
{
    QSet<QString> titleKeys;
    QHash<QString, QString> genres;
};
Existing ReadExisting(const QString &connectionString); // throws DbError

// Writes whole titles in one transaction, taken for writing at once: nothing reaches the
// catalogue until Commit, and an inserter that goes away uncommitted rolls everything back. Genres
// that are not there yet are created once. Every call throws DbError.
class TitleInserter
{
public:
    explicit TitleInserter(const QString &connectionString);
    ~TitleInserter();
    TitleInserter(const TitleInserter &) = delete;
    TitleInserter &operator=(const TitleInserter &) = delete;

    qint64 Insert(const TitleRecord &title); // its id is not used; returns the new one
    void Commit();
    int GenresCreated() const { return m_genresCreated; }

private:
    qint64 genreId(const QString &name);

    struct Statements;
    // Destroyed in reverse: statements finalized, then rolled back unless committed, then closed.
    std::unique_ptr<Connection> m_connection;
    std::unique_ptr<Transaction> m_transaction;
    std::unique_ptr<Statements> m_statements; // prepared once
    QHash<QString, qint64> m_genreIds;
    int m_genresCreated = 0;
};

} // namespace TitleTransfer
