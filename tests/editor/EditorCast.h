#pragma once
// What the editor tests share: a cast as the edit buffer holds it and as the catalogue stores it,
// and the messages shown, compared with what a row expects.
#include "MessageBox.h"
#include "Module1.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "TestFolder.h"

#include <QTest>

using Rows = QList<QStringList>;
Q_DECLARE_METATYPE(Rows)

// The edit buffer's cast list as (actor, character) rows; none once the editor has ended.
inline Rows castList(const Module1 &shared)
{
    Rows rows;
    if (shared.CastRecords)
        for (const auto &row : shared.CastRecords->Rows())
            rows << QStringList{row.value(0).toString(), row.value(1).toString()};
    return rows;
}

// A title's stored cast as "actor as character", in the order written. A NULL on either side
// makes the pair NULL, so it cannot pass for empty text.
inline QStringList storedCast(TestFolder &folder, qint64 id)
{
    QStringList pairs;
    for (const auto &row : folder.Rows("SELECT Actor || ' as ' || Character FROM Cast_Relationships "
                                       "WHERE Movie = ? ORDER BY rowid",
                                       {id}))
        pairs << row[0].toString();
    return pairs;
}

// The messages shown, each cut to the length of the one expected in its place, so that a row
// can give how each message starts.
inline QStringList shownCutTo(const QStringList &expected)
{
    QStringList shown = MessageBox::Shown();
    for (int i = 0; i < shown.size() && i < expected.size(); ++i)
        shown[i].truncate(expected[i].size());
    return shown;
}
