#include "WidestText.h"

#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// With pair kerning counted, what shaping still changes in these scripts (ligatures of
// three letters, rounding) moves a line by a pixel or two, so every text estimated at
// 97% or more of the widest estimate is measured exactly.
constexpr qreal kMargin = 0.97;
constexpr int kLatinPairs = 0x180;
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

WidestText::WidestText(const QFontMetrics &metrics)
    : m_metrics(metrics),
      m_fractional(metrics),
      m_latinPairs(kLatinPairs * kLatinPairs, std::numeric_limits<float>::quiet_NaN())
{
    m_advance.fill(kNotLookedUp);
}

float WidestText::advance(QChar c)
{
    const char16_t code = c.unicode();
    if (code >= m_advance.size())
        return simpleScript(c) ? float(m_fractional.horizontalAdvance(c)) : kNeedsShaping;
    float &cached = m_advance[code];
    if (cached == kNotLookedUp)
        cached = simpleScript(c) ? float(m_fractional.horizontalAdvance(c)) : kNeedsShaping;
    return cached;
}

float WidestText::pairKerning(QChar first, QChar second)
{
    auto measure = [&] {
        const QChar pair[] = {first, second};
        return float(m_fractional.horizontalAdvance(QString(pair, 2)) - advance(first)
                     - advance(second));
    };
    if (first.unicode() < kLatinPairs && second.unicode() < kLatinPairs) {
        float &cached = m_latinPairs[first.unicode() * kLatinPairs + second.unicode()];
        if (std::isnan(cached))
            cached = measure();
        return cached;
    }
    const quint32 key = (quint32(first.unicode()) << 16) | second.unicode();
    auto it = m_otherPairs.find(key);
    if (it == m_otherPairs.end())
        it = m_otherPairs.insert(key, measure());
    return *it;
}

bool WidestText::estimate(const QString &text, qreal *width)
{
    qreal sum = 0;
    QChar previous;
    for (const QChar c : text) {
        const float own = advance(c);
        if (own == kNeedsShaping)
            return false;
        sum += own;
        if (!previous.isNull())
            sum += pairKerning(previous, c);
        previous = c;
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
    QSet<QString> shaped; // a text repeated down a column is shaped once
    for (const Candidate &candidate : std::as_const(m_candidates))
        if (candidate.estimate >= m_widestEstimate * kMargin && !shaped.contains(candidate.text)) {
            shaped.insert(candidate.text);
            widest = std::max(widest, m_metrics.horizontalAdvance(candidate.text));
        }
    m_candidates.clear();
    m_widestEstimate = 0;
    m_widestShaped = widest;
    return widest;
}
