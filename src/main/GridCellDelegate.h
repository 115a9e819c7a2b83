#pragma once

#include <QStyledItemDelegate>

// In-place cell editor without the line edit's 32,767-character limit, so that editing
// a cell never cuts a long value.
class GridCellDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
};
