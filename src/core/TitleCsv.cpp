#include "TitleCsv.h"

#include <QDate>
#include <QRegularExpression>

namespace TitleCsv {

namespace {

const QChar kSlash = QLatin1Char('\\');

void appendCastName(QString &out, const QString &name)
{
    for (const QChar c : name) {
        if (c == kSlash)
            out += QStringLiteral("\\\\");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c == QLatin1Char('\r'))
            out += QStringLiteral("\\r");
        else if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else
            out += c;
    }
}

QString unescapeCastName(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == kSlash && i + 1 < text.size()) {
            const QChar next = text[++i];
            out += next == QLatin1Char('t')   ? QChar(QLatin1Char('\t'))
                   : next == QLatin1Char('r') ? QChar(QLatin1Char('\r'))
                   : next == QLatin1Char('n') ? QChar(QLatin1Char('\n'))
                                              : next;
        } else {
            out += text[i];
        }
    }
    return out;
}

} // namespace

const std::array<QString, ColumnCount> &Headers()
{
    static const std::array<QString, ColumnCount> headers{
        QStringLiteral("Title"),       QStringLiteral("Edition"),  QStringLiteral("Year"),
        QStringLiteral("Directed By"), QStringLiteral("Summary"),  QStringLiteral("Features"),
        QStringLiteral("Easter Eggs"), QStringLiteral("Genres"),   QStringLiteral("Cast"),
        QStringLiteral("List"),        QStringLiteral("Borrower"), QStringLiteral("Lent On"),
        QStringLiteral("Due Back")};
    return headers;
}

QString EncodeGenres(const QStringList &genres)
{
    QStringList names;
    for (const QString &genre : genres) {
        QString name;
        for (qsizetype i = 0; i < genre.size(); ++i) {
            const QChar c = genre[i];
            if (c == kSlash || c == QLatin1Char(';')
                || (c.isSpace() && (i == 0 || i == genre.size() - 1)))
                name += kSlash;
            name += c;
        }
        names << name;
    }
    return names.join(QStringLiteral("; "));
}

QStringList DecodeGenres(const QString &cell)
{
    // Unescaped blanks around a name belong to the separator (people type "Drama;Crime"
    // and "Drama ; Crime" too); escaped ones belong to the name.
    QStringList names;
    QString name;
    qsizetype keepFrom = -1; // first character that must stay (escaped or not blank)
    qsizetype keepTo = -1;
    auto finish = [&] {
        if (keepFrom >= 0)
            names << name.mid(keepFrom, keepTo - keepFrom + 1);
        name.clear();
        keepFrom = keepTo = -1;
    };
    for (qsizetype i = 0; i < cell.size(); ++i) {
        QChar c = cell[i];
        bool escaped = false;
        if (c == kSlash && i + 1 < cell.size()) {
            c = cell[++i];
            escaped = true;
        } else if (c == QLatin1Char(';')) {
            finish();
            continue;
        }
        name += c;
        if (escaped || !c.isSpace()) {
            if (keepFrom < 0)
                keepFrom = name.size() - 1;
            keepTo = name.size() - 1;
        }
    }
    finish();
    return names;
}

QString EncodeCast(const QVector<CastMember> &cast)
{
    // One string grown in place: the cast is most of an export's text.
    qsizetype size = 0;
    for (const auto &[actor, character] : cast)
        size += actor.size() + character.size() + 2;
    QString out;
    out.reserve(size);
    for (qsizetype i = 0; i < cast.size(); ++i) {
        if (i > 0)
            out += QLatin1Char('\n');
        appendCastName(out, cast[i].actor);
        out += QLatin1Char('\t');
        appendCastName(out, cast[i].character);
    }
    return out;
}

QVector<CastMember> DecodeCast(const QString &cell)
{
    QVector<CastMember> cast;
    QString text = cell;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const qsizetype tab = line.indexOf(QLatin1Char('\t'));
        if (tab < 0 && line.trimmed().isEmpty())
            continue; // an empty line is no member
        if (tab < 0)
            cast << CastMember{unescapeCastName(line), QString()};
        else
            cast << CastMember{unescapeCastName(QStringView(line).left(tab)),
                               unescapeCastName(QStringView(line).mid(tab + 1))};
    }
    return cast;
}

QStringList RecordFor(const TitleRecord &t)
{
    const TitleFacts &f = t.facts;
    return {f.title,
            f.subTitle,
            f.date,
            f.director,
            f.summary,
            f.features,
            f.eggs,
            EncodeGenres(t.genres),
            EncodeCast(t.cast),
            f.wishList ? QStringLiteral("Wishlist") : QStringLiteral("Inventory"),
            t.loanBorrower,
            t.loanBorrower.isEmpty() ? QString() : t.loanLentOn,
            t.loanBorrower.isEmpty() ? QString() : t.loanDueOn};
}

