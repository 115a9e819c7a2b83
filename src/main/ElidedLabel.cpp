#include "ElidedLabel.h"

#include <QEvent>
#include <QTextLayout>

namespace {

// A text of a hundred thousand characters is not laid out whole: no line of a window
// holds more characters than it has pixels.
QStringList wrappedLines(const QString &text, const QFont &font, int width, int maxLines,
                         bool *elided)
{
    *elided = false;
    QString oneLine = text;
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    const int usable = std::max(width, 1);
    const QString head = oneLine.left(qsizetype(usable) * maxLines + 1);
    const QFontMetrics metrics(font);

    QTextLayout layout(head, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (int index = 0; index < maxLines; ++index) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(usable);
        if (index == maxLines - 1) {
            // The last line takes the rest, cut with "…" where it does not fit.
            const QString rest = oneLine.mid(line.textStart(), qsizetype(usable) + 2);
            const QString shown = metrics.elidedText(rest, Qt::ElideRight, usable);
            *elided = shown != oneLine.mid(line.textStart());
            lines << shown;
            break;
        }
        // The blanks where a line breaks end the line; nothing else is taken away.
        lines << head.mid(line.textStart(), line.textLength());
    }
    layout.endLayout();
    return lines;
}

} // namespace

ElidedLabel::ElidedLabel(int maxLines, QWidget *parent)
    : QLabel(parent), m_maxLines(std::max(maxLines, 1))
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    QSizePolicy policy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ElidedLabel::SetFullText(const QString &text)
{
    m_full = text;
    refresh();
    updateGeometry();
}

int ElidedLabel::linesFor(int width) const
{
    bool elided = false;
    return std::max<int>(1, int(wrappedLines(m_full, font(), width, m_maxLines, &elided).size()));
}

QSize ElidedLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    const int width = std::min(metrics.horizontalAdvance(m_full.left(200)), 300);
    return {width, heightForWidth(width)};
}

QSize ElidedLabel::minimumSizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.averageCharWidth() * 4, metrics.lineSpacing()};
}

int ElidedLabel::heightForWidth(int width) const
{
    const QMargins margins = contentsMargins();
    return QFontMetrics(font()).lineSpacing() * linesFor(width - margins.left() - margins.right())
           + margins.top() + margins.bottom();
}

void ElidedLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    refresh();
}

void ElidedLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        refresh();
}

void ElidedLabel::refresh()
{
    // Until a layout or its owner gives the label its size, there is no width to fit.
    if (!testAttribute(Qt::WA_Resized)) {
        QLabel::setText(m_full);
        setToolTip(QString());
        return;
    }
    bool elided = false;
    const QStringList lines =
        wrappedLines(m_full, font(), contentsRect().width(), m_maxLines, &elided);
    QLabel::setText(lines.join(QLatin1Char('\n')));
    setToolTip(elided ? m_full : QString());
}
