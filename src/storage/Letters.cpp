#include "Letters.h"

#include "RecordList.h"

#include <QHash>
#include <algorithm>
#include <iterator>
#include <type_traits>
#include <vector>

namespace Letters {

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

char16_t lowerAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
}

bool isMark(QChar c)
{
    const auto category = c.category();
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining
           || category == QChar::Mark_Enclosing;
}

// Full case folding of one character: the simple folding Qt offers, widened where the
// capital form has more letters than one (ß → ss, like its capital SS; ligatures alike).
QString foldChar(QChar c)
{
    const QString one(c);
    const QString upper = one.toUpper();
    return upper.size() > 1 ? upper.toCaseFolded() : one.toCaseFolded();
}

// The base letters of one character, case folded: É → e, ß → ss, a lone accent → nothing.
QString baseOf(QChar c)
{
    QString base;
    for (const QChar part : QString(c).normalized(QString::NormalizationForm_KD))
        if (!isMark(part))
            base += foldChar(part);
    return base;
}

// A run of plain ASCII with A to Z made small, written in one go: a call per character
// was most of the cost of a long list's keys.
void appendLowerAscii(QString &out, QStringView run)
{
    const qsizetype at = out.size();
    out.resize(at + run.size());
    char16_t *to = reinterpret_cast<char16_t *>(out.data()) + at;
    for (const QChar c : run)
        *to++ = lowerAscii(c.unicode());
}

void appendLowerAscii(QByteArray &out, QStringView run)
{
    const qsizetype at = out.size();
    out.resize(at + run.size());
    char *to = out.data() + at;
    for (const QChar c : run)
        *to++ = char(lowerAscii(c.unicode()));
}

template<typename Out>
Out converted(const QString &text)
{
    if constexpr (std::is_same_v<Out, QByteArray>)
        return text.toUtf8();
    else
        return text;
}

// The one per-character loop of every key: plain ASCII with A to Z made small, a letter
// beyond the first plane (Deseret, Adlam...: a surrogate pair) case folded whole, a lone
// surrogate as it is, and every other character by `make`, computed once per character
// (most titles repeat a few accented letters).
template<QString (*make)(QChar), typename Out>
void appendEach(Out &out, QStringView text)
{
    thread_local QHash<char16_t, Out> known;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            qsizetype end = i + 1;
            while (end < text.size() && text[end].unicode() < 0x80)
                ++end;
            appendLowerAscii(out, text.sliced(i, end - i));
            i = end - 1;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size()
                   && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += converted<Out>(text.mid(i, 2).toString().toCaseFolded());
            ++i;
        } else if (QChar::isSurrogate(c)) {
            out += converted<Out>(QString(QChar(c)));
        } else {
            auto it = known.constFind(c);
            if (it == known.constEnd())
                it = known.insert(c, converted<Out>(make(QChar(c))));
            out += *it;
        }
    }
}

// Level 1 (base letters) or 2 (accents kept) of a text that is not plain ASCII.
QString key(QStringView text, bool accents)
{
    QString result;
    result.reserve(text.size());
    if (accents)
        appendEach<foldChar>(result, text);
    else
        appendEach<baseOf>(result, text);
    return result;
}

