#pragma once

#include <QString>
#include <functional>

class QIODevice;

// Every title of both lists written as a titles file (see TitleCsv): the UTF-8 mark, the
// column names, one record per title. No window is involved: the caller shows progress,
// offers Cancel and reports the result.
namespace TitleExport {

// Titles written of all; false cancels. None: the export runs to the end.
using Progress = std::function<bool(qint64 done, qint64 total)>;

enum class Outcome { Exported, Cancelled, NotOpened, NotWritten };

struct Result
{
    Outcome outcome = Outcome::Cancelled;
    qint64 titles = 0; // written (all of them when exported)
    QString error;     // why, when not opened or not written
};

// Writes to out, which is open for writing. Cancelled or failed, out holds part of the
// file: the caller discards it. Throws DbError when the catalogue cannot be read.
Result Write(QIODevice &out, const QString &connectionString, const Progress &progress = {});

// Writes the file under a temporary name beside it and renames it over file once whole:
// a failure or a cancel leaves no half file, and a file that was there stays until the new
// one is complete. Throws DbError (nothing written then either).
Result ToFile(const QString &file, const QString &connectionString, const Progress &progress = {});

} // namespace TitleExport
