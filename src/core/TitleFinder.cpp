#include "TitleFinder.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "LockWait.h"
#include "Loans.h"
#include "RawRows.h"
#include "Statements.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <algorithm>
#include <numeric>
#include <string.h> // memmem
#include <vector>

void TitleFinder::appendEntry(QByteArray &text, const QSqlQuery &row)
{
    // Title, edition, director, cast, and the borrower where the catalogue keeps loans.
    // The record is asked once: each call builds its fields anew.
    const int fields = row.record().count();
    for (int field = 1; field < fields; ++field) {
        Letters::AppendBare(text, row.value(field).toString());
        text += '\n';
    }
}

namespace {

// Letters::AppendBare of stored UTF-8: plain ASCII (most texts) made small in place, without
// a UTF-16 copy; anything else through the letter rule.
void appendBare(QByteArray &text, QByteArrayView utf8)
{
    for (const char c : utf8)
        if (uchar(c) >= 0x80) {
            Letters::AppendBare(text, QString::fromUtf8(utf8));
            return;
        }
    const qsizetype at = text.size();
    text.append(utf8);
    char *data = text.data();
    for (qsizetype i = at; i < text.size(); ++i)
        if (data[i] >= 'A' && data[i] <= 'Z')
            data[i] = char(data[i] + ('a' - 'A'));
}

} // namespace

bool TitleFinder::Build(Connection &connection, const Progress &progress)
{
    const QSqlDatabase db = connection.Database();
    int total = 0;
    {
        QSqlQuery count(db);
        LockWait::Exec(count, Statements::TitleCount());
        if (count.next())
            total = count.value(0).toInt();
    }

    // The current borrower is found too, where the catalogue keeps loans.
    const bool withLoans = Loans::TableExists(connection);
    TitleFinder built;
    {
        // The titles and the cast rows, both by title ID, merged here: joining each title's
        // cast in the engine took most of the read. Both statements are open together, so
        // they read the same state of the catalogue.
        RawRows facts(connection, Statements::SearchableFacts(withLoans));
        RawRows cast(connection, Statements::SearchableCast());
        // A title's texts take a few hundred bytes; room not written to costs no memory.
        built.m_text.reserve(qsizetype(total) * 512);
        built.m_starts.reserve(total + 1);
        built.m_ids.reserve(total);
        QByteArray &text = built.m_text;
        bool castLeft = cast.Next();
        while (facts.Next()) {
            const qint64 id = facts.Integer(0);
            built.m_ids.append(id);
            built.m_starts.append(text.size());
            for (int field = 1; field <= 3; ++field) {
                appendBare(text, facts.Text(field));
                text += '\n';
            }
            // Cast rows of no title are passed over; a title's are joined by line breaks.
            while (castLeft && cast.Integer(0) < id)
                castLeft = cast.Next();
            for (bool first = true; castLeft && cast.Integer(0) == id; first = false) {
                if (!first)
                    text += '\n';
                appendBare(text, cast.Text(1));
                text += '\n';
                appendBare(text, cast.Text(2));
                castLeft = cast.Next();
            }
            text += '\n';
            if (withLoans) {
                appendBare(text, facts.Text(4));
                text += '\n';
            }
            const int done = int(built.m_ids.size());
            if (progress && done % 2048 == 0 && !progress(done, total))
                return false;
        }
    }
    // The catalogue hands the titles over by ID; IDs are looked up by halving.
    m_text = std::move(built.m_text);
    m_text.squeeze();
    m_starts = std::move(built.m_starts);
    m_starts.append(m_text.size());
    m_ids = std::move(built.m_ids);
    m_built = true;
    indexRows();
    return true;
}

