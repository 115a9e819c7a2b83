#include "BrowseCounts.h"

#include "Connection.h"
#include "Letters.h"
#include "ListedTitles.h"
#include "RawRows.h"

#include <QHash>
#include <algorithm>
#include <exception>
#include <map>
#include <memory>
#include <thread>

namespace BrowseCounts {

namespace {

// Counting reads each index page once: a small page cache is enough.
void openForCounting(Connection &connection, const QString &connectionString)
{
    connection.Open(connectionString);
    connection.Execute(QStringLiteral("PRAGMA cache_size = -256"));
}

QStringView spaceTrimmed(QStringView text)
{
    // SQLite's trim(): spaces only, as the statements that find the titles trim.
    while (text.startsWith(QLatin1Char(' ')))
        text = text.mid(1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// One stored spelling and its titles in the list.
struct Spelling
{
    QString text;
    qint64 titles = 0;
};

// The values of one branch joined under the letter rule. A part is counted exactly (its
// titles once each); two parts of one value may share titles unless the branch says not.
class Values
{
public:
    // One stored spelling of a value and its titles (a part of the value).
    void Add(const QString &spelling, qint64 titles)
    {
        Add(Letters::Folded(spaceTrimmed(spelling)), spelling, titles);
    }
    // `key`: the spelling's Letters::Folded, trimmed of spaces.
    void Add(const QString &key, const QString &spelling, qint64 titles)
    {
        int at = m_at.value(key, -1);
        if (at < 0) {
            at = int(m_values.size());
            m_at.insert(key, at);
            m_values.append(Value{});
        }
        Value &value = m_values[at];
        value.titles += titles;
        ++value.parts;
        const auto same =
            std::find_if(value.spellings.begin(), value.spellings.end(),
                         [&spelling](const Spelling &each) { return each.text == spelling; });
        if (same == value.spellings.end())
            value.spellings.append({spelling, titles});
        else
            same->titles += titles;
    }

    // Parts that share no titles (a director's texts): their sum is the count.
    template<typename Recount>
    QVector<NameCount> Take(bool disjointParts, Recount &&recount)
    {
        QVector<NameCount> counts;
        counts.reserve(m_values.size());
        for (Value &value : m_values) {
            const Spelling *named = &value.spellings.first();
            QStringList spellings;
            for (const Spelling &spelling : value.spellings) {
                spellings << spelling.text;
                if (spelling.titles > named->titles
                    || (spelling.titles == named->titles
                        && Letters::Compare(spaceTrimmed(spelling.text), spaceTrimmed(named->text))
                               < 0))
                    named = &spelling;
            }
            NameCount count{spaceTrimmed(named->text).toString(), value.titles,
                            std::move(spellings)};
            if (value.parts > 1 && !disjointParts)
                count.titles = recount(count);
            counts.append(std::move(count));
        }
        return counts;
    }

private:
    struct Value
    {
        qint64 titles = 0;
        int parts = 0;
        QVector<Spelling> spellings;
    };
    QVector<Value> m_values;
    QHash<QString, int> m_at;
};

struct Counted
{
    QVector<NameCount> values;
    qint64 none = 0;
};

Counted genres(Connection &connection, int list)
{
    QHash<qint64, QString> names;
    for (RawRows rows(connection, BrowseStatements::GenreNames()); rows.Next();)
        names.insert(rows.Integer(0), QString::fromUtf8(rows.Text(1)));
    ListedTitles titles(connection, list);
    Values values;
    titles.Run(connection, BrowseStatements::GenreTitles(ListedTitles::Aggregate),
               [&](RawRows &rows) {
                   const auto name = names.constFind(rows.Integer(0)); // links to no genre left out
                   const qint64 counted = rows.Integer(1);
                   if (name == names.constEnd() || counted == 0)
                       return;
                   titles.MarkGroup();
                   values.Add(*name, counted);
               });
    return {values.Take(false,
                        [&](const NameCount &value) {
                            return qint64(Titles(connection, Branch::Genres, list, value).size());
                        }),
            titles.Size() - titles.Marked()};
}

Counted directors(Connection &connection, int list)
{
    // Each text (NOCASE) once with its titles, then cut at its separators.
    Values values;
    qint64 none = 0;
    QHash<QString, QString> foldedOf; // a director is in many texts: folded once
    for (RawRows rows(connection, BrowseStatements::DirectorTitles(list)); rows.Next();) {
        const qint64 titles = rows.Integer(1);
        QString names = QString::fromUtf8(rows.Text(0));
        for (const QChar separator : {u';', u'&', u'/'})
            names.replace(separator, QLatin1Char(','));
        QStringList seen; // the names of this text, folded: a title counted once per name
        for (const QStringView piece : QStringView(names).split(QLatin1Char(','))) {
            const QString name = spaceTrimmed(piece).toString();
            if (name.isEmpty())
                continue;
            auto folded = foldedOf.constFind(name);
            if (folded == foldedOf.constEnd())
                folded = foldedOf.insert(name, Letters::Folded(name));
            if (seen.contains(*folded))
                continue;
            seen << *folded;
            values.Add(*folded, name, titles);
        }
        if (seen.isEmpty()) // no director, or separators only
            none += titles;
    }
    return {values.Take(true, [](const NameCount &value) { return value.titles; }), none};
}

Counted decades(Connection &connection, int list)
{
    // A four-digit year, first digit not 0, spaces around allowed: the statements' rule.
    std::map<QString, qint64> decades;
    qint64 none = 0;
    for (RawRows rows(connection, BrowseStatements::DateTitles(list)); rows.Next();) {
        const qint64 titles = rows.Integer(1);
        const QByteArrayView date = rows.Text(0);
        qsizetype from = 0;
        qsizetype to = date.size();
        while (from < to && date[from] == ' ')
            ++from;
        while (to > from && date[to - 1] == ' ')
            --to;
        const QByteArrayView year = date.sliced(from, to - from);
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        if (year.size() != 4 || year[0] == '0' || !std::all_of(year.begin(), year.end(), digit))
            none += titles;
        else
            decades[QString::fromLatin1(year.first(3)) + QLatin1Char('0')] += titles;
    }
    QVector<NameCount> values;
    for (const auto &[decade, titles] : decades)
        values.append({decade + QLatin1Char('s'), titles, {decade}});
    return {values, none};
}

// The actors one connection counted: their names, the list's titles they have marked.
struct ActorPart
{
    std::unique_ptr<ListedTitles> titles;
    std::vector<std::pair<QString, qint64>> names;
};

void countActors(Connection &connection, int list, const QString &from, const QString &before,
                 ActorPart &part)
{
    if (!part.titles)
        part.titles = std::make_unique<ListedTitles>(connection, list);
    ListedTitles &titles = *part.titles;
    titles.Run(connection, BrowseStatements::ActorTitles(ListedTitles::Aggregate, from, before),
               [&](RawRows &rows) {
                   const qint64 counted = rows.Integer(1);
                   if (counted == 0)
                       return;
                   QString name = QString::fromUtf8(rows.Text(0));
                   if (spaceTrimmed(name).isEmpty()) // blank cast rows are no actor
                       return;
                   titles.MarkGroup();
                   part.names.emplace_back(std::move(name), counted);
               });
}

Counted actors(Connection &connection, int list, std::vector<ActorPart> &parts)
{
    Values values;
    ListedTitles *titles = nullptr;
    for (ActorPart &part : parts) {
        for (const auto &[name, counted] : part.names)
            values.Add(name, counted);
        if (!part.titles)
            continue;
        if (titles)
            titles->MarkAll(*part.titles);
        else
            titles = part.titles.get();
    }
    if (!titles) {
        parts.front().titles = std::make_unique<ListedTitles>(connection, list);
        titles = parts.front().titles.get();
    }
    return {values.Take(false,
                        [&](const NameCount &value) {
                            return qint64(Titles(connection, Branch::Actors, list, value).size());
                        }),
            titles->Size() - titles->Marked()};
}

QVector<qint64> ids(Connection &connection, const QString &statement)
{
    QVector<qint64> found;
    for (RawRows rows(connection, statement); rows.Next();)
        found.append(rows.Integer(0));
    return found;
}

QVector<NameCount> inOrder(Counted counted)
{
    QVector<NameCount> &values = counted.values;
    const QVector<int> order = Letters::SortedOrder(
        int(values.size()), [&values](int index) { return QStringView(values[index].name); });
    QVector<NameCount> sorted;
    sorted.reserve(values.size() + 1);
    for (const int index : order)
        sorted.append(std::move(values[index]));
    if (counted.none > 0)
        sorted.append({QStringLiteral("(none)"), counted.none, {}});
    return sorted;
}

} // namespace

QVector<NameCount> Read(Connection &connection, Branch branch, int list)
{
    switch (branch) {
    case Branch::Genres:
        return inOrder(genres(connection, list));
    case Branch::Directors:
        return inOrder(directors(connection, list));
    case Branch::Decades:
        return inOrder(decades(connection, list));
    case Branch::Actors:
        break;
    }
    std::vector<ActorPart> parts(1);
    countActors(connection, list, {}, {}, parts.front());
    return inOrder(actors(connection, list, parts));
}

AllBranches ReadAll(const QString &connectionString, int list)
{
    // Two threads with a connection each, the cast rows (by far the most) in four ranges of
    // names, two for each, and the smaller branches shared so that both end about together
    // (the shares measured on the benchmarks' catalogue).
    static const QString bounds[] = {
        {}, QStringLiteral("f"), QStringLiteral("k"), QStringLiteral("p"), {}};
    AllBranches all;
    std::vector<ActorPart> parts(2);
    std::exception_ptr failed;
    Connection connection;
    {
        std::jthread second([&] {
            try {
                Connection own;
                openForCounting(own, connectionString);
                for (const int range : {1, 2})
                    countActors(own, list, bounds[range], bounds[range + 1], parts[1]);
                all[int(Branch::Genres)] = inOrder(genres(own, list));
            } catch (...) {
                failed = std::current_exception();
            }
        });
        openForCounting(connection, connectionString);
        for (const int range : {0, 3})
            countActors(connection, list, bounds[range], bounds[range + 1], parts[0]);
        all[int(Branch::Directors)] = inOrder(directors(connection, list));
        all[int(Branch::Decades)] = inOrder(decades(connection, list));
    } // the second thread joined here, also when this one threw
    if (failed)
        std::rethrow_exception(failed);
    all[int(Branch::Actors)] = inOrder(actors(connection, list, parts));
    return all;
}

QVector<qint64> Titles(Connection &connection, Branch branch, int list, const NameCount &value)
{
    return ids(connection, BrowseStatements::Titles(branch, list, value.spellings));
}

QVector<qint64> ChosenTitles(Connection &connection, Branch branch, int list,
                             const NameCount &value)
{
    if (value.spellings.isEmpty() || (branch != Branch::Genres && branch != Branch::Actors))
        return Titles(connection, branch, list, value);
    return ids(connection, BrowseStatements::LinkedTitles(branch, value.spellings));
}

} // namespace BrowseCounts
