#include "WidestText.h"

#include <algorithm>

namespace {

// Kerning and ligatures move a line of these scripts by a few percent at most, so every
// text estimated at 80% or more of the widest estimate is measured exactly.
constexpr qreal kMargin = 0.8;
constexpr float kNotLookedUp = -1;
constexpr float kNeedsShaping = -2;

bool simpleScript(QChar c)
{
    if (c.isSurrogate() || c.isMark())
        return false;
    switch (c.script()) {
    case QChar::Script_Common:
    case QChar::Script_Latin:
    case QChar::Script_Greek:
    case QChar::Script_Cyrillic:
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
        return true;
    default:
        return false;
    }
}

} // namespace

WidestText::WidestText(const QFontMetrics &metrics) : m_metrics(metrics), m_fractional(metrics)
{
    m_advance.fill(kNotLookedUp);
}

bool WidestText::estimate(const QString &text, qreal *width)
{
    qreal sum = 0;
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < m_advance.size()) {
            float &advance = m_advance[code];
            if (advance == kNotLookedUp)
                advance = simpleScript(c) ? float(m_fractional.horizontalAdvance(c)) : kNeedsShaping;
            if (advance == kNeedsShaping)
                return false;
            sum += advance;
        } else if (simpleScript(c)) {
            sum += m_fractional.horizontalAdvance(c);
        } else {
            return false;
        }
    }
    *width = sum;
    return true;
}

void WidestText::Add(const QString &text)
{
    if (text.isEmpty())
        return;
    qreal width = 0;
    if (!estimate(text, &width)) {
        m_widestShaped = std::max(m_widestShaped, m_metrics.horizontalAdvance(text));
        return;
    }
    if (width < m_widestEstimate * kMargin)
        return;
    m_widestEstimate = std::max(m_widestEstimate, width);
    m_candidates.append({width, text});
}

int WidestText::Pixels()
{
    int widest = m_widestShaped;
    for (const Candidate &candidate : std::as_const(m_candidates))
        if (candidate.estimate >= m_widestEstimate * kMargin)
            widest = std::max(widest, m_metrics.horizontalAdvance(candidate.text));
    m_candidates.clear();
    m_widestEstimate = 0;
    m_widestShaped = widest;
    return widest;
}
