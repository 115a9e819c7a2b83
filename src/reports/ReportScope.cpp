#include "ReportScope.h"

#include <QLocale>

QString ReportScope::Describe() const
{
    QString text = list == 0   ? QStringLiteral("Inventory")
                   : list == 1 ? QStringLiteral("Wishlist")
                               : QStringLiteral("All titles");
    if (filtered)
        text += QStringLiteral(", found by \u201C") + filter + QStringLiteral("\u201D");
    return text;
}

QString ReportScope::Titles(qint64 count)
{
    const QLocale numbers(QLocale::English, QLocale::UnitedStates);
    return numbers.toString(count)
           + (count == 1 ? QStringLiteral(" title") : QStringLiteral(" titles"));
}
