#include "CatalogueGenerator.h"

#include "CataloguePreparer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVector>

namespace {

const QStringList kTitleWords{
    "Night",      "Return",    "Ocean's",    "Eleven",      "Star",      "War",
    "Last",       "Empire",    "Lord",       "Rings",       "Kingdom",   "Heaven's",
    "Gate",       "Dark",      "Knight",     "Rises",       "Shadow",    "River",
    "Mystic",     "Blue",      "Velvet",     "Fargo",       "Crimson",   "Tide",
    "Lost",       "Ark",       "Raiders",    "Temple",      "Doom",      "Crusade",
    "Devil's",    "Advocate",  "Children's", "Hour",        "Don't",     "Look",
    "Now",        "Amélie",    "Café",       "Über",        "Señor",     "Noël",
    "Zoë",        "Ça",        "Fête",       "Smörgåsbord", "Ōkami",     "Crème",
    "Brûlée",     "Æon",       "Flux",       "Москва",      "東京",      "物語",
    "Ἀθῆναι",     "Journey",   "Center",     "Earth",       "Moon",      "Sun",
    "Rain",       "Man",       "Woman",      "Girl",        "Boy",       "City",
    "Angels",     "Demons",    "Fire",       "Ice",         "Blood",     "Diamond",
    "Time",       "Machine",   "Escape",     "Alcatraz",    "Great",     "Dictator",
    "Modern",     "Times",     "Wild",       "Bunch",       "Good",      "Bad",
    "Ugly",       "Seven",     "Samurai",    "O'Brien",     "Wizard",    "Oz",
    "Casablanca", "Vertigo",   "Psycho",     "Birds",       "Rear",      "Window",
    "North",      "Northwest", "Apocalypse", "Jaws",        "Alien",     "Aliens",
    "Terminator", "Matrix",    "Gladiator",  "Memento",     "Inception", "Interstellar",
    "Whiplash",   "Parasite",  "Roma"};
const QStringList kJoinWords{"of", "the", "and", "in", "on", "a", "from", "to", "with"};
const QStringList kEditions{"Special Edition",
                            "Director's Cut",
                            "Collector's Edition",
                            "Widescreen",
                            "Full Screen",
                            "Two-Disc Special Edition",
                            "Anniversary Edition",
                            "Extended Edition",
                            "Criterion Collection",
                            "Édition Spéciale",
                            "Unrated",
                            "Theatrical Cut",
                            "Ultimate Collector's Edition \"Gold\"",
                            "Limited Edition Steelbook"};
const QStringList kFirstNames{
    "James",  "Mary",  "Robert", "Patricia", "John",   "Jennifer", "Michael",  "Linda",   "William",
    "Élodie", "Søren", "Zoë",    "José",     "Björk",  "Renée",    "François", "Chloë",   "Siobhán",
    "Dmitri", "Akira", "Ingrid", "Penélope", "Javier", "Mads",     "Juliette", "Toshirō", "Liv",
    "Max",    "Ana",   "Kate",   "Cate",     "Denzel", "Meryl",    "Tom",      "Grace"};
const QStringList kLastNames{"Smith",     "O'Connor",   "O'Hara",     "Johnson",   "Williams",
                             "Brown",     "Jones",      "García",     "Müller",    "Nyqvist",
                             "Løvgren",   "Binoche",    "Cruz",       "Bardem",    "Mikkelsen",
                             "Kurosawa",  "Mifune",     "Bergman",    "Ullmann",   "von Sydow",
                             "Blanchett", "Washington", "Streep",     "D'Onofrio", "Nguyễn",
                             "Dvořák",    "Kowalczyk",  "Østergaard", "Lindqvist", "Hanks"};
const QStringList kCharacterWords{
    "Detective", "Captain",   "Doctor",  "Agent",   "The Stranger",      "Mother",
    "Father",    "Sergeant",  "Young",   "Old",     "Professor",         "Narrator",
    "Waitress",  "Bartender", "Himself", "Herself", "Voice of the Ship", "Guard #2",
    "Mrs.",      "Mr.",       "Sister"};
const QStringList kProse{"a",       "the",   "who",    "finds",   "that",   "his",     "her",
                         "their",   "old",   "new",    "friend",  "family", "secret",  "must",
                         "before",  "after", "city",   "war",     "love",   "journey", "discovers",
                         "town",    "small", "crime",  "past",    "future", "world",   "against",
                         "time",    "can't", "won't",  "it's",    "naïve",  "déjà",    "vu",
                         "between", "truth", "lies",   "home",    "heist",  "escape",  "night",
                         "one",     "last",  "chance", "brother", "sister", "kingdom"};
const QStringList kFeatureItems{
    "Widescreen (2.35:1)",    "Dolby Digital 5.1", "DTS 6.1 ES",
    "Audio commentary",       "Deleted scenes",    "Theatrical trailer",
    "Making-of featurette",   "Isolated score",    "Subtitles: English, Français, Español",
    "Storyboard comparisons", "Photo gallery",     "Interactive menus",
    "Scene selection",        "THX certified",     "Behind the scenes"};
const QStringList kExtraGenres{
    "Film-Noir",   "Short",        "Reality-TV",   "Game-Show",     "Talk-Show",
    "News",        "Adult",        "Martial Arts", "Disaster",      "Superhero",
    "Spy",         "Heist",        "Silent",       "Anime",         "Children's",
    "Courtroom",   "Mockumentary", "Road Movie",   "Épopée",        "Samurai",
    "Space Opera", "Teen",         "Zombie",       "Psychological", "Political"};

} // namespace

