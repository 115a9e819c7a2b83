#pragma once

#include "TitleRecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class Connection;

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

} // namespace TitleTransfer
