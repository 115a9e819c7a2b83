#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Comma-separated values as RFC 4180 has them: fields separated by commas (or, read from
// other programs, semicolons or tabs), records by CR LF, a field holding a comma, a quote, a line
// break or outer blanks written between double quotes with its quotes doubled. Text is UTF-8.
namespace Csv {

// One record, with its CR LF, appended to out.
void AppendRecord(QByteArray &out, const QStringList &fields);

// A record read back, with where it started and the first fault found in it.
struct Record
{
    int line = 0; // physical line (1-based) where the record starts
    QStringList fields;
    QString fault;       // empty when the record is sound
    int faultField = -1; // 0-based field of the fault
    int faultLine = 0;   // physical line of the fault
};

// Reads records from bytes that stay alive as long as the reader. A record with a broken
// quote or bytes that are not UTF-8 comes back with its fault; reading goes on with the
// next record. Lines that hold nothing at all are skipped.
class Reader
{
public:
    explicit Reader(const QByteArray &bytes, char separator = ',');

    bool Next(Record &record);
    // How far the reader has come, in bytes, for progress.
    qint64 Offset() const { return m_pos; }

private:
    const QByteArray &m_bytes;
    qint64 m_pos = 0;
    int m_line = 1;
    char m_separator;
};

} // namespace Csv
