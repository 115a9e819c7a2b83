#include "ForeignCsv.h"

#include "Csv.h"
#include "ImportedCover.h"
#include "Letters.h"
#include "TitleCsv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSettings>
#include <QStringDecoder>

namespace ForeignCsv {

namespace {

struct Named
{
    Field field;
    const char *name;
};

// The names the matching step shows (and QSettings keeps) for each field.
const Named kNames[] = {
    {Field::None, "Do not import"},    {Field::Title, "Title"},
    {Field::Edition, "Edition"},       {Field::Year, "Year"},
    {Field::Directors, "Director(s)"}, {Field::Summary, "Summary"},
    {Field::Features, "Features"},     {Field::EasterEggs, "Easter Eggs"},
    {Field::Genres, "Genres"},         {Field::Cast, "Cast"},
    {Field::Wishlist, "Wishlist"},     {Field::CoverFile, "Cover file"},
};

// Headers that name a field, compared bare (case and accents ignored).
const QHash<QString, Field> &synonyms()
{
    static const QHash<QString, Field> table = [] {
        const std::pair<Field, const char *> words[] = {
            {Field::Title, "title"},
            {Field::Title, "name"},
            {Field::Title, "film"},
            {Field::Title, "movie"},
            {Field::Title, "titre"},
            {Field::Title, "titel"},
            {Field::Edition, "edition"},
            {Field::Edition, "sub title"},
            {Field::Edition, "subtitle"},
            {Field::Edition, "version"},
            {Field::Edition, "medium"},
            {Field::Year, "year"},
            {Field::Year, "release date"},
            {Field::Year, "released"},
            {Field::Year, "date"},
            {Field::Year, "production year"},
            {Field::Year, "release year"},
            {Field::Year, "jahr"},
            {Field::Year, "annee"},
            {Field::Directors, "director"},
            {Field::Directors, "directors"},
            {Field::Directors, "director(s)"},
            {Field::Directors, "directed by"},
            {Field::Directors, "regisseur"},
            {Field::Directors, "regie"},
            {Field::Directors, "realisateur"},
            {Field::Summary, "summary"},
            {Field::Summary, "plot"},
            {Field::Summary, "plot summary"},
            {Field::Summary, "description"},
            {Field::Summary, "overview"},
            {Field::Summary, "synopsis"},
            {Field::Features, "features"},
            {Field::EasterEggs, "easter eggs"},
            {Field::Genres, "genre"},
            {Field::Genres, "genres"},
            {Field::Genres, "genre(s)"},
            {Field::Genres, "category"},
            {Field::Genres, "categories"},
            {Field::Cast, "cast"},
            {Field::Cast, "actors"},
            {Field::Cast, "starring"},
            {Field::Cast, "besetzung"},
            {Field::Wishlist, "wishlist"},
            {Field::Wishlist, "wish list"},
            {Field::Wishlist, "list"},
            {Field::CoverFile, "cover"},
            {Field::CoverFile, "cover file"},
            {Field::CoverFile, "cover image"},
        };
        QHash<QString, Field> built;
        for (const auto &[field, word] : words)
            built.insert(Letters::Bare(QString::fromLatin1(word)), field);
        return built;
    }();
    return table;
}

// Windows-1252's 0x80..0x9F; the rest is Latin-1. Unassigned bytes stay their code.
const char16_t kCp1252High[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                  0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

// The program's settings, named here: a test points QSettings' user scope elsewhere.
const QString kSettingsOwner = QStringLiteral("Reelvane");

QString settingsKey(const QString &header)
{
    // Keys may not hold "/" or "\"; the bare header in hex holds neither.
    return QStringLiteral("ImportColumns/")
           + QString::fromLatin1(Letters::Bare(header.trimmed()).toUtf8().toHex());
}

} // namespace

const QList<Field> &Fields()
{
    static const QList<Field> fields = [] {
        QList<Field> list;
        for (const Named &named : kNames)
            list << named.field;
        return list;
    }();
    return fields;
}

QString FieldName(Field field)
{
    for (const Named &named : kNames)
        if (named.field == field)
            return QString::fromLatin1(named.name);
    return {};
}

Field FieldNamed(const QString &name)
{
    for (const Named &named : kNames)
        if (name == QLatin1String(named.name))
            return named.field;
    return Field::None;
}

Dialect Detect(const QByteArray &bytes)
{
    Dialect dialect;
    dialect.encoding = isUtf8(bytes) ? Encoding::Utf8 : Encoding::Windows1252;
    // The first lines (outside quotes): the separator that is in the header and splits
    // most lines into as many fields as the header wins.
    QList<QByteArray> lines;
    QByteArray line;
    bool quoted = false;
    for (qsizetype i = 0; i < bytes.size() && lines.size() < 20 && i < (1 << 20); ++i) {
        const char c = bytes[i];
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '\n' || c == '\r')) {
            if (!line.isEmpty())
                lines << line;
            line.clear();
        } else if (!quoted || c == '"') {
            line += c;
        }
    }
    if (!line.isEmpty())
        lines << line;
    if (lines.isEmpty())
        return dialect;
    int best = -1;
    for (const char separator : {',', ';', '\t'}) {
        const qsizetype fields = lines[0].count(separator);
        if (fields == 0)
            continue;
        int agreeing = 0;
        for (const QByteArray &each : lines)
            agreeing += each.count(separator) == fields ? 1 : 0;
        if (agreeing > best) {
            best = agreeing;
            dialect.separator = separator;
        }
    }
    return dialect;
}

