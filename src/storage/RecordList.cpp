#include "RecordList.h"

#include "Connection.h"
#include "DbError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

RecordList::RecordList(QObject *parent) : QObject(parent) {}

void RecordList::Open(const QString &source, Connection &connection)
{
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);
    QString statement = source;
    if (source.trimmed().compare(QLatin1String("SELECT @@Identity"), Qt::CaseInsensitive) == 0)
        statement = QStringLiteral("SELECT last_insert_rowid()");
    if (!query.exec(statement))
        throw DbError::FromSql(query.lastError());

    QStringList fields;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i)
        fields << record.fieldName(i);
    QVector<Row> rows;
    const int count = int(fields.size());
    while (query.next()) {
        Row row(count);
        for (int i = 0; i < count; ++i)
            row[i] = query.value(i);
        rows.append(std::move(row));
    }
    if (query.lastError().isValid())
        throw DbError::FromSql(query.lastError());

    Q_EMIT AboutToReset();
    m_fields = fields;
    m_rows = std::move(rows);
    m_position = 0;
    m_open = true;
    Q_EMIT Reset();
}

void RecordList::AppendField(const QString &name)
{
    m_fields << name;
}

void RecordList::OpenInMemory()
{
    Q_EMIT AboutToReset();
    m_rows.clear();
    m_position = 0;
    m_open = true;
    Q_EMIT Reset();
}

void RecordList::Close()
{
    Q_EMIT AboutToReset();
    m_rows.clear();
    m_position = 0;
    m_open = false;
    Q_EMIT Reset();
}

void RecordList::MoveFirst()
{
    m_position = 0;
}

void RecordList::MoveNext()
{
    if (m_position < m_rows.size())
        ++m_position;
}

void RecordList::Move(int row)
{
    m_position = row < 0 ? -1 : std::min(row, int(m_rows.size()));
}

int RecordList::AbsolutePosition() const
{
    return (m_position >= 0 && m_position < m_rows.size()) ? m_position + 1 : 0;
}

int RecordList::FieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int RecordList::requireField(const QString &name) const
{
    const int index = FieldIndex(name);
    if (index < 0)
        throw DbError(3265, QStringLiteral("Item cannot be found in the collection "
                                           "corresponding to the requested name: %1")
                                .arg(name));
    return index;
}

void RecordList::requireCurrent() const
{
    if (m_position < 0 || m_position >= m_rows.size())
        throw DbError(3021, QStringLiteral("Either BOF or EOF is True, or the current record "
                                           "has been deleted."));
}

QVariant RecordList::Value(int field) const
{
    requireCurrent();
    return ValueAt(m_position, field);
}

QVariant RecordList::Value(const QString &field) const
{
    return Value(requireField(field));
}

void RecordList::SetValue(int field, const QVariant &value)
{
    requireCurrent();
    SetValueAt(m_position, field, value);
}

void RecordList::SetValue(const QString &field, const QVariant &value)
{
    SetValue(requireField(field), value);
}

QVariant RecordList::ValueAt(int row, int field) const
{
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_fields.size())
        return {};
    return m_rows.at(row).value(field);
}

void RecordList::SetValueAt(int row, int field, const QVariant &value)
{
    if (row < 0 || row >= m_rows.size() || field < 0 || field >= m_fields.size())
        return;
    Row &target = m_rows[row];
    if (target.size() < m_fields.size())
        target.resize(m_fields.size());
    target[field] = value;
    Q_EMIT ValueChanged(row, field);
}

void RecordList::AddNew()
{
    Q_EMIT AboutToInsertRow(int(m_rows.size()));
    m_rows.append(Row(m_fields.size()));
    m_position = int(m_rows.size()) - 1;
    Q_EMIT RowInserted(m_position);
}

void RecordList::Update() {}

void RecordList::Delete()
{
    requireCurrent();
    const int row = m_position;
    Q_EMIT AboutToRemoveRow(row);
    m_rows.removeAt(row);
    Q_EMIT RowRemoved(row);
}

void RecordList::SetRows(QVector<Row> rows)
{
    for (Row &row : rows)
        row.resize(m_fields.size());
    Q_EMIT AboutToReset();
    m_rows = std::move(rows);
    m_position = 0;
    m_open = true;
    Q_EMIT Reset();
}

bool RecordList::HasText(const QVariant &value)
{
    return !value.isNull() && !value.toString().isEmpty();
}
