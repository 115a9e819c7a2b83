#include "ImportPlan.h"

#include "LockWait.h"
#include "TitleWriter.h"

#include <QHash>
#include <QSet>

QString ImportPlan::TextFault(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return QStringLiteral("The file is empty.");
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QStringLiteral("The file is UTF-16 text, not UTF-8. Save it as UTF-8 (\"CSV "
                              "UTF-8\" in most spreadsheets) and import it again.");
    if (bytes.contains('\0'))
        return QStringLiteral("The file is not a text file: it holds bytes that no text holds "
                              "(it may be a spreadsheet's own format, or UTF-16 text).");
    return {};
}

bool ImportPlan::Analyse(const QByteArray &bytes, const TitleTransfer::Existing &existing,
                         const Progress &progress)
{
    *this = ImportPlan();
    m_fileFault = TextFault(bytes);
    if (!m_fileFault.isEmpty())
        return true;

    Csv::Reader reader(bytes);
    Csv::Record record;
    if (!reader.Next(record)) {
        m_fileFault = QStringLiteral("The file holds only empty lines.");
        return true;
    }
    if (!record.fault.isEmpty()) {
        m_fileFault = QStringLiteral("The first line (the column names) cannot be read: ")
                      + record.fault + QLatin1Char('.');
        return true;
    }
    m_layout = TitleCsv::LayoutOf(record.fields);
    if (!m_layout.fault.isEmpty()) {
        m_fileFault = m_layout.fault;
        return true;
    }

    QHash<QString, int> seen; // similar key -> line of the first title added with it
    QSet<QString> newGenreKeys;
    int counter = 0;
    while (reader.Next(record)) {
        if (++counter % 256 == 0 && !progress(reader.Offset(), bytes.size()))
            return false;
        const TitleCsv::Parsed parsed = TitleCsv::TitleFrom(record, m_layout);
        Row row{record.line,
                Status::Accepted,
                parsed.title.facts.title,
                parsed.title.facts.subTitle,
                {},
                {},
                {}};
        if (!parsed.reason.isEmpty()) {
            row.status = Status::Refused;
            row.column = parsed.column;
            row.reason = parsed.reason;
            if (!record.fault.isEmpty())
                row.line = record.faultLine;
            if (row.title.isEmpty() && m_layout.at[TitleCsv::Title] < record.fields.size())
                row.title = record.fields.value(m_layout.at[TitleCsv::Title]);
            m_rows << row;
            continue;
        }
        addRow(row, parsed.title, existing, seen, newGenreKeys);
        if (!parsed.note.isEmpty()) {
            Row &added = m_rows.back();
            added.column = TitleCsv::Headers()[TitleCsv::Year];
            added.reason +=
                (added.reason.isEmpty() ? QString() : QStringLiteral("; ")) + parsed.note;
        }
    }
    if (m_rows.isEmpty())
        m_fileFault = QStringLiteral("The file holds no titles: only the line of column names.");
    progress(bytes.size(), bytes.size());
    return true;
}

void ImportPlan::addRow(Row row, const TitleRecord &title, const TitleTransfer::Existing &existing,
                        QHash<QString, int> &seen, QSet<QString> &newGenreKeys)
{
    const QString key = TitleTransfer::SimilarKey(title.facts.title, title.facts.subTitle);
    if (existing.titleKeys.contains(key)) {
        row.status = Status::Similar;
        row.reason = QStringLiteral("a title with this name and edition is in the catalogue");
    } else if (seen.contains(key)) {
        row.status = Status::Similar;
        row.reason = QStringLiteral("the same name and edition as line %1").arg(seen[key]);
    } else {
        seen.insert(key, row.line);
    }
    for (const QString &genre : title.genres) {
        const QString genreKey = TitleTransfer::GenreKey(genre);
        if (!existing.genres.contains(genreKey) && !newGenreKeys.contains(genreKey)) {
            newGenreKeys.insert(genreKey);
            m_newGenres << genre;
        }
    }
    m_rows << row;
}

void ImportPlan::Entry::NoteLooseValues()
{
    if (title.facts.date.isEmpty() && notes.isEmpty())
        notes << QStringLiteral("no year; left empty");
    if (title.facts.director.isEmpty())
        notes << QStringLiteral("no director; left empty");
    if (title.genres.size() > 4) {
        notes << QStringLiteral("genres past the fourth left out: ")
                     + title.genres.mid(4).join(QStringLiteral(", "));
        title.genres = title.genres.mid(0, 4);
    }
}

