#pragma once

#include "RecordList.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>
#include <functional>
#include <memory>

// Table-model adapter over a record list. Owns no rows: it turns the list's change
// notifications into model signals. Header captions, cell colours and the edit hooks
// belong to the grid that shows the list.
class RecordListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // Before an edit is committed: return false to refuse it (the old value stays).
    using BeforeUpdate = std::function<bool(int row, int column, const QVariant &value)>;

    // A row's text colour and tooltip (Qt::ForegroundRole, Qt::ToolTipRole) by record row;
    // an invalid value leaves the view's own.
    using RowLook = std::function<QVariant(int row, int role)>;

    // A column after the list's fields: its text by record row and column (counted from
    // the first one after the fields).
    using ExtraColumn = std::function<QString(int row, int extra)>;

    explicit RecordListModel(QObject *parent = nullptr);

    void SetRecordList(std::shared_ptr<RecordList> list);
    const std::shared_ptr<RecordList> &List() const { return m_list; }

    void SetHeaderCaption(int column, const QString &caption);
    void SetCellBackground(int row, int column, const QColor &colour);
    QColor CellBackground(int row, int column) const;
    void SetEditable(bool editable);
    void SetBeforeUpdate(BeforeUpdate hook) { m_beforeUpdate = std::move(hook); }
    void SetRowLook(RowLook look) { m_rowLook = std::move(look); }
    // Columns shown after the list's fields, read-only (one reset); none by default.
    void SetExtraColumns(const QStringList &captions, ExtraColumn text);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    void CellUpdated(int row, int column);

private:
    void listAboutToReset();
    void listReset();
    void rowAboutToBeInserted(int row);
    void rowInserted(int row);
    void rowAboutToBeRemoved(int row);
    void rowRemoved(int row);
    void valueChanged(int row, int field);

    std::shared_ptr<RecordList> m_list;
    QHash<int, QString> m_captions;
    QHash<quint64, QColor> m_backgrounds;
    BeforeUpdate m_beforeUpdate;
    RowLook m_rowLook;
    QStringList m_extraCaptions;
    ExtraColumn m_extraText;
    bool m_editable = false;
    int m_rows = 0;
    int m_columns = 0;
};
