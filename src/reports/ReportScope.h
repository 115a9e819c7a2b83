#pragma once

#include <QString>
#include <QVector>
#include <QtGlobal>

// Which titles a report covers: one list or both, and, while the find box filters the
// list, only the titles it shows, in the order shown.
struct ReportScope
{
    int list = 0; // 0 Inventory, 1 Wishlist, ReportStatements::AllLists
    bool filtered = false;
    QVector<qint64> ids; // the titles shown, in view order (filtered or not)
    QString filter;      // the find box's text while it filters

    // "Inventory", "Wishlist" or "All titles", and the filter: "Inventory, found by “ran”".
    QString Describe() const;
    // "1 title", "1,234 titles".
    static QString Titles(qint64 count);
};
