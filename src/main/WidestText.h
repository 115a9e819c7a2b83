#pragma once

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QString>
#include <QVector>
#include <algorithm>
#include <array>
#include <vector>

// The pixel width of the widest of many texts in one font, without shaping every text:
// shaping costs microseconds a text, which on a list of 100,000 titles is most of the
// start-up. Each text's width is first estimated from cached character advances and
// the kerning of each pair of characters; only the texts that could be the widest are
// then measured exactly. Texts in scripts that
// shaping can change much (joining scripts, combining marks) are always measured.
class WidestText
{
public:
    explicit WidestText(const QFontMetrics &metrics);

    // The widest of count texts, text(i) for i in 0..count-1, in pixels. A short list is
    // shaped text by text: setting up the estimate costs more than shaping a few hundred
    // short texts.
    template<typename Text>
    static int Among(const QFontMetrics &metrics, int count, Text &&text)
    {
        constexpr int shapeAllUpTo = 500;
        if (count <= shapeAllUpTo) {
            int widest = 0;
            for (int i = 0; i < count; ++i)
                widest = std::max(widest, metrics.horizontalAdvance(text(i)));
            return widest;
        }
        WidestText widest(metrics);
        for (int i = 0; i < count; ++i)
            widest.Add(text(i));
        return widest.Pixels();
    }

    void Add(const QString &text);
    // Exact width of the widest text added, in pixels; 0 when none was.
    int Pixels();

private:
    // Sum of character advances and pair kerning; false when the text needs shaping.
    bool estimate(const QString &text, qreal *width);
    float advance(QChar c);
    float pairKerning(QChar first, QChar second);

    struct Candidate
    {
        qreal estimate;
        QString text;
    };

    QFontMetrics m_metrics;
    QFontMetricsF m_fractional;
    std::array<float, 0x3100> m_advance; // advances below U+3100; -1 = not looked up yet
    std::vector<float> m_latinPairs;     // kerning of pairs below U+0180, NaN = not yet
    QHash<quint32, float> m_otherPairs;
    QVector<Candidate> m_candidates;
    qreal m_widestEstimate = 0;
    int m_widestShaped = 0;
};
