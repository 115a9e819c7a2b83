#include "TellicoFile.h"

#include "ForeignCsv.h"
#include "ImportedCover.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>
#include <archive.h>
#include <archive_entry.h>
#include <memory>

namespace TellicoFile {

namespace {

// Type numbers of the format's collections; 3 is video.
QString kindOf(const QString &type)
{
    static const QHash<QString, QString> kinds{
        {QStringLiteral("1"), QStringLiteral("general")},
        {QStringLiteral("2"), QStringLiteral("book")},
        {QStringLiteral("4"), QStringLiteral("music")},
        {QStringLiteral("5"), QStringLiteral("bibliography")},
        {QStringLiteral("6"), QStringLiteral("comic book")},
        {QStringLiteral("7"), QStringLiteral("wine")},
        {QStringLiteral("8"), QStringLiteral("coin")},
        {QStringLiteral("9"), QStringLiteral("stamp")},
        {QStringLiteral("10"), QStringLiteral("trading card")},
        {QStringLiteral("11"), QStringLiteral("video game")},
        {QStringLiteral("12"), QStringLiteral("file catalogue")},
        {QStringLiteral("13"), QStringLiteral("board game")}};
    return kinds.value(type, QStringLiteral("unknown"));
}

struct ArchiveFree
{
    void operator()(archive *a) const { archive_read_free(a); }
};

// Reads the current entry's data, at most cap bytes; false with why when it is larger or
// cannot be read.
bool readEntry(archive *a, qint64 cap, QByteArray *out, QString *why)
{
    char chunk[1 << 16];
    for (;;) {
        const la_ssize_t got = archive_read_data(a, chunk, sizeof chunk);
        if (got == 0)
            return true;
        if (got < 0) {
            *why = QString::fromUtf8(archive_error_string(a));
            return false;
        }
        if (out->size() + got > cap) {
            *why = QStringLiteral("more than %1 MB").arg(cap >> 20);
            out->clear();
            return false;
        }
        out->append(chunk, got);
    }
}

// tellico.xml and the pictures under images/ (by their name there), read into memory.
QString unzip(const QByteArray &bytes, QByteArray *xml, QHash<QString, QByteArray> *images,
              QHash<QString, QString> *unreadable)
{
    std::unique_ptr<archive, ArchiveFree> a(archive_read_new());
    archive_read_support_format_zip(a.get());
    if (archive_read_open_memory(a.get(), bytes.constData(), size_t(bytes.size())) != ARCHIVE_OK)
        return QStringLiteral("The file is not a zip archive.");
    bool foundXml = false;
    qint64 imageBytes = 0;
    archive_entry *entry = nullptr;
    int status = ARCHIVE_OK;
    while ((status = archive_read_next_header(a.get(), &entry)) == ARCHIVE_OK) {
        const char *path = archive_entry_pathname_utf8(entry);
        const QString name = QString::fromUtf8(path ? path : archive_entry_pathname(entry));
        QString why;
        if (name == QLatin1String("tellico.xml") && !foundXml) {
            foundXml = true;
            if (!readEntry(a.get(), kMaxXml, xml, &why))
                return QStringLiteral("tellico.xml in the archive cannot be read: ") + why
                       + QLatin1Char('.');
        } else if (name.startsWith(QLatin1String("images/"))) {
            // The name is only a key for the cover fields; it never becomes a path.
            const QString id = name.mid(7);
            QByteArray picture;
            const qint64 cap = qMin(ImportedCover::kMaxBytes, kMaxImages - imageBytes);
            if (id.isEmpty())
                continue;
            if (readEntry(a.get(), cap, &picture, &why)) {
                imageBytes += picture.size();
                images->insert(id, picture);
            } else {
                unreadable->insert(id, QStringLiteral("the cover unpacks to ") + why);
            }
        }
        // Anything else is left unread.
    }
    if (status == ARCHIVE_FATAL && !foundXml)
        return QStringLiteral("The file is not a zip archive that can be read (")
               + QString::fromUtf8(archive_error_string(a.get())) + QStringLiteral(").");
    if (!foundXml)
        return QStringLiteral("The zip archive holds no tellico.xml: it is not a collection "
                              "file of that program.");
    return {};
}

// One entry's field as read: its text, or its values (a table's rows, each with its
// columns).
struct FieldValue
{
    QString text;
    QList<QStringList> rows;
    bool rowHasColumns = false;

