#include "Csv.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace Csv {

namespace {

bool needsQuotes(const QString &field)
{
    if (field.isEmpty())
        return false;
    if (field.front().isSpace() || field.back().isSpace())
        return true;
    for (const QChar c : field)
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r')
            || c == QLatin1Char('\n'))
            return true;
    return false;
}

} // namespace

namespace {

// Encodes straight into the output: an export writes millions of fields, and a temporary
// array per field cost more than the catalogue read itself.
void appendUtf8(QByteArray &out, QStringView text)
{
    static const QStringEncoder::Flags flags = QStringEncoder::Flag::Stateless;
    QStringEncoder encoder(QStringEncoder::Utf8, flags);
    const qsizetype at = out.size();
    out.resize(at + encoder.requiredSpace(text.size()));
    char *end = encoder.appendToBuffer(out.data() + at, text);
    out.truncate(end - out.constData());
}

} // namespace

void AppendRecord(QByteArray &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        const QString &field = fields[i];
        if (!needsQuotes(field)) {
            appendUtf8(out, field);
            continue;
        }
        out += '"';
        QStringView rest = field;
        for (qsizetype quote; (quote = rest.indexOf(QLatin1Char('"'))) >= 0;) {
            appendUtf8(out, rest.left(quote + 1));
            out += '"';
            rest = rest.mid(quote + 1);
        }
        appendUtf8(out, rest);
        out += '"';
    }
    out += "\r\n";
}

Reader::Reader(const QByteArray &bytes, char separator) : m_bytes(bytes), m_separator(separator)
{
    if (m_bytes.startsWith("\xEF\xBB\xBF")) // the mark some spreadsheets write first
        m_pos = 3;
}

bool Reader::Next(Record &record)
{
    const char *data = m_bytes.constData();
    const qint64 size = m_bytes.size();
    // Lines holding nothing are no records.
    while (m_pos < size && (data[m_pos] == '\r' || data[m_pos] == '\n')) {
        if (data[m_pos] == '\n' || m_pos + 1 >= size || data[m_pos + 1] != '\n')
            ++m_line;
        ++m_pos;
    }
    if (m_pos >= size)
        return false;

    record = Record();
    record.line = m_line;
    QByteArray field;
    auto fault = [&record, this](const QString &why) {
        if (record.fault.isEmpty()) {
            record.fault = why;
            record.faultField = int(record.fields.size());
            record.faultLine = m_line;
        }
    };
    auto finishField = [&] {
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = decoder(field);
        if (decoder.hasError())
            fault(QStringLiteral("not valid UTF-8 text"));
        record.fields << text;
        field.clear();
    };

    int quoteLine = 0;
    bool quoted = false;    // inside a quoted field
    bool wasQuoted = false; // the current field was quoted and has closed
    for (;;) {
        if (m_pos >= size) {
            if (quoted) {
                fault(QStringLiteral("a quote opened here is never closed"));
                record.faultLine = quoteLine;
            }
            finishField();
            return true;
        }
        const char c = data[m_pos++];
        if (quoted) {
            if (c == '"') {
                if (m_pos < size && data[m_pos] == '"') {
                    field += '"';
                    ++m_pos;
                } else {
                    quoted = false;
                    wasQuoted = true;
                }
            } else {
                if (c == '\n' || (c == '\r' && !(m_pos < size && data[m_pos] == '\n')))
                    ++m_line;
                field += c;
            }
            continue;
        }
        if (c == m_separator) {
            finishField();
            wasQuoted = false;
        } else if (c == '\r' || c == '\n') {
            if (c == '\r' && m_pos < size && data[m_pos] == '\n')
                ++m_pos;
            finishField();
            ++m_line;
            return true;
        } else if (c == '"') {
            if (field.isEmpty() && !wasQuoted) {
                quoted = true;
                quoteLine = m_line;
            } else {
                fault(QStringLiteral("a quote inside a field that is not quoted"));
                field += c;
            }
        } else {
            if (wasQuoted)
                fault(QStringLiteral("text after a closing quote"));
            field += c;
        }
    }
}

} // namespace Csv
