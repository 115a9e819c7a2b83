#pragma once

#include <QRandomGenerator>
#include <QString>
#include <QStringList>

class QSqlDatabase;

// Prepares a program folder (through CataloguePreparer) and fills its catalogue with
// titles of realistic content: varied lengths and letters (apostrophes, non-ASCII), a
// tenth on the wish list, 1 to 4 genres of 40, 5 to 20 cast rows, covers for a tenth.
// The same seed always gives the same catalogue.
class CatalogueGenerator
{
public:
    explicit CatalogueGenerator(quint32 seed = 20261206);

    static constexpr int GenreCount = 40;

    // Refuses a folder that already holds a catalogue: it never adds to a user's titles.
    bool Generate(const QString &folder, int titles, QString *error);

private:
    bool fill(QSqlDatabase &db, const QString &imagesFolder, int titles, QString *error);
    QString titleText();
    QString personName();
    QString sentence(int minWords, int maxWords);
    QString summary();
    QString features();
    QString eggs();
    const QString &pick(const QStringList &words);
    int between(int low, int high); // inclusive

    QRandomGenerator m_random;
};
