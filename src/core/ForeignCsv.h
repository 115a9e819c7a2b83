#pragma once

#include "ImportPlan.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

// Titles from a CSV file another program wrote (a spreadsheet, a film list's export,
// another catalogue's export): its separator and encoding found from its first lines, its
// columns matched to the title's fields by their header, and loose values read the way
// people write them (a year inside a date, several names in one cell, cast rows in the
// usual forms).
namespace ForeignCsv {

enum class Field {
    None,
    Title,
    Edition,
    Year,
    Directors,
    Summary,
    Features,
    EasterEggs,
    Genres,
    Cast,
    Wishlist,
    CoverFile
};
// In the order the matching step offers them; "Do not import" first.
const QList<Field> &Fields();
QString FieldName(Field field);
Field FieldNamed(const QString &name); // None for a name that is no field

enum class Encoding { Utf8, Windows1252 };

struct Dialect
{
    char separator = ',';
    Encoding encoding = Encoding::Utf8;
};

// The separator that splits the first lines into the same number of fields most often
// (comma, semicolon, tab), and UTF-8 when every byte is UTF-8, else Windows-1252.
Dialect Detect(const QByteArray &bytes);
// The bytes as UTF-8 text (the mark some programs write first is dropped).
QByteArray ToUtf8(const QByteArray &bytes, Encoding encoding);

// Whether the bytes are Reelvane's own titles file: comma-separated UTF-8 whose header
// names only the file's own columns, Title among them. Those import as they always have.
bool IsOwnLayout(const QByteArray &bytes);

// The field a header names, case and accents ignored, with the usual synonyms
// ("Film" -> Title, "Release Date" -> Year, "Starring" -> Cast); None when unknown.
Field Guess(const QString &header);

// The four-digit year inside a date ("2001-05-03", "03/05/2001", "May 2001", "2001");
// empty when there is none.
QString YearFrom(const QString &text);
// Several values in one cell, split at the first of "|", ";", "/" or "," it holds,
// each trimmed, empty ones dropped.
QStringList SplitValues(const QString &cell);
// Cast rows, one a line (or joined by "|" or ";"), each "Actor<TAB>Character",
// "Actor::Character", "Actor:Character", "Actor as Character", "Actor (Character)" or
// just the actor.
QVector<CastMember> CastFrom(const QString &cell);

// The file's header and its first records, as the matching step shows them.
struct Sample
{
    QStringList header;
    QList<QStringList> rows;
    QString fault; // the header cannot be read
};
Sample SampleOf(const QByteArray &utf8, char separator, int rows);

// Every record of the file as an import entry under the matching (one field per column).
// A cover file's name is read relative to coverFolder. Nothing when progress cancels.
QList<ImportPlan::Entry> Entries(const QByteArray &utf8, char separator,
                                 const QVector<Field> &matching, const QString &coverFolder,
                                 const ImportPlan::Progress &progress = {});
// The headers of the columns not imported.
QStringList Ignored(const QStringList &header, const QVector<Field> &matching);

// The user's matching for each header, remembered between imports (QSettings, so a test
// redirects it with QSettings::setPath).
Field Remembered(const QString &header);
// The matching the step starts from: each header's remembered or guessed field, no field
// twice (a header naming the field itself, "Year", wins over a synonym, "Date"; else
// the first column).
QVector<Field> Initial(const QStringList &header);
void Remember(const QStringList &header, const QVector<Field> &matching);

} // namespace ForeignCsv
