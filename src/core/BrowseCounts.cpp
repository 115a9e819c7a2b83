#include "BrowseCounts.h"

#include "Connection.h"
#include "Letters.h"
#include "RawRows.h"
#include "RecordList.h"

#include <QHash>
#include <algorithm>
#include <exception>
#include <map>
#include <thread>
#include <vector>

namespace BrowseCounts {

namespace {

// The list's titles, each with a slot for per-title marks: a bit per ID over their range,
// or, where the IDs are scattered wider than that is worth, a sorted search.
class TitleSet
{
public:
    TitleSet(Connection &connection, int list)
    {
        RawRows rows(connection, BrowseStatements::ListTitles(list));
        while (rows.Next())
            m_ids.push_back(rows.Integer(0));
        std::sort(m_ids.begin(), m_ids.end());
        if (m_ids.empty())
            return;
        const quint64 span = quint64(m_ids.back()) - quint64(m_ids.front()) + 1;
        if (span > 64 * quint64(m_ids.size()) + (1u << 20))
            return;
        m_first = m_ids.front();
        m_slots.assign(span, -1);
        for (size_t at = 0; at < m_ids.size(); ++at)
            m_slots[quint64(m_ids[at]) - quint64(m_first)] = qint32(at);
    }

    qint64 Size() const { return qint64(m_ids.size()); }

