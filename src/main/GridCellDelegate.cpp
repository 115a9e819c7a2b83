#include "GridCellDelegate.h"

#include "StorableText.h"

#include <QLineEdit>
#include <limits>

QWidget *GridCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                        const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setMaxLength(std::numeric_limits<int>::max());
    if (editor)
        StorableText::Guard(editor);
    return editor;
}