void TitleFinder::Update(Connection &connection, qint64 id)
{
    if (!m_built)
        return;
    QByteArray entry;
    bool exists = false;
    {
        QSqlQuery query(connection.Database());
        query.setForwardOnly(true);
        LockWait::Exec(query, Statements::SearchableTitle(id, Loans::TableExists(connection)));
        exists = query.next();
        if (exists)
            appendEntry(entry, query);
        else if (query.lastError().isValid())
            throw DbError::FromSql(query.lastError());
    }
    const auto at = std::lower_bound(m_ids.begin(), m_ids.end(), id);
    const qsizetype slot = at - m_ids.begin();
    const bool known = at != m_ids.end() && *at == id;
    if (!known && !exists)
        return;
    // The entry's bytes replaced in place; the titles after it move by the difference.
    const qsizetype begin = m_starts[slot];
    const qsizetype oldLength = known ? m_starts[slot + 1] - begin : 0;
    m_text.replace(begin, oldLength, entry);
    qsizetype moved = slot + 1;
    if (!exists) {
        m_ids.remove(slot);
        m_starts.remove(slot);
        moved = slot;
    } else if (!known) {
        m_ids.insert(slot, id);
        m_starts.insert(slot, begin);
    }
    const qsizetype delta = entry.size() - oldLength;
    for (qsizetype i = moved; i < m_starts.size(); ++i)
        m_starts[i] += delta;
    indexRows();
}

void TitleFinder::SetRows(const QVector<qint64> &ids)
{
    m_rowIds = ids;
    indexRows();
}

void TitleFinder::indexRows()
{
    // m_ids is in ascending order, as the statement reads the titles.
    m_rowSlots.resize(m_rowIds.size());
    for (qsizetype row = 0; row < m_rowIds.size(); ++row) {
        const auto at = std::lower_bound(m_ids.cbegin(), m_ids.cend(), m_rowIds[row]);
        m_rowSlots[row] =
            (at != m_ids.cend() && *at == m_rowIds[row]) ? int(at - m_ids.cbegin()) : -1;
    }
}

QList<QByteArray> TitleFinder::Words(QStringView query)
{
    QList<QByteArray> words;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= query.size(); ++i) {
        if (i < query.size() && !query[i].isSpace())
            continue;
        if (i > start) {
            QByteArray word;
            Letters::AppendBare(word, query.mid(start, i - start));
            if (!word.isEmpty() && !words.contains(word))
                words.append(word);
        }
        start = i + 1;
    }
    return words;
}

QVector<int> TitleFinder::MatchingRows(const QList<QByteArray> &words) const
{
    QVector<int> rows;
    if (words.isEmpty()) {
        rows.resize(m_rowSlots.size());
        std::iota(rows.begin(), rows.end(), 0);
        return rows;
    }
    // The longest word first: it leaves the fewest titles for the others to look at.
    QList<QByteArray> ordered = words;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const QByteArray &a, const QByteArray &b) { return a.size() > b.size(); });

    const char *text = m_text.constData();
    const qsizetype titles = m_ids.size();
    std::vector<char> has(std::size_t(titles), 0);
    const QByteArray &first = ordered.first();
    qsizetype from = 0;
    while (from < m_text.size()) {
        const void *hit = memmem(text + from, std::size_t(m_text.size() - from), first.constData(),
                                 std::size_t(first.size()));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char *>(hit) - text;
        const qsizetype slot =
            std::upper_bound(m_starts.cbegin(), m_starts.cend(), at) - m_starts.cbegin() - 1;
        has[std::size_t(slot)] = 1;
        from = m_starts[slot + 1];
    }
    for (qsizetype w = 1; w < ordered.size(); ++w) {
        const QByteArray &word = ordered[w];
        for (qsizetype slot = 0; slot < titles; ++slot) {
            if (!has[std::size_t(slot)])
                continue;
            const qsizetype begin = m_starts[slot];
            const std::size_t length = std::size_t(m_starts[slot + 1] - begin);
            if (!memmem(text + begin, length, word.constData(), std::size_t(word.size())))
                has[std::size_t(slot)] = 0;
        }
    }
    for (qsizetype row = 0; row < m_rowSlots.size(); ++row) {
        const int slot = m_rowSlots[row];
        if (slot >= 0 && has[std::size_t(slot)])
            rows.append(int(row));
    }
    return rows;
}