    // The title's slot (0 to Size() - 1), -1 for a title of another list or none.
    qint32 SlotOf(qint64 id) const
    {
        if (!m_slots.empty()) {
            const quint64 at = quint64(id) - quint64(m_first);
            return at < m_slots.size() ? m_slots[at] : -1;
        }
        const auto found = std::lower_bound(m_ids.cbegin(), m_ids.cend(), id);
        return found != m_ids.cend() && *found == id ? qint32(found - m_ids.cbegin()) : -1;
    }

private:
    std::vector<qint64> m_ids;
    std::vector<qint32> m_slots;
    qint64 m_first = 0;
};

// The list's titles that have a value, each counted once.
class Covered
{
public:
    explicit Covered(const TitleSet &titles) : m_seen(size_t(titles.Size())) {}
    void Mark(qint32 slot)
    {
        if (!m_seen[slot]) {
            m_seen[slot] = true;
            ++m_count;
        }
    }
    qint64 Count() const { return m_count; }

private:
    std::vector<bool> m_seen;
    qint64 m_count = 0;
};

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
    void Add(const QVector<Spelling> &spellings, qint64 titles)
    {
        const QString key = Letters::Folded(spaceTrimmed(spellings.first().text));
        int at = m_at.value(key, -1);
        if (at < 0) {
            at = int(m_values.size());
            m_at.insert(key, at);
            m_values.append(Value{});
        }
        Value &value = m_values[at];
        value.titles += titles;
        ++value.parts;
        for (const Spelling &spelling : spellings) {
            const auto same = std::find_if(
                value.spellings.begin(), value.spellings.end(),
                [&spelling](const Spelling &each) { return each.text == spelling.text; });
            if (same == value.spellings.end())
                value.spellings.append(spelling);
            else
                same->titles += spelling.titles;
        }
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
                        && Letters::Compare(spaceTrimmed(spelling.text),
                                            spaceTrimmed(named->text))
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
    const TitleSet titles(connection, list);
    QHash<qint64, QString> names;
    for (RawRows rows(connection, BrowseStatements::GenreNames()); rows.Next();)
        names.insert(rows.Integer(0), QString::fromUtf8(rows.Text(1)));
    Covered covered(titles);
    Values values;
    RawRows links(connection, BrowseStatements::GenreLinks());
    // Links come by genre, then by title: a genre's titles are counted as they pass.
    qint64 genre = 0;
    const QString *name = nullptr;
    qint64 counted = 0;
    qint64 last = 0;
    const auto finish = [&] {
        if (name && counted > 0)
            values.Add({{*name, counted}}, counted);
    };
    for (bool first = true; links.Next(); first = false) {
        if (first || links.Integer(0) != genre) {
            finish();
            genre = links.Integer(0);
            const auto found = names.constFind(genre);
            name = found == names.constEnd() ? nullptr : &*found; // a link to no genre
            counted = 0;
        }
        const qint64 title = links.Integer(1);
        const qint32 slot = titles.SlotOf(title);
        if (!name || slot < 0 || (counted > 0 && title == last))
            continue;
        ++counted;
        last = title;
        covered.Mark(slot);
    }
    finish();
    return {values.Take(false,
                        [&](const NameCount &value) {
                            return qint64(Titles(connection, Branch::Genres, list, value).size());
                        }),
            titles.Size() - covered.Count()};
}

Counted directors(Connection &connection, int list)
{
    // Each different text once (a title per row), then cut at its separators.
    QHash<QByteArray, qint64> texts;
    qint64 none = 0;
    for (RawRows rows(connection, BrowseStatements::Directors(list)); rows.Next();) {
        if (rows.IsNull(0))
            ++none;
        else
            ++texts[rows.Text(0).toByteArray()];
    }
    Values values;
    for (auto text = texts.cbegin(); text != texts.cend(); ++text) {
        QString names = QString::fromUtf8(text.key());
        for (const QChar separator : {u';', u'&', u'/'})
            names.replace(separator, QLatin1Char(','));
        QStringList seen; // the names of this text, folded: a title counted once per name
        for (const QStringView piece : QStringView(names).split(QLatin1Char(','))) {
            const QStringView name = spaceTrimmed(piece);
            if (name.isEmpty())
                continue;
            const QString folded = Letters::Folded(name);
            if (seen.contains(folded))
                continue;
            seen << folded;
            values.Add({{name.toString(), text.value()}}, text.value());
        }
        if (seen.isEmpty())
            none += text.value();
    }
    return {values.Take(true, [](const NameCount &value) { return value.titles; }), none};
}

Counted decades(Connection &connection, int list)
{
    // A four-digit year, first digit not 0, spaces around allowed: the statements' rule.
    std::map<QString, qint64> decades;
    qint64 none = 0;
    for (RawRows rows(connection, BrowseStatements::Dates(list)); rows.Next();) {
        const QByteArrayView date = rows.Text(0);
        qsizetype from = 0;
        qsizetype to = date.size();
        while (from < to && date[from] == ' ')
            ++from;
        while (to > from && date[to - 1] == ' ')
            --to;
        const QByteArrayView year = date.sliced(from, to - from);
        const auto digit = [](char c) { return c >= '0' && c <= '9'; };
        if (year.size() != 4 || year[0] == '0' || !std::all_of(year.begin(), year.end(), digit)) {
            ++none;
            continue;
        }
        ++decades[QString::fromLatin1(year.first(3)) + QLatin1Char('0')];
    }
    QVector<NameCount> values;
    for (const auto &[decade, titles] : decades)
        values.append({decade + QLatin1Char('s'), titles, {decade}});
    return {values, none};
}

// NOCASE: A to Z folded, nothing else.
bool nocaseEqual(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype at = 0; at < a.size(); ++at) {
        char x = a[at];
        char y = b[at];
        if (x >= 'A' && x <= 'Z')
            x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = char(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

Counted actors(Connection &connection, int list)
{
    const TitleSet titles(connection, list);
    Covered covered(titles);
    Values values;
    // A run: the cast rows of NOCASE-equal spellings, their titles ascending.
    struct RunSpelling
    {
        QByteArray text;
        qint64 titles = 0;
        qint64 last = 0;
    };
    QVector<RunSpelling> run;
    qsizetype current = 0;
    bool blank = false;
    qint64 runTitles = 0;
    qint64 runLast = 0;
    const auto finish = [&] {
        if (runTitles == 0)
            return;
        QVector<Spelling> spellings;
        for (const RunSpelling &spelling : run)
            if (spelling.titles > 0)
                spellings.append({QString::fromUtf8(spelling.text), spelling.titles});
        values.Add(spellings, runTitles);
    };
    for (RawRows rows(connection, BrowseStatements::ActorLinks()); rows.Next();) {
        const QByteArrayView text = rows.Text(0);
        if (run.isEmpty() || text != run[current].text) {
            if (!run.isEmpty() && nocaseEqual(text, run.first().text)) {
                current = 0;
                while (current < run.size() && text != run[current].text)
                    ++current;
                if (current == run.size())
                    run.append({text.toByteArray()});
            } else {
                finish();
                run = {{text.toByteArray()}};
                current = 0;
                blank = spaceTrimmed(QString::fromUtf8(text)).isEmpty();
                runTitles = 0;
            }
        }
        const qint64 title = rows.Integer(1);
        const qint32 slot = titles.SlotOf(title);
        if (blank || slot < 0)
            continue;
        if (runTitles == 0 || title != runLast) {
            ++runTitles;
            runLast = title;
            covered.Mark(slot);
        }
        RunSpelling &spelling = run[current];
        if (spelling.titles == 0 || title != spelling.last) {
            ++spelling.titles;
            spelling.last = title;
        }
    }
    finish();
    return {values.Take(false,
                        [&](const NameCount &value) {
                            return qint64(Titles(connection, Branch::Actors, list, value).size());
                        }),
            titles.Size() - covered.Count()};
}

} // namespace

QVector<NameCount> Read(Connection &connection, Branch branch, int list)
{
    Counted counted;
    switch (branch) {
    case Branch::Genres:
        counted = genres(connection, list);
        break;
    case Branch::Directors:
        counted = directors(connection, list);
        break;
    case Branch::Decades:
        counted = decades(connection, list);
        break;
    case Branch::Actors:
        counted = actors(connection, list);
        break;
    }
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

AllBranches ReadAll(const QString &connectionString, int list)
{
    AllBranches all;
    std::exception_ptr failed;
    {
        std::jthread second([&] {
            try {
                Connection connection;
                connection.Open(connectionString);
                all[int(Branch::Actors)] = Read(connection, Branch::Actors, list);
            } catch (...) {
                failed = std::current_exception();
            }
        });
        Connection connection;
        connection.Open(connectionString);
        for (const Branch branch : {Branch::Genres, Branch::Directors, Branch::Decades})
            all[int(branch)] = Read(connection, branch, list);
    } // the second thread joined here, also when this one threw
    if (failed)
        std::rethrow_exception(failed);
    return all;
}

QVector<qint64> Titles(Connection &connection, Branch branch, int list, const NameCount &value)
{
    RecordList rows;
    rows.Open(BrowseStatements::Titles(branch, list, value.spellings), connection);
    QVector<qint64> ids(rows.RecordCount());
    for (int row = 0; row < ids.size(); ++row)
        ids[row] = rows.ValueAt(row, 0).toLongLong();
    return ids;
}

} // namespace BrowseCounts