Layout LayoutOf(const QStringList &header)
{
    Layout layout;
    layout.at.fill(-1);
    layout.fieldCount = int(header.size());
    for (int i = 0; i < header.size(); ++i) {
        const QString name = header[i].trimmed();
        int column = -1;
        for (int c = 0; c < ColumnCount; ++c)
            if (name.compare(Headers()[c], Qt::CaseInsensitive) == 0)
                column = c;
        if (column < 0)
            layout.unknown << header[i];
        else if (layout.at[column] < 0)
            layout.at[column] = i;
        else
            layout.fault = QStringLiteral("The column \"") + Headers()[column]
                           + QStringLiteral("\" appears twice in the first line.");
    }
    if (layout.fault.isEmpty() && layout.at[Title] < 0 && header.size() == 1
        && header[0].contains(QLatin1Char(';')))
        layout.fault = QStringLiteral("The columns of the first line are separated by semicolons, "
                                      "not commas: save the file with commas (\"CSV UTF-8\" in "
                                      "most spreadsheets) and import it again.");
    if (layout.fault.isEmpty() && layout.at[Title] < 0)
        layout.fault = QStringLiteral("The first line names no \"Title\" column. The first "
                                      "line must name the columns, for example: ")
                       + QStringList(Headers().begin(), Headers().end()).join(QStringLiteral(","));
    return layout;
}

Parsed TitleFrom(const Csv::Record &record, const Layout &layout)
{
    Parsed parsed;
    auto refuse = [&parsed](int column, const QString &reason) {
        parsed.reason = reason;
        parsed.column = column >= 0 ? Headers()[column] : QString();
        return parsed;
    };
    auto headerAt = [&layout](int field) {
        for (int c = 0; c < ColumnCount; ++c)
            if (layout.at[c] == field)
                return c;
        return -1;
    };
    if (!record.fault.isEmpty()) {
        parsed.reason = record.fault;
        const int column = headerAt(record.faultField);
        parsed.column =
            column >= 0 ? Headers()[column] : QStringLiteral("field %1").arg(record.faultField + 1);
        return parsed;
    }
    if (record.fields.size() != layout.fieldCount)
        return refuse(-1, QStringLiteral("%1 fields where the first line has %2")
                              .arg(record.fields.size())
                              .arg(layout.fieldCount));
    auto cell = [&](int column) {
        return layout.at[column] < 0 ? QString() : record.fields[layout.at[column]];
    };
    TitleRecord &t = parsed.title;
    TitleFacts &f = t.facts;
    f.title = cell(Title);
    f.subTitle = cell(Edition);
    f.date = cell(Year);
    f.director = cell(DirectedBy);
    f.summary = cell(Summary);
    f.features = cell(Features);
    f.eggs = cell(EasterEggs);
    t.genres = DecodeGenres(cell(Genres));
    t.cast = DecodeCast(cell(Cast));
    const QString list = cell(List).trimmed();

    if (f.title.isEmpty())
        return refuse(Title, QStringLiteral("no title"));
    // The catalogue may hold any year (another tool's, an older import's) and its export
    // writes it as stored, so the import takes it as written and says so; the editor's rule
    // applies when the title is next modified.
    static const QRegularExpression fourDigits(QStringLiteral("^[0-9]{4}$"));
    if (f.date.isEmpty())
        parsed.note = QStringLiteral("no year; kept empty");
    else if (!fourDigits.match(f.date).hasMatch())
        parsed.note = QStringLiteral("the year \"%1\" is not four digits; kept as written")
                          .arg(f.date.left(40));
    if (t.genres.size() > 4)
        return refuse(Genres,
                      QStringLiteral("%1 genres; a title has at most four").arg(t.genres.size()));
    if (list.isEmpty() || list.compare(QLatin1String("Inventory"), Qt::CaseInsensitive) == 0)
        f.wishList = 0;
    else if (list.compare(QLatin1String("Wishlist"), Qt::CaseInsensitive) == 0)
        f.wishList = 1;
    else
        return refuse(List, QStringLiteral("the list must be Inventory or Wishlist"));

    t.loanBorrower = cell(Borrower).trimmed();
    t.loanLentOn = cell(LentOn).trimmed();
    t.loanDueOn = cell(DueBack).trimmed();
    if (t.loanBorrower.isEmpty()) {
        t.loanLentOn.clear();
        t.loanDueOn.clear();
        return parsed;
    }
    const QDate lent = QDate::fromString(t.loanLentOn, Qt::ISODate);
    const QDate due = QDate::fromString(t.loanDueOn, Qt::ISODate);
    if (f.wishList != 0)
        return refuse(Borrower, QStringLiteral("a Wishlist title cannot be on loan"));
    if (!lent.isValid())
        return refuse(LentOn, QStringLiteral("the date lent must be a date (Example 2026-12-03)"));
    if (!t.loanDueOn.isEmpty() && !due.isValid())
        return refuse(DueBack, QStringLiteral("the due date must be a date (Example 2026-12-17)"));
    if (due.isValid() && due < lent)
        return refuse(DueBack, QStringLiteral("the due date is before the date lent"));
    return parsed;
}

} // namespace TitleCsv