bool ImportPlan::Analyse(QList<Entry> entries, const QStringList &ignored,
                         const TitleTransfer::Existing &existing, const Progress &progress)
{
    *this = ImportPlan();
    m_fromEntries = true;
    m_layout.unknown = ignored;
    QHash<QString, int> seen;
    QSet<QString> newGenreKeys;
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (i % 256 == 255 && progress && !progress(i, entries.size()))
            return false;
        const Entry &entry = entries[i];
        Row row{entry.line,
                Status::Accepted,
                entry.title.facts.title,
                entry.title.facts.subTitle,
                entry.column,
                entry.reason,
                entry.notes.join(QStringLiteral("; "))};
        if (!entry.reason.isEmpty()) {
            row.status = Status::Refused;
            m_rows << row;
        } else {
            addRow(row, entry.title, existing, seen, newGenreKeys);
            if (m_rows.back().status == Status::Similar && !row.note.isEmpty())
                m_rows.back().reason += QStringLiteral("; ") + row.note;
        }
    }
    m_entries = std::move(entries);
    if (m_rows.isEmpty())
        m_fileFault = QStringLiteral("The file holds no titles.");
    return true;
}

int ImportPlan::CoverCount() const
{
    int count = 0;
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        count += m_rows[i].status != Status::Refused && !m_entries[i].cover.isEmpty() ? 1 : 0;
    return count;
}

int ImportPlan::UnusualYears() const
{
    int count = 0;
    for (const Row &row : m_rows)
        count += row.status != Status::Refused && !row.column.isEmpty() ? 1 : 0;
    return count;
}

int ImportPlan::Count(Status status) const
{
    int count = 0;
    for (const Row &row : m_rows)
        count += row.status == status ? 1 : 0;
    return count;
}

bool ImportPlan::ForEachTitle(const QByteArray &bytes, bool skipSimilar,
                              const std::function<bool(const TitleRecord &, const QByteArray &cover,
                                                       int index, int total)> &insert) const
{
    const int total = Count(Status::Accepted) + (skipSimilar ? 0 : Count(Status::Similar));
    if (m_fromEntries) {
        int index = 0;
        for (qsizetype i = 0; i < m_rows.size(); ++i) {
            const Status status = m_rows[i].status;
            if (status == Status::Refused || (skipSimilar && status == Status::Similar))
                continue;
            if (!insert(m_entries[i].title, m_entries[i].cover, index++, total))
                return false;
        }
        return true;
    }
    Csv::Reader reader(bytes);
    Csv::Record record;
    reader.Next(record); // the column names
    int index = 0;
    for (const Row &row : m_rows) {
        if (!reader.Next(record))
            break;
        if (row.status == Status::Refused || (skipSimilar && row.status == Status::Similar))
            continue;
        if (!insert(TitleCsv::TitleFrom(record, m_layout).title, {}, index++, total))
            return false;
    }
    return true;
}

int ImportPlan::Write(const QByteArray &bytes, bool skipSimilar, const QString &connectionString,
                      const Progress &progress, const CoverWriter &writeCover,
                      QStringList *coverFaults) const
{
    QList<std::pair<qint64, QString>> covered; // the title's ID and name
    QList<QByteArray> covers;
    // A locked catalogue is waited for like every write: each try starts anew, after the
    // last one's writer rolled back and let the catalogue go.
    const int added = LockWait::Retrying([&] {
        covered.clear();
        covers.clear();
        int written = 0;
        // Taken for writing at once: a lock is met here, before anything is written.
        TitleWriter writer(connectionString, TitleWriter::Form::Bound,
                           TitleWriter::MissingGenre::Create, Transaction::Lock::Immediate);
        const bool finished = ForEachTitle(
            bytes, skipSimilar,
            [&](const TitleRecord &title, const QByteArray &cover, int index, int total) {
                const qint64 id = writer.Write(title);
                if (!cover.isEmpty() && writeCover) {
                    covered << std::pair{id, title.facts.title};
                    covers << cover; // shared, not copied
                }
                written = index + 1;
                return progress(index + 1, total);
            });
        if (!finished)
            return -1; // the writer rolls back when it goes
        writer.Commit();
        return written;
    });
    if (added < 0)
        return -1;
    // Only once the titles are stored: a cover never names a title that is not there.
    for (qsizetype i = 0; i < covered.size(); ++i) {
        const QString fault = writeCover(covered[i].first, covers[i]);
        if (!fault.isEmpty() && coverFaults)
            *coverFaults << covered[i].second + QStringLiteral(": ") + fault;
    }
    return added;
}
