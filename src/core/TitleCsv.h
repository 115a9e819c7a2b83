#pragma once

#include "Csv.h"
#include "TitleTransfer.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>

// The titles file: one header record, then one record per title.
//
// Genres: the names in link order joined by "; "; a ";" or "\" inside a name is written
// "\;" or "\\", a blank at either end of a name "\ ".
// Cast: one line (LF) per member inside the cell, the actor and the character separated
// by a tab; inside a name a tab, CR, LF or "\" is written "\t", "\r", "\n" or "\\". So any
// name survives, whatever dashes, semicolons, quotes or line breaks it holds.
namespace TitleCsv {

enum Column {
    Title,
    Edition,
    Year,
    DirectedBy,
    Summary,
    Features,
    EasterEggs,
    Genres,
    Cast,
    List,
    // The open loan, at the end: files without these columns read as before.
    Borrower,
    LentOn,
    DueBack,
    ColumnCount
};

const std::array<QString, ColumnCount> &Headers();

QStringList RecordFor(const TitleRecord &title);

QString EncodeGenres(const QStringList &genres);
QStringList DecodeGenres(const QString &cell);
QString EncodeCast(const QVector<CastMember> &cast);
QVector<CastMember> DecodeCast(const QString &cell);

// Where each known column is in a file, found by its header (any letter case, any order,
// outer blanks ignored); -1 for a column the file does not have.
struct Layout
{
    std::array<int, ColumnCount> at{};
    int fieldCount = 0;
    QStringList unknown; // headers of columns that are ignored
    QString fault;       // a header the file cannot be read without
};
Layout LayoutOf(const QStringList &header);

// The title in a record, or why it is refused (with the column's header name).
struct Parsed
{
    TitleRecord title;
    QString reason;
    QString column;
    QString note; // taken, but the Year column holds what the editor would not accept
};
Parsed TitleFrom(const Csv::Record &record, const Layout &layout);

} // namespace TitleCsv
