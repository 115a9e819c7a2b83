#pragma once

#include <QStringView>
#include <QVector>
#include <functional>

// The orders the title list can be shown in, each as record-list rows put in order. The
// list comes in title order, and every order here keeps ties in the order the rows came
// in, so equal values stay in title order, reversed or not. Empty values (and years that
// are not a plain year) go last either way: reversing the order does not bring them up.
class TitleOrder
{
public:
    // By the letter rule (Letters::Compare).
    static QVector<int> ByText(int count, const std::function<QStringView(int)> &text,
                               bool descending);
    // By number; negative numbers are missing values.
    static QVector<int> ByNumber(const QVector<qint64> &numbers, bool descending);
    // The year a stored date holds ("1960", " 1999 "); -1 for an empty one or anything but one
    // to four digits ("c. 1960", "19999", "1960s").
    static int Year(QStringView date);
};
