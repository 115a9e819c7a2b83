#include "ListColumnStatements.h"

namespace ListColumnStatements {

QString Values(ListColumn column, int list)
{
    const QString inList = QStringLiteral(" WHERE DVD_Title.WishList = ") + QString::number(list);
    switch (column) {
    case ListColumn::Year:
        return QStringLiteral("SELECT ID, Date FROM DVD_Title") + inList;
    case ListColumn::Director:
        return QStringLiteral("SELECT ID, Director FROM DVD_Title") + inList;
    case ListColumn::Genres:
        return QStringLiteral("SELECT Genre_Relationships.Title_ID, Genre.Genre FROM "
                              "Genre_Relationships INNER JOIN Genre ON Genre.Genre_ID = "
                              "Genre_Relationships.Genre_ID INNER JOIN DVD_Title ON DVD_Title.ID "
                              "= Genre_Relationships.Title_ID")
               + inList + QStringLiteral(" ORDER BY Genre_Relationships.Title_ID");
    case ListColumn::CastCount:
        return QStringLiteral("SELECT Cast_Relationships.Movie, count(*) FROM Cast_Relationships "
                              "INNER JOIN DVD_Title ON DVD_Title.ID = Cast_Relationships.Movie")
               + inList + QStringLiteral(" GROUP BY Cast_Relationships.Movie");
    case ListColumn::OnLoan:
        break;
    }
    return {};
}

} // namespace ListColumnStatements
