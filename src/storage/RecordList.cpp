#include "RecordList.h"

#include "Connection.h"
#include "DbError.h"
#include "LockWait.h"
#include "RawRows.h"

RecordList::RecordList(QObject *parent) : QObject(parent) {}

void RecordList::Open(const QString &source, Connection &connection)
{
    QString statement = source;
    if (source.trimmed().compare(QLatin1String("SELECT @@Identity"), Qt::CaseInsensitive) == 0)
        statement = QStringLiteral("SELECT last_insert_rowid()");

    // Stepped on the engine itself: a variant and a text copy per value cost more than
    // the read of a long list. A lock is waited out as any read's, from the start again.
    QStringList fields;
    PackedRows rows;
    int rowCount = 0;
    LockWait::Retrying([&] {
        fields.clear();
        rows.Clear();
        rowCount = 0;
        RawRows read(connection, statement);
        const int count = read.ColumnCount();
        for (int i = 0; i < count; ++i)
            fields << read.ColumnName(i);
        while (read.Next()) {
            for (int i = 0; i < count; ++i) {
                if (read.IsText(i))
                    rows.AppendText(read.Text(i));
                else if (read.IsInteger(i))
                    rows.AppendInteger(read.Integer(i));
                else
                    rows.Append(read.Value(i));
            }
            ++rowCount;
        }
    });

    Q_EMIT AboutToReset();
    m_fields = fields;
    m_rows.clear();
    m_packedRows = std::move(rows);
    m_packedRowCount = rowCount;
    m_packed = true;
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
    empty(true);
}

void RecordList::Close()
{
    empty(false);
}

void RecordList::empty(bool open)
{
    Q_EMIT AboutToReset();
    m_rows.clear();
    dropPacked();
    m_position = 0;
    m_open = open;
    Q_EMIT Reset();
}

void RecordList::MoveFirst()
{
    m_position = 0;
}

void RecordList::MoveNext()
{
    if (m_position < RecordCount())
        ++m_position;
}

void RecordList::Move(int row)
{
    m_position = row < 0 ? -1 : std::min(row, RecordCount());
}

int RecordList::AbsolutePosition() const
{
    return (m_position >= 0 && m_position < RecordCount()) ? m_position + 1 : 0;
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
    if (m_position < 0 || m_position >= RecordCount())
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
    if (row < 0 || row >= RecordCount() || field < 0 || field >= m_fields.size())
        return {};
    if (m_packed)
        return m_packedRows.At(qsizetype(row) * m_fields.size() + field);
    return m_rows.at(row).value(field);
}

void RecordList::SetValueAt(int row, int field, const QVariant &value)
{
    if (row < 0 || row >= RecordCount() || field < 0 || field >= m_fields.size())
        return;
    unpack();
    Row &target = m_rows[row];
    if (target.size() < m_fields.size())
        target.resize(m_fields.size());
    target[field] = value;
    Q_EMIT ValueChanged(row, field);
}

void RecordList::AddNew()
{
    unpack();
    Q_EMIT AboutToInsertRow(int(m_rows.size()));
    m_rows.append(Row(m_fields.size()));
    m_position = int(m_rows.size()) - 1;
    Q_EMIT RowInserted(m_position);
}

void RecordList::Update() {}

void RecordList::Delete()
{
    requireCurrent();
    unpack();
    const int row = m_position;
    Q_EMIT AboutToRemoveRow(row);
    m_rows.removeAt(row);
    Q_EMIT RowRemoved(row);
}

QStringView RecordList::TextView(int row, int field) const
{
    if (row < 0 || row >= RecordCount() || field < 0 || field >= m_fields.size())
        return {};
    if (m_packed)
        return m_packedRows.TextAt(qsizetype(row) * m_fields.size() + field);
    const Row &values = m_rows.at(row);
    if (field >= values.size() || values.at(field).metaType().id() != QMetaType::QString)
        return {};
    return *static_cast<const QString *>(values.at(field).constData());
}

void RecordList::ReorderRows(const QVector<int> &order)
{
    if (order.size() != RecordCount())
        return;
    Q_EMIT AboutToReset();
    if (m_packed) {
        m_packedRows.ReorderRows(order, int(m_fields.size()));
    } else {
        QVector<Row> rows;
        rows.reserve(m_rows.size());
        for (int from : order)
            rows.append(std::move(m_rows[from]));
        m_rows = std::move(rows);
    }
    m_position = 0;
    Q_EMIT Reset();
}

void RecordList::SetRows(QVector<Row> rows)
{
    for (Row &row : rows)
        row.resize(m_fields.size());
    Q_EMIT AboutToReset();
    m_rows = std::move(rows);
    dropPacked();
    m_position = 0;
    m_open = true;
    Q_EMIT Reset();
}

const QVector<RecordList::Row> &RecordList::Rows() const
{
    // Unpacking changes how the rows are kept, not what they hold.
    const_cast<RecordList *>(this)->unpack();
    return m_rows;
}

void RecordList::unpack()
{
    if (!m_packed)
        return;
    const int fields = int(m_fields.size());
    QVector<Row> rows;
    rows.reserve(m_packedRowCount);
    for (int r = 0; r < m_packedRowCount; ++r) {
        Row row(fields);
        for (int f = 0; f < fields; ++f)
            row[f] = m_packedRows.At(qsizetype(r) * fields + f);
        rows.append(std::move(row));
    }
    m_rows = std::move(rows);
    dropPacked();
}

void RecordList::dropPacked()
{
    m_packedRows.Clear();
    m_packedRowCount = 0;
    m_packed = false;
}

bool RecordList::HasText(const QVariant &value)
{
    return !value.isNull() && !value.toString().isEmpty();
}
