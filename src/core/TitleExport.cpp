#include "TitleExport.h"

#include "AtomicFile.h"

#include "Csv.h"
#include "TitleCsv.h"
#include "TitleTransfer.h"

namespace TitleExport {

Result Write(QIODevice &out, const QString &connectionString, const Progress &progress)
{
    Result result;
    QByteArray buffer("\xEF\xBB\xBF"); // lets spreadsheets tell UTF-8 text
    const auto &headers = TitleCsv::Headers();
    Csv::AppendRecord(buffer, QStringList(headers.begin(), headers.end()));
    bool writeFailed = false;
    auto flush = [&] {
        if (out.write(buffer) != buffer.size())
            writeFailed = true;
        buffer.resize(0); // keeps its room for the next megabyte
        return !writeFailed;
    };
    const bool finished = TitleTransfer::ReadAll(
        connectionString, [&](const TitleRecord &title, qint64 index, qint64 total) {
            Csv::AppendRecord(buffer, TitleCsv::RecordFor(title));
            result.titles = index + 1;
            if (buffer.size() > (1 << 20) && !flush())
                return false;
            return !progress || progress(index + 1, total);
        });
    if (finished && !writeFailed)
        flush();
    if (writeFailed) {
        result.outcome = Outcome::NotWritten;
        result.error = out.errorString();
    } else if (finished) {
        result.outcome = Outcome::Exported;
    }
    return result;
}

Result ToFile(const QString &file, const QString &connectionString, const Progress &progress)
{
    // The temporary file is discarded unless committed, also when DbError leaves here.
    AtomicFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return {Outcome::NotOpened, 0, out.errorString()};
    Result result = Write(out, connectionString, progress);
    if (result.outcome == Outcome::Exported && !out.commit()) {
        result.outcome = Outcome::NotWritten;
        result.error = out.errorString();
    }
    if (result.outcome != Outcome::Exported)
        out.cancelWriting();
    return result;
}

} // namespace TitleExport