QByteArray ToUtf8(const QByteArray &bytes, Encoding encoding)
{
    const QByteArray body = bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes;
    if (encoding == Encoding::Utf8)
        return body;
    QString text(body.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < body.size(); ++i) {
        const uchar c = uchar(body[i]);
        text[i] = c >= 0x80 && c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(c);
    }
    return text.toUtf8();
}

bool IsOwnLayout(const QByteArray &bytes)
{
    if (!isUtf8(bytes))
        return false;
    Csv::Reader reader(bytes);
    Csv::Record header;
    if (!reader.Next(header) || !header.fault.isEmpty())
        return false;
    const TitleCsv::Layout layout = TitleCsv::LayoutOf(header.fields);
    return layout.fault.isEmpty() && layout.unknown.isEmpty();
}

Field Guess(const QString &header)
{
    return synonyms().value(Letters::Bare(header.simplified()), Field::None);
}

QString YearFrom(const QString &text)
{
    static const QRegularExpression year(QStringLiteral("(?<![0-9])([12][0-9]{3})(?![0-9])"));
    const QRegularExpressionMatch match = year.match(text);
    return match.hasMatch() ? match.captured(1) : QString();
}

QStringList SplitValues(const QString &cell)
{
    QChar separator;
    for (const QChar candidate : {QChar(u'|'), QChar(u';'), QChar(u'/'), QChar(u',')})
        if (cell.contains(candidate)) {
            separator = candidate;
            break;
        }
    QStringList values;
    for (const QString &value : separator.isNull() ? QStringList{cell} : cell.split(separator))
        if (!value.trimmed().isEmpty())
            values << value.trimmed();
    return values;
}

