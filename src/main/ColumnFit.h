#pragma once

class QFontMetrics;
class QHeaderView;
class QString;
class QTableView;

// The one rule for a grid column's width, in twips: the wider of its caption (with the
// header's own cell padding where asked) plus the header margin, and of its widest text
// value plus the value margin; never wider than the cap. Columns are 16-bit twips wide
// at most, and a pasted paragraph must not make one endless.
class ColumnFit
{
public:
    static constexpr int MaxTwips = 32767;

    constexpr ColumnFit(int headerMargin, int valueMargin, bool headerPadding = false)
        : m_headerMargin(headerMargin), m_valueMargin(valueMargin), m_headerPadding(headerPadding)
    {
    }

    // captionPixels includes the header padding when there is one; widestValuePixels is
    // 0 when the column holds no text.
    int Width(int captionPixels, int widestValuePixels) const;
    // A caption's width, with the header's cell padding where this fit asks for it.
    int CaptionPixels(const QHeaderView &header, const QFontMetrics &metrics,
                      const QString &caption) const;
    // Sets a column of a view that is not a DataGrid (its texts read from its model), in
    // the view's font; returns the width in twips.
    int Fit(QTableView &view, int column) const;

private:
    int m_headerMargin;
    int m_valueMargin;
    bool m_headerPadding;
};
