#include "TitleFinder.h"

#include "Connection.h"
#include "DbError.h"
#include "Letters.h"
#include "Loans.h"
#include "Statements.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <numeric>
#include <string.h> // memmem
#include <vector>

namespace {

// Letters::Bare works on each character alone: the same, a character at a time, straight
// into UTF-8 (reading 100,000 titles spends most of its time here).
void appendBare(QByteArray &text, QStringView value)
{
    thread_local QHash<char16_t, QByteArray> bare;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value[i].unicode();
        if (c < 0x80) {
            text += char(c >= u'A' && c <= u'Z' ? c + 32 : c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < value.size()
                   && QChar::isLowSurrogate(value[i + 1].unicode())) {
            text += Letters::Bare(value.mid(i, 2)).toUtf8();
            ++i;
        } else {
            auto known = bare.constFind(c);
            if (known == bare.constEnd())
                known = bare.insert(c, Letters::Bare(value.mid(i, 1)).toUtf8());
            text += *known;
        }
    }
}

void appendText(QByteArray &text, QStringView value)
{
    appendBare(text, value);
    text += '\n';
}

} // namespace

bool TitleFinder::Build(Connection &connection, const Progress &progress)
{
    const QSqlDatabase db = connection.Database();
    int total = 0;
    {
        QSqlQuery count(db);
        if (!count.exec(Statements::TitleCount()))
            throw DbError::FromSql(count.lastError());
        if (count.next())
            total = count.value(0).toInt();
    }

    // The current borrower is found too, where the catalogue keeps loans.
    const bool withLoans = Loans::TableExists(connection);
    const int fields = withLoans ? 5 : 4;
    TitleFinder built;
    {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(Statements::SearchableTitles(withLoans)))
            throw DbError::FromSql(query.lastError());
        // A title's texts take a few hundred bytes; room not written to costs no memory.
        built.m_text.reserve(qsizetype(total) * 512);
        built.m_starts.reserve(total + 1);
        built.m_ids.reserve(total);
        while (query.next()) {
            built.m_ids.append(query.value(0).toLongLong());
            built.m_starts.append(built.m_text.size());
            for (int field = 1; field <= fields; ++field)
                appendText(built.m_text, query.value(field).toString());
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
            appendBare(word, query.mid(start, i - start));
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
