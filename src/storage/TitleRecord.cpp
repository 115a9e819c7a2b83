#include "TitleRecord.h"

#include "Letters.h"
#include "RecordList.h"
#include "Statements.h"

namespace {

QString textOf(const QVariant &value)
{
    return RecordList::HasText(value) ? value.toString() : QString();
}

} // namespace

TitleRecord ReadTitle(Connection &connection, qint64 titleId)
{
    TitleRecord record;
    record.id = titleId;
    {
        RecordList row;
        row.Open(Statements::EditedTitle(titleId), connection);
        // No current record (no such title) throws, as any read of a missing row does.
        TitleFacts &facts = record.facts;
        facts.title = textOf(row.Value(QStringLiteral("Title")));
        facts.subTitle = textOf(row.Value(QStringLiteral("Sub_Title")));
        facts.date = textOf(row.Value(QStringLiteral("Date")));
        facts.director = textOf(row.Value(QStringLiteral("Director")));
        facts.summary = textOf(row.Value(QStringLiteral("Summary")));
        facts.features = textOf(row.Value(QStringLiteral("Features")));
        facts.eggs = textOf(row.Value(QStringLiteral("Eggs")));
        facts.wishList = row.Value(QStringLiteral("WishList")).toInt();
    }
    {
        RecordList genres;
        genres.Open(Statements::EditedTitleGenres(titleId), connection);
        for (int row = 0; row < genres.RecordCount(); ++row) {
            record.genres.append(textOf(genres.ValueAt(row, 0)));
            record.genreIds.append(genres.ValueAt(row, 1).toLongLong());
        }
    }
    {
        RecordList cast;
        cast.Open(Statements::EditedTitleCast(titleId), connection);
        // The catalogue orders A to Z only; other letters take their place by the rule.
        Letters::Sort(cast, 0);
        record.cast.reserve(cast.RecordCount());
        for (int row = 0; row < cast.RecordCount(); ++row)
            record.cast.append({cast.ValueAt(row, 0).toString(), cast.ValueAt(row, 1).toString()});
    }
    return record;
}
