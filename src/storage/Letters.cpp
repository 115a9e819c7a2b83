#include "Letters.h"

#include "RecordList.h"

#include <QHash>
#include <algorithm>
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

// Per character, computed once: most titles repeat a few accented letters.
const QString &cached(QHash<char16_t, QString> &cache, QChar c, QString (*make)(QChar))
{
    auto it = cache.constFind(c.unicode());
    if (it == cache.constEnd())
        it = cache.insert(c.unicode(), make(c));
    return *it;
}

// Level 1 (base letters) or 2 (accents kept) of a text that is not plain ASCII.
QString key(QStringView text, bool accents)
{
    thread_local QHash<char16_t, QString> bases;
    thread_local QHash<char16_t, QString> folds;
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            result += QChar(lowerAscii(c.unicode()));
        else if (c.isSurrogate())
            result += c;
        else
            result += accents ? cached(folds, c, foldChar) : cached(bases, c, baseOf);
    }
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

// The sort keys of one text; plain ASCII needs none.
struct Keys
{
    bool ascii = true;
    QString base;
    QString accented;

    static Keys Of(QStringView text)
    {
        Keys keys;
        if (isAscii(text))
            return keys;
        keys.ascii = false;
        keys.base = key(text, false);
        keys.accented = key(text, true);
        return keys;
    }
};

int compareWith(QStringView a, const Keys &ka, QStringView b, const Keys &kb)
{
    if (int c = compareKeys(ka.ascii ? a : ka.base, ka.ascii, kb.ascii ? b : kb.base, kb.ascii))
        return c;
    if (int c =
            compareKeys(ka.ascii ? a : ka.accented, ka.ascii, kb.ascii ? b : kb.accented, kb.ascii))
        return c;
    return compareExact(a, b);
}

} // namespace

QString Folded(QStringView text)
{
    if (isAscii(text)) {
        QString result(text.size(), Qt::Uninitialized);
        for (qsizetype i = 0; i < text.size(); ++i)
            result[i] = QChar(lowerAscii(text[i].unicode()));
        return result;
    }
    const QString composed = text.toString().normalized(QString::NormalizationForm_C);
    QString folded;
    folded.reserve(composed.size());
    for (qsizetype i = 0; i < composed.size(); ++i) {
        const QChar c = composed.at(i);
        if (c.isHighSurrogate() && i + 1 < composed.size()) {
            folded += composed.mid(i, 2).toCaseFolded();
            ++i;
        } else {
            folded += c.unicode() < 0x80 ? QString(QChar(lowerAscii(c.unicode()))) : foldChar(c);
        }
    }
    return folded.normalized(QString::NormalizationForm_C);
}

QString Bare(QStringView text)
{
    if (isAscii(text))
        return Folded(text);
    thread_local QHash<char16_t, QString> bases;
    QString bare;
    bare.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80) {
            bare += QChar(lowerAscii(c.unicode()));
        } else if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            // Letters beyond the first plane (Deseret, Adlam...) have case too.
            bare += text.mid(i, 2).toString().toCaseFolded();
            ++i;
        } else if (!c.isSurrogate()) {
            bare += cached(bases, c, baseOf);
        } else {
            bare += c;
        }
    }
    return bare;
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

QVector<int> SortedOrder(int count, const std::function<QStringView(int)> &text)
{
    // The catalogue hands rows over in NOCASE order, which is this order for plain ASCII
    // texts: only the others need keys and a sort of their own, then the two merge.
    std::vector<int> plain;
    std::vector<int> others;
    std::vector<Keys> otherKeys;
    std::vector<int> slotOf(std::size_t(std::max(count, 0)), -1);
    for (int i = 0; i < count; ++i) {
        Keys keys = Keys::Of(text(i));
        if (keys.ascii) {
            plain.push_back(i);
        } else {
            slotOf[std::size_t(i)] = int(otherKeys.size());
            others.push_back(i);
            otherKeys.push_back(std::move(keys));
        }
    }
    const Keys none;
    const auto keysOf = [&](int index) -> const Keys & {
        const int slot = slotOf[std::size_t(index)];
        return slot < 0 ? none : otherKeys[std::size_t(slot)];
    };
    const auto less = [&](int a, int b) {
        return compareWith(text(a), keysOf(a), text(b), keysOf(b)) < 0;
    };
    if (!std::is_sorted(plain.begin(), plain.end(), less))
        std::stable_sort(plain.begin(), plain.end(), less);
    std::stable_sort(others.begin(), others.end(), less);

    QVector<int> order;
    order.reserve(count);
    std::merge(plain.begin(), plain.end(), others.begin(), others.end(), std::back_inserter(order),
               less);
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
