#pragma once

#include <QLabel>

// A label for text of any length (a title may have thousands of characters): it wraps
// onto at most `maxLines` lines, ends the last one with "…" when the text goes on, and
// then shows the whole text as its tooltip. Its size never follows the text, so a long
// text cannot widen the window it sits in.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(int maxLines, QWidget *parent = nullptr);

    void SetFullText(const QString &text);
    const QString &FullText() const { return m_full; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void refresh();
    int linesFor(int width) const;

    int m_maxLines;
    QString m_full;
};