QVector<CastMember> CastFrom(const QString &cell)
{
    QString text = cell;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines;
    if (text.contains(u'\n'))
        lines = text.split(u'\n');
    else if (text.contains(u'|'))
        lines = text.split(u'|');
    else
        lines = text.split(u';');
    static const QRegularExpression as(QStringLiteral("^(.+?)\\s+as\\s+(.+)$"),
                                       QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression bracketed(QStringLiteral("^(.+?)\\s*\\((.+)\\)$"));
    QVector<CastMember> cast;
    for (const QString &line : std::as_const(lines)) {
        if (line.trimmed().isEmpty())
            continue;
        CastMember member;
        QRegularExpressionMatch match;
        qsizetype at = -1;
        if ((at = line.indexOf(u'\t')) >= 0)
            member = {line.left(at), line.mid(at + 1)};
        else if ((at = line.indexOf(QStringLiteral("::"))) >= 0)
            member = {line.left(at), line.mid(at + 2)};
        else if ((at = line.indexOf(u':')) >= 0)
            member = {line.left(at), line.mid(at + 1)};
        else if ((match = as.match(line.trimmed())).hasMatch())
            member = {match.captured(1), match.captured(2)};
        else if ((match = bracketed.match(line.trimmed())).hasMatch())
            member = {match.captured(1), match.captured(2)};
        else
            member = {line, QString()};
        cast << CastMember{member.actor.trimmed(), member.character.trimmed()};
    }
    return cast;
}

Sample SampleOf(const QByteArray &utf8, char separator, int rows)
{
    Sample sample;
    Csv::Reader reader(utf8, separator);
    Csv::Record record;
    if (!reader.Next(record)) {
        sample.fault = QStringLiteral("The file holds only empty lines.");
        return sample;
    }
    if (!record.fault.isEmpty())
        sample.fault = QStringLiteral("The first line (the column names) cannot be read: ")
                       + record.fault + QLatin1Char('.');
    sample.header = record.fields;
    while (sample.rows.size() < rows && reader.Next(record))
        sample.rows << record.fields;
    return sample;
}

QList<ImportPlan::Entry> Entries(const QByteArray &utf8, char separator,
                                 const QVector<Field> &matching, const QString &coverFolder,
                                 const ImportPlan::Progress &progress)
{
    QList<ImportPlan::Entry> entries;
    Csv::Reader reader(utf8, separator);
    Csv::Record record;
    if (!reader.Next(record))
        return entries;
    const QStringList header = record.fields;
    while (reader.Next(record)) {
        if (progress && entries.size() % 256 == 255 && !progress(reader.Offset(), utf8.size()))
            return {};
        ImportPlan::Entry entry;
        entry.line = record.line;
        TitleFacts &f = entry.title.facts;
        const auto headerOf = [&](Field field) {
            const qsizetype at = matching.indexOf(field);
            return at >= 0 ? header.value(at) : FieldName(field);
        };
        if (!record.fault.isEmpty()) {
            entry.line = record.faultLine;
            entry.reason = record.fault;
            entry.column = header.value(record.faultField);
        } else if (record.fields.size() != header.size()) {
            entry.reason = QStringLiteral("%1 fields where the first line has %2")
                               .arg(record.fields.size())
                               .arg(header.size());
        }
        QString coverName;
        for (qsizetype i = 0; i < matching.size() && i < record.fields.size(); ++i) {
            const QString &cell = record.fields[i];
            switch (matching[i]) {
            case Field::None:
                break;
            case Field::Title:
                f.title = cell.trimmed();
                break;
            case Field::Edition:
                f.subTitle = cell.trimmed();
                break;
            case Field::Year:
                f.date = YearFrom(cell);
                if (f.date.isEmpty() && !cell.trimmed().isEmpty())
                    entry.notes
                        << QStringLiteral("no year in \"%1\"; left empty").arg(cell.left(40));
                break;
            case Field::Directors:
                f.director = SplitValues(cell).join(QStringLiteral(", "));
                break;
            case Field::Summary:
                f.summary = cell;
                break;
            case Field::Features:
                f.features = cell;
                break;
            case Field::EasterEggs:
                f.eggs = cell;
                break;
            case Field::Genres:
                entry.title.genres = SplitValues(cell);
                break;
            case Field::Cast:
                entry.title.cast = CastFrom(cell);
                break;
            case Field::Wishlist: {
                static const QStringList yes{
                    QStringLiteral("wishlist"), QStringLiteral("wish list"), QStringLiteral("yes"),
                    QStringLiteral("true"),     QStringLiteral("1"),         QStringLiteral("x")};
                static const QStringList no{QStringLiteral(""),   QStringLiteral("inventory"),
                                            QStringLiteral("no"), QStringLiteral("false"),
                                            QStringLiteral("0"),  QStringLiteral("owned")};
                const QString value = cell.trimmed().toLower();
                if (yes.contains(value))
                    f.wishList = 1;
                else if (!no.contains(value) && entry.reason.isEmpty()) {
                    entry.reason = QStringLiteral("the list must be Inventory or Wishlist");
                    entry.column = header.value(i);
                }
                break;
            }
            case Field::CoverFile:
                coverName = cell.trimmed();
                break;
            }
        }
        if (entry.reason.isEmpty() && f.title.isEmpty()) {
            entry.reason = QStringLiteral("no title");
            entry.column = headerOf(Field::Title);
        }
        if (!entry.reason.isEmpty()) {
            entries << entry;
            continue;
        }
        entry.NoteLooseValues();
        if (!coverName.isEmpty()) {
            QFile file(QDir(coverFolder).filePath(coverName));
            QString fault;
            if (!file.open(QIODevice::ReadOnly) || !QFileInfo(file).isFile())
                fault = QStringLiteral("cover \"%1\" cannot be read").arg(coverName);
            else if (file.size() > ImportedCover::kMaxBytes)
                fault = QStringLiteral("the cover is larger than %1 MB")
                            .arg(ImportedCover::kMaxBytes >> 20);
            else
                fault = ImportedCover::Fault(entry.cover = file.readAll());
            if (!fault.isEmpty()) {
                entry.cover.clear();
                entry.notes << fault + QStringLiteral("; no cover");
            }
        }
        entries << entry;
    }
    return entries;
}

QStringList Ignored(const QStringList &header, const QVector<Field> &matching)
{
    QStringList ignored;
    for (qsizetype i = 0; i < header.size(); ++i)
        if (matching.value(i, Field::None) == Field::None)
            ignored << header[i];
    return ignored;
}

Field Remembered(const QString &header)
{
    const QSettings settings(QSettings::UserScope, kSettingsOwner, kSettingsOwner);
    const QVariant value = settings.value(settingsKey(header));
    return value.isValid() ? FieldNamed(value.toString()) : Guess(header);
}

QVector<Field> Initial(const QStringList &header)
{
    QVector<Field> guessed;
    for (const QString &name : header)
        guessed << Remembered(name);
    QVector<Field> matching(header.size(), Field::None);
    for (const bool exact : {true, false})
        for (qsizetype i = 0; i < header.size(); ++i) {
            const Field field = guessed[i];
            const bool named =
                Letters::Bare(header[i].simplified()) == Letters::Bare(FieldName(field));
            if (field != Field::None && named == exact && !matching.contains(field))
                matching[i] = field;
        }
    return matching;
}

void Remember(const QStringList &header, const QVector<Field> &matching)
{
    QSettings settings(QSettings::UserScope, kSettingsOwner, kSettingsOwner);
    for (qsizetype i = 0; i < header.size() && i < matching.size(); ++i)
        settings.setValue(settingsKey(header[i]), FieldName(matching[i]));
}

} // namespace ForeignCsv