CatalogueGenerator::CatalogueGenerator(quint32 seed) : m_random(seed) {}

int CatalogueGenerator::between(int low, int high)
{
    return low + int(m_random.bounded(quint32(high - low + 1)));
}

const QString &CatalogueGenerator::pick(const QStringList &words)
{
    return words.at(int(m_random.bounded(quint32(words.size()))));
}

QString CatalogueGenerator::titleText()
{
    // Mostly two to four words; now and then a long one or a sequel number.
    const int roll = between(1, 100);
    const int words = roll <= 10   ? 1
                      : roll <= 80 ? between(2, 4)
                      : roll <= 97 ? between(5, 8)
                                   : between(9, 16);
    QString text;
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text +=
            (i > 0 && i < words - 1 && between(1, 4) == 1) ? pick(kJoinWords) : pick(kTitleWords);
    }
    if (between(1, 12) == 1)
        text += QStringLiteral(" %1").arg(between(2, 7));
    else if (between(1, 25) == 1)
        text += QStringLiteral(": ") + pick(kTitleWords) + QStringLiteral(" Returns");
    return text;
}

QString CatalogueGenerator::personName()
{
    return pick(kFirstNames) + QLatin1Char(' ') + pick(kLastNames);
}

QString CatalogueGenerator::sentence(int minWords, int maxWords)
{
    const int words = between(minWords, maxWords);
    QString text;
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        text += pick(kProse);
    }
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text + QLatin1Char('.');
}

QString CatalogueGenerator::summary()
{
    QStringList sentences;
    const int count = between(1, 5);
    for (int i = 0; i < count; ++i)
        sentences << sentence(6, 22);
    return sentences.join(QLatin1Char(' '));
}

QString CatalogueGenerator::features()
{
    QStringList items;
    const int count = between(1, 6);
    for (int i = 0; i < count; ++i)
        items << pick(kFeatureItems);
    return items.join(QStringLiteral("\r\n"));
}

QString CatalogueGenerator::eggs()
{
    return between(1, 3) == 1 ? sentence(8, 30) : QString();
}