// Compares two keys; a text marked ascii is its own key once A to Z are made small.
int compareKeys(QStringView a, bool aAscii, QStringView b, bool bAscii)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = aAscii ? lowerAscii(a[i].unicode()) : a[i].unicode();
        const char16_t y = bAscii ? lowerAscii(b[i].unicode()) : b[i].unicode();
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareExact(QStringView a, QStringView b)
{
    const int c = a.compare(b, Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The sort keys of one text; plain ASCII needs none. The accented level is made only
// when two texts tie on their base letters: most never do.
class Keys
{
public:
    static Keys Of(QStringView text)
    {
        Keys keys;
        if (isAscii(text))
            return keys;
        keys.m_ascii = false;
        keys.m_base = key(text, false);
        return keys;
    }

    bool Ascii() const { return m_ascii; }
    QStringView Base(QStringView text) const { return m_ascii ? text : QStringView(m_base); }
    QStringView Accented(QStringView text) const
    {
        if (m_ascii)
            return text;
        if (!m_accentedMade) {
            m_accented = key(text, true);
            m_accentedMade = true;
        }
        return m_accented;
    }

private:
    bool m_ascii = true;
    QString m_base;
    mutable bool m_accentedMade = false;
    mutable QString m_accented;
};

int compareWith(QStringView a, const Keys &ka, QStringView b, const Keys &kb)
{
    if (int c = compareKeys(ka.Base(a), ka.Ascii(), kb.Base(b), kb.Ascii()))
        return c;
    if (int c = compareKeys(ka.Accented(a), ka.Ascii(), kb.Accented(b), kb.Ascii()))
        return c;
    return compareExact(a, b);
}

} // namespace

QString Folded(QStringView text)
{
    QString folded;
    folded.reserve(text.size());
    if (isAscii(text)) {
        appendEach<foldChar>(folded, text);
        return folded;
    }
    appendEach<foldChar>(folded, text.toString().normalized(QString::NormalizationForm_C));
    return folded.normalized(QString::NormalizationForm_C);
}

QString Bare(QStringView text)
{
    QString bare;
    bare.reserve(text.size());
    appendEach<baseOf>(bare, text);
    return bare;
}

void AppendBare(QByteArray &utf8, QStringView text)
{
    appendEach<baseOf>(utf8, text);
}

bool Equal(QStringView a, QStringView b)
{
    if (isAscii(a) && isAscii(b))
        return a.size() == b.size() && compareKeys(a, true, b, true) == 0;
    return Folded(a) == Folded(b);
}

int Compare(QStringView a, QStringView b)
{
    return compareWith(a, Keys::Of(a), b, Keys::Of(b));
}

bool NocaseEqual(QStringView a, QStringView b)
{
    return a.size() == b.size() && compareKeys(a, true, b, true) == 0;
}

QStringList MissedSpellings(QStringView typed, const QStringList &stored)
{
    QStringList missed;
    for (const QString &spelling : stored)
        if (!NocaseEqual(spelling, typed))
            missed << spelling;
    return missed;
}

QString StoredSpelling(const QString &typed, const QStringList &stored)
{
    const QStringList missed = MissedSpellings(typed, stored);
    return !stored.isEmpty() && missed.size() == stored.size() ? stored.first() : typed;
}

QVector<int> SortedOrder(int count, const std::function<QStringView(int)> &text)
{
    // The catalogue hands rows over in NOCASE order, which is this order for plain ASCII
    // texts: those are only checked (and sorted when the check fails); the others get keys
    // and a sort of their own, then each goes in after the plain texts not above it.
    const std::size_t n = std::size_t(std::max(count, 0));
    std::vector<QStringView> texts(n);
    std::vector<int> plain;
    plain.reserve(n);
    std::vector<int> others;
    std::vector<Keys> otherKeys;
    std::vector<int> slotOf(n, -1);
    for (int i = 0; i < count; ++i) {
        texts[std::size_t(i)] = text(i);
        if (isAscii(texts[std::size_t(i)])) {
            plain.push_back(i);
        } else {
            slotOf[std::size_t(i)] = int(otherKeys.size());
            others.push_back(i);
            otherKeys.push_back(Keys::Of(texts[std::size_t(i)]));
        }
    }
    const Keys none;
    const auto keysOf = [&](int index) -> const Keys & {
        const int slot = slotOf[std::size_t(index)];
        return slot < 0 ? none : otherKeys[std::size_t(slot)];
    };
    const auto less = [&](int a, int b) {
        return compareWith(texts[std::size_t(a)], keysOf(a), texts[std::size_t(b)], keysOf(b)) < 0;
    };
    // Two plain texts: both levels are the text with A to Z made small, so one pass does.
    const auto plainLess = [&](int a, int b) {
        const QStringView x = texts[std::size_t(a)];
        const QStringView y = texts[std::size_t(b)];
        const int c = compareKeys(x, true, y, true);
        return c != 0 ? c < 0 : compareExact(x, y) < 0;
    };
    if (!std::is_sorted(plain.begin(), plain.end(), plainLess))
        std::stable_sort(plain.begin(), plain.end(), plainLess);
    std::stable_sort(others.begin(), others.end(), less);

    // As std::merge would, with a search per other text instead of a comparison per row:
    // from the last place on, in steps that double, then by halving, as the next place is
    // most often only a few rows on.
    QVector<int> order;
    order.reserve(count);
    auto from = plain.begin();
    for (const int other : others) {
        auto low = from;
        auto high = from;
        for (std::ptrdiff_t step = 1; high != plain.end() && !less(other, *high); step *= 2) {
            low = high + 1;
            high = low + std::min(step, plain.end() - low);
        }
        const auto to = std::upper_bound(low, high, other, less);
        std::copy(from, to, std::back_inserter(order));
        order.append(other);
        from = to;
    }
    std::copy(from, plain.end(), std::back_inserter(order));
    return order;
}

void Sort(RecordList &list, int field)
{
    const QVector<int> order = SortedOrder(
        list.RecordCount(), [&list, field](int row) { return list.TextView(row, field); });
    for (int i = 0; i < order.size(); ++i) {
        if (order[i] != i) {
            list.ReorderRows(order);
            return;
        }
    }
}

} // namespace Letters
