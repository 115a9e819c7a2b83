#pragma once
// What the editor tests compare a saved title's cast with.
#include "TestFolder.h"

// A title's stored cast as "actor as character", in the order written. A NULL on either side
// makes the pair NULL, so it cannot pass for empty text.
inline QStringList storedCast(TestFolder &folder, qint64 id)
{
    QStringList pairs;
    for (const auto &row :
         folder.Rows("SELECT Actor || ' as ' || Character FROM Cast_Relationships "
                     "WHERE Movie = ? ORDER BY rowid",
                     {id}))
        pairs << row[0].toString();
    return pairs;
}
