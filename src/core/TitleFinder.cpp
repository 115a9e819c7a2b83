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

// The bit of a byte in a title's byte set.
constexpr quint64 byteBit(uchar c)
{
    if (c >= 'a' && c <= 'z')
        return quint64(1) << (c - 'a');
    if (c >= '0' && c <= '9')
        return quint64(1) << (26 + c - '0');
    return quint64(1) << (36 + c % 28);
}

quint64 byteSet(QByteArrayView bytes)
{
    quint64 set = 0;
    for (const char c : bytes)
        set |= byteBit(uchar(c));
    return set;
}

// Whether a title's byte set tells on its own that the word is in its text.
bool setAnswers(const QByteArray &word)
{
    return word.size() == 1 && byteBit(uchar(word[0])) < (quint64(1) << 36);
}

// Every word of the last query lies within one of the new query's words: whatever the new
// one matches, the last one did.
bool narrows(const QList<QByteArray> &last, const QList<QByteArray> &words)
{
    return std::all_of(last.cbegin(), last.cend(), [&](const QByteArray &old) {
        return std::any_of(words.cbegin(), words.cend(),
                           [&](const QByteArray &word) { return word.contains(old); });
    });
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

    if (progress && !progress(0, total))
        return false;

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
        built.m_bytes.reserve(total);
        QByteArray &text = built.m_text;
        bool castLeft = cast.Next();
        while (facts.Next()) {
            const qint64 id = facts.Integer(0);
            const qsizetype start = text.size();
            built.m_ids.append(id);
            built.m_starts.append(start);
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
            built.m_bytes.append(byteSet(QByteArrayView(text).sliced(start)));
            const int done = int(built.m_ids.size());
            // Often: a read-ahead is paused here while the panel or the list is busy.
            if (progress && done % 256 == 0 && !progress(done, total))
                return false;
        }
    }
    // The catalogue hands the titles over by ID; IDs are looked up by halving.
    m_text = std::move(built.m_text);
    m_text.squeeze();
    m_starts = std::move(built.m_starts);
    m_starts.append(m_text.size());
    m_ids = std::move(built.m_ids);
    m_bytes = std::move(built.m_bytes);
    m_built = true;
    m_lastKept = false;
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
        m_bytes.remove(slot);
        moved = slot;
    } else if (!known) {
        m_ids.insert(slot, id);
        m_starts.insert(slot, begin);
        m_bytes.insert(slot, byteSet(entry));
    } else {
        m_bytes[slot] = byteSet(entry);
    }
    // The title may match otherwise now, and the titles after it moved.
    m_lastKept = false;
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

std::vector<int> TitleFinder::titlesWith(const QByteArray &word) const
{
    std::vector<int> matched;
    const qsizetype titles = m_ids.size();
    if (setAnswers(word)) {
        const quint64 bit = byteSet(word);
        for (qsizetype slot = 0; slot < titles; ++slot)
            if (m_bytes[slot] & bit)
                matched.push_back(int(slot));
        return matched;
    }
    // One search through all the text, going on at the next title after a hit.
    const char *text = m_text.constData();
    qsizetype from = 0;
    auto next = m_starts.cbegin();
    while (from < m_text.size()) {
        const void *hit = memmem(text + from, std::size_t(m_text.size() - from), word.constData(),
                                 std::size_t(word.size()));
        if (!hit)
            break;
        const qsizetype at = static_cast<const char *>(hit) - text;
        next = std::upper_bound(next, m_starts.cend(), at);
        matched.push_back(int(next - m_starts.cbegin() - 1));
        from = *next;
    }
    return matched;
}

bool TitleFinder::titleHas(int slot, const QByteArray &word, quint64 bytes) const
{
    if ((m_bytes[slot] & bytes) != bytes)
        return false;
    if (setAnswers(word))
        return true;
    const qsizetype begin = m_starts[slot];
    return memmem(m_text.constData() + begin, std::size_t(m_starts[slot + 1] - begin),
                  word.constData(), std::size_t(word.size()))
           != nullptr;
}

void TitleFinder::ForgetLastQuery()
{
    m_lastKept = false;
    m_lastWords.clear();
    m_lastSlots = {};
}

QVector<int> TitleFinder::MatchingRows(const QList<QByteArray> &words)
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

    const bool narrowing = m_lastKept && narrows(m_lastWords, words);
    std::vector<int> matched = narrowing ? std::move(m_lastSlots) : titlesWith(ordered.first());
    for (qsizetype w = narrowing ? 0 : 1; w < ordered.size(); ++w) {
        const QByteArray &word = ordered[w];
        const quint64 bytes = byteSet(word);
        std::erase_if(matched, [&](int slot) { return !titleHas(slot, word, bytes); });
    }

    std::vector<char> has(std::size_t(m_ids.size()), 0);
    for (const int slot : matched)
        has[std::size_t(slot)] = 1;
    m_lastWords = words;
    m_lastSlots = std::move(matched);
    m_lastKept = true;
    for (qsizetype row = 0; row < m_rowSlots.size(); ++row) {
        const int slot = m_rowSlots[row];
        if (slot >= 0 && has[std::size_t(slot)])
            rows.append(int(row));
    }
    return rows;
}
