#include "TitleFinder.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "LockWait.h"
#include "Loans.h"
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
    for (int field = 1; field < row.record().count(); ++field) {
        Letters::AppendBare(text, row.value(field).toString());
        text += '\n';
    }
}

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
        QSqlQuery query(db);
        query.setForwardOnly(true);
        LockWait::Exec(query, Statements::SearchableTitles(withLoans));
        // A title's texts take a few hundred bytes; room not written to costs no memory.
        built.m_text.reserve(qsizetype(total) * 512);
        built.m_starts.reserve(total + 1);
        built.m_ids.reserve(total);
        while (query.next()) {
            built.m_ids.append(query.value(0).toLongLong());
            built.m_starts.append(built.m_text.size());
            appendEntry(built.m_text, query);
            const int done = int(built.m_ids.size());
            if (progress && done % 2048 == 0 && !progress(done, total))
                return false;
        }
        if (query.lastError().isValid())
            throw DbError::FromSql(query.lastError());
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
