#include "ColumnFit.h"

#include "Twips.h"
#include "WidestText.h"

#include <QHeaderView>
#include <QStyle>
#include <QTableView>

#include <algorithm>

int ColumnFit::Width(int captionPixels, int widestValuePixels) const
{
    int width = Twips::FromPixels(captionPixels) + m_headerMargin;
    if (widestValuePixels > 0)
        width = std::max(width, Twips::FromPixels(widestValuePixels) + m_valueMargin);
    return std::min(width, MaxTwips);
}

int ColumnFit::CaptionPixels(const QHeaderView &header, const QFontMetrics &metrics,
                             const QString &caption) const
{
    const int pixels = metrics.horizontalAdvance(caption);
    // The header's own cell padding, so a caption is never cut ("Titl").
    return m_headerPadding ? pixels + 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin)
                           : pixels;
}

int ColumnFit::Fit(QTableView &view, int column) const
{
    const QAbstractItemModel *model = view.model();
    const QFontMetrics metrics = view.fontMetrics();
    const int caption =
        CaptionPixels(*view.horizontalHeader(), metrics,
                      model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    const int widest = WidestText::Among(metrics, model->rowCount(), [&](int row) {
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    });
    const int width = Width(caption, widest);
    view.setColumnWidth(column, Twips::ToPixels(width));
    return width;
}
