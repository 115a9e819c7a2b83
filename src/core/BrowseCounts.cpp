#include "BrowseCounts.h"

#include "Connection.h"
#include "Letters.h"
#include "KeyRuns.h"
#include "ListedTitles.h"
#include "RawRows.h"

#include <QHash>
#include <QVarLengthArray>
#include <algorithm>
#include <exception>
#include <future>
#include <map>
#include <optional>
#include <string_view>
#include <thread>
#include <unordered_map>

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

QByteArrayView spaceTrimmed(QByteArrayView text)
{
    while (text.startsWith(' '))
        text = text.sliced(1);
    while (text.endsWith(' '))
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
        const Place place = PlaceOf(key, spelling);
        AddTo(place, titles);
    }
    // Where a spelling's titles are added: its value, and its place among the value's.
    struct Place
    {
        int value;
        int spelling;
    };
    Place PlaceOf(const QString &key, const QString &spelling)
    {
        int at = m_at.value(key, -1);
        if (at < 0) {
            at = int(m_values.size());
            m_at.insert(key, at);
            m_values.append(Value{});
        }
        QVector<Spelling> &spellings = m_values[at].spellings;
        const auto same =
            std::find_if(spellings.cbegin(), spellings.cend(),
                         [&spelling](const Spelling &each) { return each.text == spelling; });
        if (same != spellings.cend())
            return {at, int(same - spellings.cbegin())};
        spellings.append({spelling, 0});
        return {at, int(spellings.size() - 1)};
    }
    void AddTo(Place place, qint64 titles)
    {
        Value &value = m_values[place.value];
        value.titles += titles;
        ++value.parts;
        value.spellings[place.spelling].titles += titles;
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

Counted genres(Connection &connection, int list, ListedTitles &titles)
{
    titles.ClearMarks();
    QHash<qint64, QString> names;
    for (RawRows rows(connection, BrowseStatements::GenreNames()); rows.Next();)
        names.insert(rows.Integer(0), QString::fromUtf8(rows.Text(1)));
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

// Per text of a column of the list's titles (the texts NOCASE calls equal once, by one
// spelling), its titles: counted in a scan of the column's index, or grouped by the engine
// where the rows come out of that order. Blank texts may be left out.
std::vector<KeyRuns::Run> textRuns(Connection &connection, ListedTitles &titles,
                                   const QString &scan, const QString &grouped)
{
    if (auto runs = KeyRuns(titles).Count(connection, scan))
        return std::move(*runs);
    std::vector<KeyRuns::Run> runs;
    for (RawRows rows(connection, grouped); rows.Next();)
        runs.push_back({rows.Text(0).toByteArray(), rows.Integer(1)});
    return runs;
}

Counted directors(Connection &connection, int list, ListedTitles &titles)
{
    // Each text once with its titles, cut at its separators (ASCII: cut as bytes).
    const std::vector<KeyRuns::Run> runs =
        textRuns(connection, titles, BrowseStatements::DirectorRuns(KeyRuns::Aggregate, list),
                 BrowseStatements::DirectorTitles(list));
    // A director is in many texts: each spelling read once (keyed by views of the runs).
    std::unordered_map<std::string_view, Values::Place> places;
    Values values;
    qint64 none = titles.Size(); // less the titles of each text that names a director
    for (const KeyRuns::Run &run : runs) {
        QVarLengthArray<int, 4> seen; // this text's values: a title counted once in each
        const QByteArrayView text = run.key;
        for (qsizetype from = 0; from <= text.size();) {
            qsizetype to = from;
            while (to < text.size() && text[to] != ',' && text[to] != ';' && text[to] != '&'
                   && text[to] != '/')
                ++to;
            if (const QByteArrayView name = spaceTrimmed(text.sliced(from, to - from));
                !name.isEmpty()) {
                const auto [place, added] = places.try_emplace(
                    std::string_view(name.data(), size_t(name.size())), Values::Place{});
                if (added) {
                    const QString spelling = QString::fromUtf8(name);
                    place->second = values.PlaceOf(Letters::Folded(spelling), spelling);
                }
                if (!seen.contains(place->second.value)) {
                    seen.append(place->second.value);
                    values.AddTo(place->second, run.titles);
                }
            }
            from = to + 1;
        }
        if (!seen.isEmpty()) // else no director, or separators only
            none -= run.titles;
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
        const QByteArrayView year = spaceTrimmed(rows.Text(0));
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

// The actors' runs counted in a scan of their index, or, where the rows came out of order
// (a catalogue another tool indexed otherwise), grouped by the engine.
Counted actors(Connection &connection, int list, ListedTitles &titles,
               const std::optional<std::vector<KeyRuns::Run>> &runs)
{
    Values values;
    if (runs) {
        for (const KeyRuns::Run &run : *runs)
            values.Add(QString::fromUtf8(run.key), run.titles);
    } else {
        titles.ClearMarks();
        titles.Run(connection, BrowseStatements::ActorTitles(ListedTitles::Aggregate),
                   [&](RawRows &rows) {
                       const qint64 counted = rows.Integer(1);
                       if (counted == 0)
                           return;
                       const QString name = QString::fromUtf8(rows.Text(0));
                       if (spaceTrimmed(name).isEmpty()) // blank cast rows are no actor
                           return;
                       titles.MarkGroup();
                       values.Add(name, counted);
                   });
    }
    return {values.Take(false,
                        [&](const NameCount &value) {
                            return qint64(Titles(connection, Branch::Actors, list, value).size());
                        }),
            titles.Size() - titles.Marked()};
}

std::optional<std::vector<KeyRuns::Run>> actorRuns(Connection &connection, ListedTitles &titles,
                                                   bool downward = false,
                                                   KeyRuns::Meeting *meeting = nullptr)
{
    return KeyRuns(titles, downward, meeting)
        .Count(connection, BrowseStatements::ActorRuns(KeyRuns::Aggregate));
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
    if (branch == Branch::Decades)
        return inOrder(decades(connection, list));
    ListedTitles titles(connection, list);
    if (branch == Branch::Genres)
        return inOrder(genres(connection, list, titles));
    if (branch == Branch::Directors)
        return inOrder(directors(connection, list, titles));
    const auto runs = actorRuns(connection, titles);
    return inOrder(actors(connection, list, titles, runs));
}

AllBranches ReadAll(const QString &connectionString, int list)
{
    // Two threads with a connection each. One reads the list's titles, hands them over and
    // scans the actors' index (the cast rows, by far the most) from its start; the other
    // counts the other three branches, then scans that index from its end until the two meet.
    AllBranches all;
    KeyRuns::Meeting meeting;
    std::promise<ListedTitles> listRead;
    std::optional<ListedTitles> lastTitles;
    std::optional<std::vector<KeyRuns::Run>> lastRuns;
    std::exception_ptr failed;
    Connection connection;
    std::optional<ListedTitles> titles;
    std::optional<std::vector<KeyRuns::Run>> runs;
    {
        std::jthread second([&, handed = listRead.get_future()]() mutable {
            try {
                Connection own;
                openForCounting(own, connectionString);
                all[int(Branch::Decades)] = inOrder(decades(own, list)); // the list not needed
                ListedTitles &listed = lastTitles.emplace(handed.get());
                all[int(Branch::Genres)] = inOrder(genres(own, list, listed));
                all[int(Branch::Directors)] = inOrder(directors(own, list, listed));
                listed.ClearMarks(); // now the actors'
                lastRuns = actorRuns(own, listed, true, &meeting);
            } catch (...) {
                failed = std::current_exception();
            }
        });
        try {
            openForCounting(connection, connectionString);
            listRead.set_value(titles.emplace(connection, list));
        } catch (...) {
            listRead.set_exception(std::current_exception()); // else the other waits for ever
            throw;
        }
        runs = actorRuns(connection, *titles, false, &meeting);
    } // the second thread joined here, also when this one threw
    if (failed)
        std::rethrow_exception(failed);
    if (runs && lastRuns) {
        runs->insert(runs->end(), std::make_move_iterator(lastRuns->begin()),
                     std::make_move_iterator(lastRuns->end()));
        titles->MarkAll(*lastTitles);
    } else {
        runs.reset(); // counted again by the engine
    }
    all[int(Branch::Actors)] = inOrder(actors(connection, list, *titles, runs));
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
