#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>
#include <functional>

class RecordList;

// How the program compares and orders text, in every list and every name check.
//
// Equal: "without regard to letter case" for every script: full Unicode case folding
// ("ÉMILE" is "Émile", "ΣΊΣΥΦΟΣ" is "σίσυφος", "STRASSE" is "Straße"), canonically
// equivalent spellings alike; accents stay significant ("Amelie" is not "Amélie").
//
// Order: letters with their base letter and case ignored ("Eagle", "Émile", "Fargo"),
// then accents (unaccented first), then the exact text (capitals first), then the order
// the rows came in.
//
// The catalogue's own NOCASE comparison folds A to Z only and stays as it is, so the file
// means the same to other SQLite tools; NOCASE-equal texts are always Equal here.
// Not QCollator: the ASCII rows come in order from the catalogue and only the others are
// merged in, where a collator would sort every row again.
namespace Letters {

// The text every Equal text shares.
QString Folded(QStringView text);
// What a search compares: case and accents ignored for every script ("Amélie", "AMELIE"
// and a decomposed "Ame\u0301lie" all give "amelie"), compatibility forms spelled out
// ("ﬁ" gives "fi"). Everything else, punctuation included, stays as typed.
QString Bare(QStringView text);
// Bare(text) as UTF-8, appended (the find box keeps every title's text so).
void AppendBare(QByteArray &utf8, QStringView text);
bool Equal(QStringView a, QStringView b);
// Negative, 0 or positive; 0 only for identical texts.
int Compare(QStringView a, QStringView b);
// Whether SQLite's NOCASE calls the two equal (A to Z folded, nothing else).
bool NocaseEqual(QStringView a, QStringView b);

// What the user typed, as the catalogue holds it. `stored` are the stored spellings Equal
// to `typed`; the ones the catalogue's = (NOCASE) misses for it ("AMÉLIE" for "Amélie"):
QStringList MissedSpellings(QStringView typed, const QStringList &stored);
// The name the statements use: `typed` when = finds a stored spelling (or there is none),
// else the stored one ("Épopée" for "épopée").
QString StoredSpelling(const QString &typed, const QStringList &stored);

// The order of `count` texts under Compare, ties kept in their given order: element i
// is the index of the text that goes to place i.
QVector<int> SortedOrder(int count, const std::function<QStringView(int)> &text);
// Puts the list's rows in the order of the field's text.
void Sort(RecordList &list, int field);

} // namespace Letters