    QStringList values() const
    {
        QStringList all;
        for (const QStringList &row : rows)
            if (!row.value(0).trimmed().isEmpty())
                all << row.value(0).trimmed();
        if (rows.isEmpty() && !text.trimmed().isEmpty())
            all << text.trimmed();
        return all;
    }
};

void apply(const QString &name, const FieldValue &value, ImportPlan::Entry &entry, QString *coverId,
           QSet<QString> *ignored)
{
    TitleFacts &f = entry.title.facts;
    const QStringList values = value.values();
    const QString first = values.value(0);
    if (name == QLatin1String("title")) {
        f.title = first;
    } else if (name == QLatin1String("year")) {
        f.date = ForeignCsv::YearFrom(first);
    } else if (name == QLatin1String("director") || name == QLatin1String("directors")) {
        f.director = values.join(QStringLiteral(", "));
    } else if (name == QLatin1String("genre") || name == QLatin1String("genres")) {
        entry.title.genres = values;
    } else if (name == QLatin1String("cast") || name == QLatin1String("casts")) {
        for (QStringList row : value.rows) {
            // Older files keep a table's columns in one text, separated by "::".
            if (row.size() == 1 && row[0].contains(QLatin1String("::")))
                row = row[0].split(QStringLiteral("::"));
            if (!row.value(0).trimmed().isEmpty())
                entry.title.cast << CastMember{row.value(0).trimmed(), row.value(1).trimmed()};
        }
        if (value.rows.isEmpty() && !value.text.trimmed().isEmpty())
            entry.title.cast = ForeignCsv::CastFrom(value.text);
    } else if (name == QLatin1String("plot")) {
        f.summary = value.rows.isEmpty() ? value.text.trimmed() : first;
    } else if (name == QLatin1String("medium")) {
        f.subTitle = values.join(QStringLiteral(", "));
    } else if (name == QLatin1String("cover")) {
        *coverId = first;
    } else if (name == QLatin1String("wishlist")) {
        f.wishList = first.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 ? 1 : 0;
    } else if (!values.isEmpty()) {
        ignored->insert(name);
    }
}

Result readXml(const QByteArray &xmlBytes, const QHash<QString, QByteArray> &zipImages,
               const QHash<QString, QString> &unreadable, const ImportPlan::Progress &progress)
{
    Result result;
    QXmlStreamReader xml(xmlBytes);
    // Internal entities are expanded by the reader (external ones never are); the format
    // uses none, so a file that declares any is refused, and the expansion stays capped.
    xml.setEntityExpansionLimit(1024);
    QStringList path;
    bool inVideo = false;
    bool collectionSeen = false;
    ImportPlan::Entry entry;
    QString coverId;
    QList<std::pair<ImportPlan::Entry, QString>> read; // entries with their cover's ID
    QString field;
    FieldValue value;
    QString imageId;
    QString imageText;
    QHash<QString, QByteArray> embedded;
    QSet<QString> ignored;
    const auto where = [&xml] { return QStringLiteral(" (line %1)").arg(xml.lineNumber()); };
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            if (!xml.entityDeclarations().isEmpty()) {
                result.fault = QStringLiteral("The file declares its own entities, which no "
                                              "collection file does; it is not read.");
                return result;
            }
            break;
        case QXmlStreamReader::StartElement: {
            const QString name = xml.name().toString();
            path << name;
            const qsizetype depth = path.size();
            if (depth > kMaxDepth) {
                result.fault = QStringLiteral("The file's elements are nested more than %1 deep")
                                   .arg(kMaxDepth)
                               + where() + QLatin1Char('.');
                return result;
            }
            if (depth == 1 && name != QLatin1String("tellico")) {
                result.fault = QStringLiteral("The file is XML but not a collection file: its "
                                              "first element is <%1>, not <tellico>.")
                                   .arg(name.left(60));
                return result;
            }
            if (depth == 2 && name == QLatin1String("collection") && !collectionSeen) {
                collectionSeen = true;
                const QString type = xml.attributes().value(QLatin1String("type")).toString();
                if (type != QLatin1String("3")) {
                    result.fault = QStringLiteral("The file holds a %1 collection (<collection "
                                                  "type=\"%2\">); only video collections can be "
                                                  "imported.")
                                       .arg(kindOf(type), type.left(20));
                    return result;
                }
                inVideo = true;
            }
            if (!inVideo)
                break;
            if (depth == 3 && name == QLatin1String("entry")) {
                entry = ImportPlan::Entry();
                entry.line = int(xml.lineNumber());
                coverId.clear();
            } else if (depth == 4 && path[2] == QLatin1String("entry")) {
                field = name;
                value = FieldValue();
            } else if (depth == 5 && path[2] == QLatin1String("entry")) {
                value.rows << QStringList{QString()};
                value.rowHasColumns = false;
            } else if (depth == 6 && path[2] == QLatin1String("entry")) {
                if (value.rowHasColumns)
                    value.rows.last() << QString();
                value.rowHasColumns = true;
            } else if (depth == 4 && path[2] == QLatin1String("images")) {
                imageId = xml.attributes().value(QLatin1String("id")).toString();
                imageText.clear();
            }
            break;
        }
        case QXmlStreamReader::Characters: {
            if (!inVideo)
                break;
            const qsizetype depth = path.size();
            if (depth >= 4 && path[2] == QLatin1String("entry")) {
                if (depth == 4)
                    value.text += xml.text();
                else if (depth == 5 && !value.rowHasColumns)
                    value.rows.last().last() += xml.text();
                else if (depth == 6)
                    value.rows.last().last() += xml.text();
            } else if (depth == 4 && path[2] == QLatin1String("images")) {
                imageText += xml.text();
            }
            break;
        }
        case QXmlStreamReader::EndElement: {
            const qsizetype depth = path.size();
            if (inVideo && depth == 4 && path[2] == QLatin1String("entry")) {
                apply(field, value, entry, &coverId, &ignored);
            } else if (inVideo && depth == 3 && path[2] == QLatin1String("entry")) {
                read << std::pair{entry, coverId};
                if (progress && read.size() % 256 == 0
                    && !progress(xml.characterOffset(), xmlBytes.size()))
                    return {};
            } else if (inVideo && depth == 4 && path[2] == QLatin1String("images")) {
                const QByteArray data = QByteArray::fromBase64(imageText.toLatin1());
                if (!imageId.isEmpty() && !data.isEmpty())
                    embedded.insert(imageId, data);
            } else if (depth == 2 && inVideo) {
                inVideo = false; // the first collection only
            }
            path.removeLast();
            break;
        }
        default:
            break;
        }
    }
    if (xml.hasError()) {
        result.fault = QStringLiteral("The file cannot be read as XML: %1 (line %2).")
                           .arg(xml.errorString())
                           .arg(xml.lineNumber());
        return result;
    }
    if (!collectionSeen) {
        result.fault = QStringLiteral("The file holds no <collection>.");
        return result;
    }
    for (auto &[title, cover] : read) {
        if (title.title.facts.title.isEmpty()) {
            title.reason = QStringLiteral("no title");
            title.column = QStringLiteral("<title>");
        } else {
            title.NoteLooseValues();
        }
        if (!cover.isEmpty() && title.reason.isEmpty()) {
            QByteArray picture = zipImages.value(cover, embedded.value(cover));
            QString fault = unreadable.value(cover);
            if (fault.isEmpty() && picture.isEmpty())
                fault = QStringLiteral("the cover is not in the file");
            if (fault.isEmpty())
                fault = ImportedCover::Fault(picture);
            if (fault.isEmpty())
                title.cover = picture;
            else
                title.notes << fault + QStringLiteral("; no cover");
        }
        result.entries << title;
    }
    result.ignored = QStringList(ignored.begin(), ignored.end());
    result.ignored.sort();
    return result;
}

} // namespace

bool Looks(const QByteArray &bytes)
{
    if (bytes.startsWith("PK\x03\x04"))
        return true;
    const QByteArray start = bytes.left(512).trimmed();
    return start.startsWith("<?xml") || start.startsWith("\xEF\xBB\xBF<?xml")
           || start.startsWith("<tellico");
}

Result Read(const QByteArray &bytes, const ImportPlan::Progress &progress)
{
    if (bytes.startsWith("PK\x03\x04")) {
        QByteArray xml;
        QHash<QString, QByteArray> images;
        QHash<QString, QString> unreadable;
        Result result;
        result.fault = unzip(bytes, &xml, &images, &unreadable);
        if (!result.fault.isEmpty())
            return result;
        return readXml(xml, images, unreadable, progress);
    }
    if (!Looks(bytes)) {
        Result result;
        result.fault = QStringLiteral("The file is neither a zip archive nor XML: it is not a "
                                      "collection file of that program.");
        return result;
    }
    if (bytes.size() > kMaxXml) {
        Result result;
        result.fault = QStringLiteral("The file is larger than %1 MB.").arg(kMaxXml >> 20);
        return result;
    }
    return readXml(bytes, {}, {}, progress);
}

} // namespace TellicoFile