bool CatalogueGenerator::Generate(const QString &folder, int titles, QString *error)
{
    const QDir dir(folder);
    const QString catalogue = dir.filePath(QStringLiteral("dvd_collection.mdb"));
    if (QFileInfo::exists(catalogue)) {
        *error = QStringLiteral("%1 already exists; give an empty folder").arg(catalogue);
        return false;
    }
    if (!CataloguePreparer::Prepare(folder, error))
        return false;

    const QString name = QStringLiteral("generator");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(catalogue);
        if (!db.open()) {
            *error = db.lastError().text();
        } else {
            ok = fill(db, dir.filePath(QStringLiteral("images")), titles, error);
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

namespace {

// A few small distinct covers, written as the cover files of a tenth of the titles.
QVector<QByteArray> coverPictures()
{
    QVector<QByteArray> pictures;
    const QColor colours[] = {QColor(0x8b, 0x1e, 0x3f), QColor(0x1e, 0x4d, 0x8b),
                              QColor(0x2e, 0x7d, 0x32), QColor(0xc7, 0x7d, 0x12)};
    for (const QColor &colour : colours) {
        QImage image(200, 282, QImage::Format_RGB32);
        QPainter painter(&image);
        QLinearGradient gradient(0, 0, 0, image.height());
        gradient.setColorAt(0, colour.lighter(150));
        gradient.setColorAt(1, colour.darker(200));
        painter.fillRect(image.rect(), gradient);
        painter.fillRect(QRect(20, 180, 160, 40), colour.lighter(180));
        painter.end();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", 85);
        pictures << bytes;
    }
    return pictures;
}

bool failed(QString *error, const QSqlQuery &query)
{
    *error = query.lastError().text();
    return false;
}

} // namespace

bool CatalogueGenerator::fill(QSqlDatabase &db, const QString &imagesFolder, int titles,
                              QString *error)
{
    // One transaction and prepared statements: a hundred thousand titles in seconds.
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA synchronous = OFF"));
    if (!db.transaction()) {
        *error = db.lastError().text();
        return false;
    }

    QVector<qint64> genreIds;
    {
        QSqlQuery existing(db);
        existing.exec(QStringLiteral("SELECT Genre_ID FROM Genre ORDER BY Genre_ID"));
        while (existing.next())
            genreIds << existing.value(0).toLongLong();
        QSqlQuery addGenre(db);
        addGenre.prepare(QStringLiteral("INSERT INTO Genre (Genre) VALUES (?)"));
        for (int i = 0; genreIds.size() < GenreCount && i < kExtraGenres.size(); ++i) {
            addGenre.addBindValue(kExtraGenres.at(i));
            if (!addGenre.exec())
                return failed(error, addGenre);
            genreIds << addGenre.lastInsertId().toLongLong();
        }
        genreIds.resize(std::min<qsizetype>(genreIds.size(), GenreCount));
    }

    QSqlQuery addTitle(db);
    addTitle.prepare(QStringLiteral(
        "INSERT INTO DVD_Title (Title, Sub_Title, Date, Director, Summary, Features, Eggs, "
        "WishList) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery addGenreLink(db);
    addGenreLink.prepare(
        QStringLiteral("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) VALUES (?, ?)"));
    QSqlQuery addCast(db);
    addCast.prepare(QStringLiteral(
        "INSERT INTO Cast_Relationships (Movie, Actor, Character) VALUES (?, ?, ?)"));

    const QVector<QByteArray> covers = coverPictures();
    for (int t = 0; t < titles; ++t) {
        const int editionRoll = between(1, 10);
        const QVariant edition = editionRoll <= 2   ? QVariant(QMetaType(QMetaType::QString))
                                 : editionRoll <= 5 ? QVariant(QString())
                                                    : QVariant(pick(kEditions));
        const QString director =
            between(1, 8) == 1 ? personName() + QStringLiteral(", ") + personName() : personName();
        addTitle.addBindValue(titleText());
        addTitle.addBindValue(edition);
        addTitle.addBindValue(QString::number(between(1930, 2026)));
        addTitle.addBindValue(director);
        addTitle.addBindValue(summary());
        addTitle.addBindValue(features());
        addTitle.addBindValue(eggs());
        addTitle.addBindValue(between(1, 10) == 1 ? 1 : 0);
        if (!addTitle.exec())
            return failed(error, addTitle);
        const qint64 id = addTitle.lastInsertId().toLongLong();

        QVector<qint64> chosen;
        const int genres = between(1, 4);
        while (chosen.size() < genres) {
            const qint64 genre = genreIds.at(between(0, int(genreIds.size()) - 1));
            if (!chosen.contains(genre))
                chosen << genre;
        }
        for (qint64 genre : chosen) {
            addGenreLink.addBindValue(id);
            addGenreLink.addBindValue(genre);
            if (!addGenreLink.exec())
                return failed(error, addGenreLink);
        }

        const int castRows = between(5, 20);
        for (int c = 0; c < castRows; ++c) {
            addCast.addBindValue(id);
            addCast.addBindValue(personName());
            addCast.addBindValue(between(1, 3) == 1
                                     ? pick(kCharacterWords) + QLatin1Char(' ') + pick(kLastNames)
                                     : pick(kFirstNames));
            if (!addCast.exec())
                return failed(error, addCast);
        }

        if (between(1, 10) == 1) {
            QFile cover(imagesFolder + QStringLiteral("/%1.jpg").arg(id));
            if (!cover.open(QIODevice::WriteOnly)
                || cover.write(covers.at(int(id % covers.size()))) < 0) {
                *error = QStringLiteral("Cannot write %1").arg(cover.fileName());
                return false;
            }
        }
    }
    addTitle.finish();
    addGenreLink.finish();
    addCast.finish();
    if (!db.commit()) {
        *error = db.lastError().text();
        return false;
    }
    return true;
}
