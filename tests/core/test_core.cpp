// The catalogue's work without windows: the import's checks, titles out and in with awkward
// text and open loans, the backup, destinations that refuse or a Cancel, what the find box
// matches, the browse panel's values and titles; and other programs' files (CSV files of every
// common shape, collection files, hostile ones among them) against the titles they give.
#include "AwkwardText.h"
#include "BrowseCounts.h"
#include "CatalogueBackup.h"
#include "Connection.h"
#include "ForeignCsv.h"
#include "ImportPlan.h"
#include "ImportedCover.h"
#include "Loans.h"
#include "SearchTitles.h"
#include "TellicoFile.h"
#include "TestFolder.h"
#include "TitleExport.h"
#include "TitleFinder.h"
#include "TitleTransfer.h"

#include <QBuffer>
#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A destination that takes no writes: a full disk (no file this process writes grows past
// 512 kB, which binds root too) or a read-only folder (for root, whom permissions do not
// stop, an empty read-only file system laid over it).
class Blocked
{
public:
    Blocked(const QString &folder, bool readOnly) : m_folder(QFile::encodeName(folder))
    {
        getrlimit(RLIMIT_FSIZE, &m_limit);
        const rlimit full{512 << 10, m_limit.rlim_max};
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        if (!readOnly)
            m_set = setrlimit(RLIMIT_FSIZE, &full) == 0;
        else if (::geteuid() == 0)
            m_set = m_mounted = ::mount("tmpfs", m_folder, "tmpfs", MS_RDONLY, "size=64k") == 0;
        else
            m_set = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~Blocked()
    {
        setrlimit(RLIMIT_FSIZE, &m_limit);
        if (m_mounted)
            ::umount2(m_folder, MNT_DETACH);
        QFile::setPermissions(QFile::decodeName(m_folder),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    Q_DISABLE_COPY(Blocked)
    bool IsSet() const { return m_set; }

private:
    QByteArray m_folder;
    rlimit m_limit{};
    bool m_set = false;
    bool m_mounted = false;
};

QList<TitleRecord> readAll(const QString &connectionString)
{
    QList<TitleRecord> titles;
    TitleTransfer::ReadAll(connectionString, [&titles](const TitleRecord &title, qint64, qint64) {
        titles << title;
        return true;
    });
    return titles;
}

QStringList entriesOf(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

const auto kGoOn = [](qint64, qint64) { return true; };

// One entry as a line: title/edition/year/director/genres/cast/list, then what is refused
// or noted, and the size of its cover.
QString describe(const ImportPlan::Entry &entry)
{
    const TitleFacts &f = entry.title.facts;
    QStringList cast;
    for (const CastMember &member : entry.title.cast)
        cast << member.actor + "=" + member.character;
    QString line = QStringList{f.title,
                               f.subTitle,
                               f.date,
                               f.director,
                               entry.title.genres.join("+"),
                               cast.join(";"),
                               f.wishList ? "W" : "I"}
                       .join("/");
    if (!entry.reason.isEmpty())
        line += " refused " + entry.column + ": " + entry.reason;
    if (!entry.notes.isEmpty())
        line += " note " + entry.notes.join("; ");
    if (!entry.cover.isEmpty())
        line += QStringLiteral(" cover %1").arg(entry.cover.size());
    return line;
}

QString describe(const QList<ImportPlan::Entry> &entries)
{
    QStringList lines;
    for (const ImportPlan::Entry &entry : entries)
        lines << describe(entry);
    return lines.join(" || ");
}

const QByteArray kPng = QByteArray("\x89PNG\r\n\x1A\n", 8) + "rest of a picture";

QByteArray collection(const QByteArray &type, const QByteArray &body, const QByteArray &dtd = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE tellico PUBLIC \"-//x//DTD "
           "x//EN\" "
           "\"http://example.org/x.dtd\""
           + dtd + ">\n<tellico xmlns=\"http://periapsis.org/tellico/\" syntaxVersion=\"11\">\n"
           + "<collection title=\"Mine\" type=\"" + type + "\">\n<fields><field name=\"_default\"/>"
           + "</fields>\n" + body + "\n</collection>\n</tellico>\n";
}

const QByteArray kVideos =
    "<entry id=\"1\"><title>Amélie</title><medium>DVD</medium><year>2001</year>"
    "<directors><director>Jean-Pierre Jeunet</director></directors>"
    "<genres><genre>Comedy</genre><genre>Romance</genre></genres>"
    "<casts><cast><column>Audrey Tautou</column><column>Amélie Poulain</column></cast>"
    "<cast><column>Mathieu Kassovitz</column><column>Nino</column></cast></casts>"
    "<plot>A shy waitress.</plot><cover>a1.png</cover><nationality>France</nationality></entry>\n"
    "<entry id=\"2\"><title>Brazil</title><cover>../../evil.png</cover>"
    "<wishlist>true</wishlist></entry>\n"
    "<entry id=\"3\"><title>Big</title><year>1988</year><cover>big.png</cover></entry>\n"
    "<entry id=\"4\"><title>Text</title><year>c. 1960</year><cover>text.png</cover></entry>\n"
    "<entry id=\"5\"><year>1999</year></entry>";

const QString kVideoEntries =
    "Amélie/DVD/2001/Jean-Pierre Jeunet/Comedy+Romance/Audrey Tautou=Amélie Poulain;"
    "Mathieu Kassovitz=Nino/I cover 25 || "
    "Brazil//////W note no year; left empty; no director; left empty; the cover is not in the "
    "file; no cover || "
    "Big//1988////I note no director; left empty; the cover unpacks to more than 16 MB; no "
    "cover || "
    "Text//1960////I note no director; left empty; the cover is not a JPEG, PNG, GIF or BMP "
    "picture; no cover || "
    "//1999////I refused <title>: no title";

} // namespace

class TestCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void importPlan_data();
    void importPlan();
    void roundTrip_data();
    void roundTrip();
    void loansInTitlesFile();
    void refusedDestination_data();
    void refusedDestination();
    void finder_data();
    void finder();
    void browse_data();
    void browse();
    void browseScansMeet();
    void finderUpdate_data();
    void finderUpdate();
    void finderTyping_data();
    void finderTyping();
    void castCell_data();
    void castCell();
    void csvFiles_data();
    void csvFiles();
    void collectionFiles_data();
    void collectionFiles();
    void importWithCovers();
};

void TestCore::importPlan_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // for a file refused as a whole, part of why
    const auto row = [](const char *name, const QByteArray &bytes, const QString &expected) {
        QTest::newRow(name) << bytes << expected;
    };
    // The record on line 3 of a file whose other two are sound.
    const auto line3 = [](const QByteArray &record) {
        return "Title,Year,Genres,List,Edition\r\nGood,1999,Drama,wishlist,\r\n" + record
               + "\r\nAlso Good,2001,,,Special\r\n";
    };
    const auto refused = [&](const char *name, const QByteArray &record, const QString &why) {
        row(name, line3(record), "2 added | 3 " + why);
    };
    const auto oddYear = [](const char *year) {
        return QString("Year: the year \"%1\" is not four digits; kept as written").arg(year);
    };
    row("empty file", "", "The file is empty.");
    row("only empty lines", "\r\n\n\r\n", "only empty lines");
    row("binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "not a text file");
    row("UTF-16", QByteArray("\xFF\xFET\0i\0t\0l\0e\0\r\0\n\0", 16), "UTF-16 text, not UTF-8");
    row("header only", "Title,Year\r\n", "only the line of column names");
    row("no title column", "Name,Year\r\nA,1979\r\n", "no \"Title\" column");
    row("semicolons", "Title;Year\r\nA;1979\r\n", "separated by semicolons, not commas");
    row("a column twice", "Title,TITLE\r\nA,B\r\n", "\"Title\" appears twice");
    row("broken header", "Title,\"Year\r\nA,1\r\n", "quote opened here is never");

    refused("no title", ",1999,,,", "Title: no title");
    // Any year the catalogue can hold comes back from its own export: kept, and said so.
    row("no year", line3("Alien,,,,"), "3 added | 3 Year: no year; kept empty");
    row("letter in year", line3("Alien,197O,,,"), "3 added | 3 " + oddYear("197O"));
    row("five-digit year", line3("Alien,19799,,,"), "3 added | 3 " + oddYear("19799"));
    row("year with a blank", line3("Alien, 1999,,,"), "3 added | 3 " + oddYear(" 1999"));
    refused("five genres", "A,1979,A;B;C;D;E,,", "Genres: 5 genres; a title has at most four");
    refused("unknown list", "A,1979,,Owned,", "List: the list must be Inventory or Wishlist");
    refused("too many fields", "A,1,,,,x", ": 6 fields where the first line has 5");
    refused("stray quote", "A\"b,1979,,,", "Title: a quote inside a field that is not quoted");
    refused("after a quote", "A,1979,,,\"Cut\" 2", "Edition: text after a closing quote");
    refused("not UTF-8", "A,1979,,,caf\xE9", "Edition: not valid UTF-8 text");
    const QByteArray loan = "Title,Year,List,Borrower,Lent On,Due Back\r\nAlien,1979,";
    row("lent date not a date", loan + ",Anna,last week,\r\n",
        "0 added | 2 Lent On: the date lent must be a date (Example 2026-12-03)");
    row("due before lent", loan + ",Anna,2026-12-03,2026-12-01\r\n",
        "0 added | 2 Due Back: the due date is before the date lent");
    row("wishlist title on loan", loan + "Wishlist,Anna,2026-12-03,\r\n",
        "0 added | 2 Borrower: a Wishlist title cannot be on loan");
    row("quote never closed", line3("A,1979,\"Drama\r\n\r\nx,2000,,,"),
        "1 added | 3 Genres: a quote opened here is never closed");

    row("UTF-8 mark, LF line ends, no last line end", "\xEF\xBB\xBFTitle,Year\nA,1999\nB,19",
        "2 added | 3 " + oddYear("19"));
    row("empty lines skipped and counted", "Title,Year\r\n\r\n\nA,19\r\n\r\n",
        "1 added | 4 " + oddYear("19"));
    row("quoted line breaks counted", "Title,Summary,Year\r\nA,\"x\ny\r\nz\",1999\r\nB,,19\r\n",
        "2 added | 5 " + oddYear("19"));
    row("empty last field, no last line end", "Title,Year,Edition\r\nA,1999,", "1 added");
    row("column names with blanks around", " Title , Year \r\nA,1999\r\n", "1 added");
    row("fault in a quoted field over two lines",
        "Title,Year,Summary\r\nA,1999,\"x\r\ny\"z\r\nB,2000,\r\n",
        "1 added | 3 Summary: text after a closing quote");
    row("typed genres", "Title,Year,Genres\r\nA,1999, Noir ;;Rom\\;Com; horror;\r\n",
        "1 added | new genres Noir, Rom;Com");
    // Against a catalogue holding "Alien" "Director's Cut" and the genres Drama and Horror.
    row("similar titles, new genres, unknown column",
        "title,EDITION,Year,Genres,Rating\r\nALIEN,director's cut,1979,Horror; space opera,5\r\n"
        "Alien,,1979,,4\r\nAmélie,,2001,,3\r\nAMÉLIE,,2001,,3\r\n"
        "New,,2001,Space Opera;Noir,1\r\nnew,,2002,,1\r\n",
        "3 added | 2 : a title with this name and edition is in the catalogue"
        " | 5 : the same name and edition as line 4 | 7 : the same name and edition as line 6"
        " | new genres space opera, Noir | ignored Rating");
}

void TestCore::importPlan()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    TitleTransfer::Existing existing;
    existing.titleKeys << TitleTransfer::SimilarKey("Alien", "Director's Cut");
    for (const QString genre : {"Drama", "Horror"})
        existing.genres.insert(TitleTransfer::GenreKey(genre), genre);
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, existing, kGoOn));
    if (!plan.FileFault().isEmpty()) {
        QVERIFY2(plan.FileFault().contains(expected), qPrintable(plan.FileFault()));
        return;
    }
    // The count added, every other row (line column: reason), the genres to create and
    // the columns ignored.
    QStringList parts{QStringLiteral("%1 added").arg(plan.Count(ImportPlan::Status::Accepted))};
    for (const ImportPlan::Row &row : plan.Rows())
        if (!row.reason.isEmpty())
            parts << QStringLiteral("%1 %2: %3").arg(row.line).arg(row.column, row.reason);
    if (!plan.GenresToCreate().isEmpty())
        parts << "new genres " + plan.GenresToCreate().join(", ");
    if (!plan.UnknownColumns().isEmpty())
        parts << "ignored " + plan.UnknownColumns().join(", ");
    QCOMPARE(parts.join(" | "), expected);
}

void TestCore::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
}

void TestCore::roundTrip()
{
    QFETCH(QString, text);
    TestFolder from;
    from.AddTitle({.title = text,
                   .subTitle = text,
                   .date = text, // a year another tool stored
                   .director = text,
                   .summary = text,
                   .features = text,
                   .eggs = text,
                   .wishList = 1,
                   .genres = {text, "Drama"},
                   .cast = {{text, text}, {"Plain", text}, {text, ""}}});
    from.AddTitle({.title = "Witness",
                   .date = QVariant(),
                   .genres = {"Crime", "War", "Noir", "Drama"},
                   .cast = {{"A", "B"}}});
    from.AddTitle({.title = "Dateless", .date = ""});
    from.WriteImageFile("1.jpg", "not decoded, only copied");
    const auto shared = from.MakeShared();
    const QList<TitleRecord> exported = readAll(shared->ConnectionString);
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    const TitleExport::Result written = TitleExport::Write(file, shared->ConnectionString);
    QCOMPARE(int(written.outcome), int(TitleExport::Outcome::Exported));
    QCOMPARE(written.titles, qint64(3));
    const QByteArray bytes = file.data();
    QVERIFY(bytes.startsWith("\xEF\xBB\xBFTitle,Edition,Year,Directed By,"));

    TestFolder to;
    const QString target = to.MakeShared()->ConnectionString;
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, TitleTransfer::ReadExisting(target), kGoOn));
    QCOMPARE(plan.Count(ImportPlan::Status::Accepted), 3);
    // All or nothing: a first go cancelled after one title (as a failed insert ends it) leaves
    // nothing behind.
    const QByteArray empty = to.CatalogueBytes();
    QCOMPARE(plan.Write(bytes, false, target, [](qint64 done, qint64) { return done < 1; }), -1);
    QCOMPARE(to.CatalogueBytes(), empty);
    QCOMPARE(plan.Write(bytes, false, target, kGoOn), 3);
    QCOMPARE(to.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = 'Drama'").toInt(),
             1); // two titles
    QList<TitleRecord> imported = readAll(target);
    for (qsizetype i = 0; i < imported.size() && i < exported.size(); ++i) {
        imported[i].id = exported[i].id; // each catalogue numbers its own rows
        imported[i].genreIds = exported[i].genreIds;
    }
    QVERIFY(imported == exported);

    // The backup holds the same titles and pictures, and a folder of its name is never
    // written into.
    QTemporaryDir destination;
    const auto backup = [&](const CatalogueBackup::Progress &progress) {
        return CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString,
                                     destination.path(),
                                     QDateTime(QDate(2026, 12, 6), QTime(17, 5, 9)), progress);
    };
    const QString made = backup(kGoOn).folder;
    QCOMPARE(entriesOf(destination.path()), QStringList{"Reelvane backup 2026-12-06 170509"});
    QCOMPARE(TestFolder::ReadFile(made + "/images/1.jpg"),
             TestFolder::ReadFile(from.ImagesPath() + "/1.jpg"));
    Module1 copy(made);
    copy.InitializeDatabasePath();
    QVERIFY(readAll(copy.ConnectionString) == exported);
    const QByteArray copied = TestFolder::ReadFile(made + "/dvd_collection.mdb");
    from.AddTitle({.title = "Changed since"});
    try {
        backup(kGoOn);
        QFAIL("a second backup under the same name was made");
    } catch (const CatalogueBackup::Failure &failure) {
        QVERIFY2(failure.Message().contains("already exists"), qPrintable(failure.Message()));
    }
    QCOMPARE(TestFolder::ReadFile(made + "/dvd_collection.mdb"), copied);
}

// The open loans go out in the file's last three columns and come back; the returned one and
// notes stay behind. Another tool's columns, in any order and case, are read too.
void TestCore::loansInTitlesFile()
{
    TestFolder from;
    const QString borrower = QString::fromUtf8("O'Hara, \"Jo\"; Ærø\tx");
    const qint64 alien = from.AddTitle({.title = "Alien"});
    const qint64 brazil = from.AddTitle({.title = "Brazil"});
    from.AddTitle({.title = "Casablanca"});
    {
        Connection connection;
        connection.Open(from.MakeShared()->ConnectionString);
        Loans::Lend(connection, alien, borrower, QDate(2026, 12, 3), QDate(2026, 12, 17), "n");
        Loans::Lend(connection, brazil, "Old", QDate(2026, 1, 3), {}, {});
        Loans::Return(connection, brazil, QDate(2026, 2, 3));
        Loans::Lend(connection, brazil, "Bea", QDate(2026, 3, 3), {}, {});
    }
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    QCOMPARE(TitleExport::Write(file, from.MakeShared()->ConnectionString).outcome,
             TitleExport::Outcome::Exported);
    QVERIFY(file.data().contains("Cast,List,Borrower,Lent On,Due Back\r\n"));

    TestFolder to;
    const QString target = to.MakeShared()->ConnectionString;
    for (const QByteArray &bytes :
         {file.data(), QByteArray("lent on,BORROWER,Title,Year\r\n2026-12-03,Anna,Zed,1979\r\n"
                                  "2026-12-03,,Yan,1980\r\n")}) {
        ImportPlan plan;
        QVERIFY(plan.Analyse(bytes, TitleTransfer::ReadExisting(target), kGoOn));
        QCOMPARE(plan.Count(ImportPlan::Status::Refused), 0);
        QVERIFY(plan.Write(bytes, false, target, kGoOn) > 0);
    }
    QStringList loans;
    for (const QVariantList &row :
         to.Rows("SELECT t.Title || ':' || Borrower || ',' || Lent_On || ',' || ifnull(Due_On, "
                 "'-') || ',' || ifnull(Returned_On, '-') FROM Loan JOIN DVD_Title t ON t.ID = "
                 "Loan.Title_ID ORDER BY t.Title"))
        loans << row[0].toString();
    QCOMPARE(loans, (QStringList{"Alien:" + borrower + ",2026-12-03,2026-12-17,-",
                                 "Brazil:Bea,2026-03-03,-,-", "Zed:Anna,2026-12-03,-,-"}));
}

namespace {
enum Block { Cancel, FullDisk, ReadOnly };
}

void TestCore::refusedDestination_data()
{
    QTest::addColumn<bool>("backup"); // else export
    QTest::addColumn<int>("titles");
    QTest::addColumn<int>("block");
    QTest::addColumn<QString>("expected"); // the export's outcome, the backup's message
    QTest::newRow("export, cancelled") << false << 12 << int(Cancel) << "Cancelled";
    QTest::newRow("backup, cancelled") << true << 1 << int(Cancel) << "";
    QTest::newRow("export, full disk") << false << 12 << int(FullDisk) << "NotWritten";
    QTest::newRow("export, read-only") << false << 1 << int(ReadOnly) << "NotOpened";
    QTest::newRow("backup, full disk") << true << 12 << int(FullDisk) << "The catalogue";
    QTest::newRow("backup, full disk at a picture") << true << 1 << int(FullDisk) << "The picture";
    QTest::newRow("backup, read-only") << true << 1 << int(ReadOnly) << "A folder cannot";
}

// A refused or cancelled export or backup leaves the destination as it was: no partial
// file or folder, an earlier export kept whole. With room again, the same goes through.
void TestCore::refusedDestination()
{
    QFETCH(bool, backup);
    QFETCH(int, titles);
    QFETCH(int, block);
    QFETCH(QString, expected);
    TestFolder folder;
    for (int i = 0; i < titles; ++i)
        folder.AddTitle(
            {.title = QString::number(i), .summary = QString("Long. ").repeated(11000)});
    folder.WriteImageFile("1.jpg", QByteArray(2 << 20, 'x'));
    const QString connection = folder.MakeShared()->ConnectionString;
    QTemporaryDir destination;
    const QString earlier = destination.path() + "/titles.csv";
    QVERIFY(TestFolder::WriteFile(earlier, "an earlier export"));
    const auto run = [&](const TitleExport::Progress &progress) -> QString {
        if (!backup) {
            const auto outcome = TitleExport::ToFile(earlier, connection, progress).outcome;
            const char *names[] = {"Exported", "Cancelled", "NotOpened", "NotWritten"};
            return names[int(outcome)];
        }
        try {
            return CatalogueBackup::Make(folder.Path(), connection, destination.path(),
                                         QDateTime::currentDateTime(), progress)
                .folder;
        } catch (const CatalogueBackup::Failure &failure) {
            return failure.Message();
        }
    };
    if (block == Cancel) {
        QCOMPARE(run([](qint64 done, qint64) { return done < 1; }), expected);
    } else {
        const Blocked blocked(destination.path(), block == ReadOnly);
        QVERIFY(blocked.IsSet());
        const QString refusal = run(kGoOn);
        QVERIFY2(refusal.startsWith(expected), qPrintable(refusal));
    }
    QCOMPARE(entriesOf(destination.path()), QStringList{"titles.csv"});
    QCOMPARE(TestFolder::ReadFile(earlier), QByteArray("an earlier export"));

    const QString done = run(kGoOn);
    QCOMPARE(entriesOf(destination.path()).size(), backup ? 2 : 1);
    if (!backup) {
        QCOMPARE(done, QString("Exported"));
        QCOMPARE(TestFolder::ReadFile(earlier).count("\r\n"), titles + 1);
    }
}

void TestCore::finder_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected"); // in the order the rows were given
    const auto row = [](const char *name, const QString &query, const QStringList &titles) {
        QTest::newRow(name) << query << titles;
    };
    row("accents and case, decomposed too", "AMELIE",
        {"Amélie", "Ame\u0301lie Redux", "Amélie on the Wish List"});
    row("capital É", "emile", {"ÉMILE"});
    row("every field of a title", "amelie edition jeunet tautou poulain", {"Amélie"});
    row("words in two titles", "clooney amelie", {});
    row("word order, repeated words", "  poulain\tAMELIE amelie ", {"Amélie"});
    row("apostrophe", "ocean's", {"Ocean's Eleven"});
    row("wildcards as text", "_fun*", {"100% Pure_Fun*"});
    row("a lone sign", "%", {"100% Pure_Fun*"});
    row("diaeresis in the cast", "zoe", {"ÉMILE"});
    row("Greek final sigma", "σίσυφος", {"ΣΊΣΥΦΟΣ"});
    row("ß", "STRASSE", {"Straße"});
    row("inside a CJK name", "安二郎", {"東京物語"});
    row("emoji", "🎆", {"Fireworks 🎆"});
    row("NUL", QString(QChar(0)), {});
    row("ideographic and no-break spaces", "amelie\u3000jeunet\u00A0tautou", {"Amélie"});
    row("full-width letters, a Roman numeral", "ＡＭＥＬＩＥ redu\u2179", {"Ame\u0301lie Redux"});
}

// Every title of both lists, read once; the rows it is asked about are a list's, in the
// list's order, and may hold a title added since (found only once read again).
void TestCore::finder()
{
    QFETCH(QString, query);
    TestFolder folder;
    AddSearchTitles(folder);
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    TitleFinder finder;
    QVERIFY(finder.Build(connection));
    const qint64 added = folder.AddTitle({.title = "Amélie Added Since"});
    QVector<qint64> ids{added};
    QStringList titles{"Amélie Added Since"};
    for (const QVariantList &row : folder.Rows("SELECT ID, Title FROM DVD_Title WHERE ID <> ? "
                                               "ORDER BY ID",
                                               {added})) {
        ids << row[0].toLongLong();
        titles << row[1].toString();
    }
    finder.SetRows(ids);
    QStringList found;
    for (const int row : finder.MatchingRows(TitleFinder::Words(query)))
        found << titles[row];
    QTEST(found, "expected");
}

// Titles another tool may have written: odd years, a 10,000-letter director, names that
// differ by case or accents only, one genre linked 200 times, 200 cast rows of one actor.
void addBrowseTitles(TestFolder &folder)
{
    folder.AddTitle({.title = "Alpha",
                     .date = "1960",
                     .director = "Émile Roux, amélie Poulain",
                     .genres = {"Drama", "War"},
                     .cast = {{"Zoë", "A"}, {"  ANNA  ", "B"}}});
    folder.AddTitle({.title = "Beta",
                     .date = "c. 1960",
                     .director = "ÉMILE ROUX / Amelie Poulain",
                     .genres = {"Drama"},
                     .cast = {{"Anna", "C"}, {"", "D"}}});
    folder.AddTitle(
        {.title = "Gamma", .date = "19999", .director = QVariant(), .cast = {{"   ", "Extra"}}});
    folder.AddTitle({.title = "Delta",
                     .date = "1975",
                     .director = "émile roux",
                     .genres = {"War"},
                     .cast = {{"ZOË", "E"}, {"élan", "F"}, {"Élan", "G"}}});
    const qint64 longer =
        folder.AddTitle({.title = "Long", .date = QString(), .director = QString(10000, 'D')});
    folder.Exec("BEGIN");
    for (int link = 0; link < 200; ++link) {
        folder.Exec("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) VALUES (?, ?)",
                    {longer, folder.GenreId("Drama")});
        folder.Exec("INSERT INTO Cast_Relationships (Movie, Actor) VALUES (?, 'Kim')", {longer});
    }
    folder.Exec("COMMIT");
    folder.AddTitle({.title = "Epsilon", .date = " 2001", .director = " , ; "});
    folder.AddTitle({.title = "Wish",
                     .date = "1961",
                     .director = "Émile Roux",
                     .wishList = 1,
                     .genres = {"Drama"},
                     .cast = {{"Anna", "F"}}});
    folder.AddTitle({.title = "Wish Two", .director = QVariant(), .wishList = 1});
    // A second genre the letter rule calls War, on a title War has already.
    folder.Exec("INSERT INTO Genre (Genre) VALUES ('WAR')");
    folder.Exec("INSERT INTO Genre_Relationships (Title_ID, Genre_ID) SELECT ID, (SELECT "
                "max(Genre_ID) FROM Genre) FROM DVD_Title WHERE Title = 'Alpha'");
    // IDs too far apart for a bit per ID.
    folder.Exec("UPDATE DVD_Title SET ID = 5000000000 WHERE Title = 'Wish Two'");
}

void TestCore::browse_data()
{
    QTest::addColumn<int>("branch");
    QTest::addColumn<int>("list");
    QTest::addColumn<QStringList>("values");        // "name (titles)", in the tree's order
    QTest::addColumn<QList<QStringList>>("titles"); // per value, the titles it shows
    using B = BrowseCounts::Branch;
    const QString longName(10000, 'D');
    QTest::newRow("genres: links repeated, titles without one")
        << int(B::Genres) << 0 << QStringList{"Drama (3)", "War (2)", "(none) (2)"}
        << QList<QStringList>{{"Alpha", "Beta", "Long"}, {"Alpha", "Delta"}, {"Epsilon", "Gamma"}};
    QTest::newRow("directors: split, joined by case in any script, accents apart")
        << int(B::Directors) << 0
        << QStringList{"Amelie Poulain (1)", "amélie Poulain (1)", longName + " (1)",
                       "ÉMILE ROUX (3)", "(none) (2)"}
        << QList<QStringList>{
               {"Beta"}, {"Alpha"}, {"Long"}, {"Alpha", "Beta", "Delta"}, {"Epsilon", "Gamma"}};
    QTest::newRow("decades: four-digit years only")
        << int(B::Decades) << 0 << QStringList{"1960s (1)", "1970s (1)", "2000s (1)", "(none) (3)"}
        << QList<QStringList>{{"Alpha"}, {"Delta"}, {"Epsilon"}, {"Beta", "Gamma", "Long"}};
    QTest::newRow("actors: trimmed, one title counted once")
        << int(B::Actors) << 0
        << QStringList{"ANNA (2)", "Élan (1)", "Kim (1)", "ZOË (2)", "(none) (2)"}
        << QList<QStringList>{
               {"Alpha", "Beta"}, {"Delta"}, {"Long"}, {"Alpha", "Delta"}, {"Epsilon", "Gamma"}};
    QTest::newRow("the Wishlist's own")
        << int(B::Genres) << 1 << QStringList{"Drama (1)", "(none) (1)"}
        << QList<QStringList>{{"Wish"}, {"Wish Two"}};
}

void TestCore::browse()
{
    QFETCH(int, branch);
    QFETCH(int, list);
    QFETCH(QList<QStringList>, titles);
    TestFolder folder;
    addBrowseTitles(folder);
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    const auto read = BrowseCounts::Read(connection, BrowseCounts::Branch(branch), list);
    QStringList shown;
    QList<QStringList> shownTitles;
    for (const NameCount &value : read) {
        shown << value.name + " (" + QString::number(value.titles) + ")";
        QStringList names;
        for (const qint64 id :
             BrowseCounts::Titles(connection, BrowseCounts::Branch(branch), list, value))
            names << folder.Scalar("SELECT Title FROM DVD_Title WHERE ID = ?", {id}).toString();
        names.sort();
        shownTitles << names;
        // The choice's filter may hold other lists' titles too; of this list, the same.
        QStringList chosen;
        for (const qint64 id :
             BrowseCounts::ChosenTitles(connection, BrowseCounts::Branch(branch), list, value))
            if (folder.Scalar("SELECT WishList FROM DVD_Title WHERE ID = ?", {id}).toInt() == list)
                chosen
                    << folder.Scalar("SELECT Title FROM DVD_Title WHERE ID = ?", {id}).toString();
        chosen.sort();
        QCOMPARE(chosen, names);
    }
    QTEST(shown, "values");
    QCOMPARE(shownTitles, titles);
    // The same counted at once on two threads, the actors halved by name.
    QCOMPARE(BrowseCounts::ReadAll(folder.MakeShared()->ConnectionString, list)[branch], read);
    connection.Close();
    folder.CloseConnection();
    QCOMPARE(folder.CatalogueBytes(), before);

    // Indexed otherwise by another tool, the rows come in another order: the same.
    folder.Exec("DROP INDEX idx_cast_actor");
    folder.Exec("DROP INDEX idx_dvd_title_director");
    folder.Exec("CREATE INDEX other_cast ON Cast_Relationships (Movie, Actor)");
    folder.Exec("CREATE INDEX other_director ON DVD_Title (WishList, ID, Director)");
    folder.CloseConnection();
    connection.Open(folder.MakeShared()->ConnectionString);
    QCOMPARE(BrowseCounts::Read(connection, BrowseCounts::Branch(branch), list), read);
    QCOMPARE(BrowseCounts::ReadAll(folder.MakeShared()->ConnectionString, list)[branch], read);
}

// Enough cast rows that the second thread, scanning them from the end, begins names the first
// has not reached: the titles only it found have an actor all the same.
void TestCore::browseScansMeet()
{
    TestFolder folder;
    for (int title = 0; title < 101; ++title)
        folder.AddTitle({.title = QString::number(title)});
    // 600 rows per title, ten names each, the names of one title together in the index.
    folder.Exec("INSERT INTO Cast_Relationships (Movie, Actor) WITH RECURSIVE n(i) AS (SELECT 0 "
                "UNION ALL SELECT i + 1 FROM n WHERE i < 59999) SELECT (SELECT min(ID) FROM "
                "DVD_Title) + i / 600, printf('Name %04d', i / 600 * 10 + i % 10) FROM n");
    folder.CloseConnection();
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    const auto read = BrowseCounts::Read(connection, BrowseCounts::Branch::Actors, 0);
    QCOMPARE(read.size(), 1001);
    QCOMPARE(read.last().name + " " + QString::number(read.last().titles), "(none) 1");
    QCOMPARE(BrowseCounts::ReadAll(folder.MakeShared()->ConnectionString,
                                   0)[int(BrowseCounts::Branch::Actors)],
             read);
}

void TestCore::finderUpdate_data()
{
    // A change to the catalogue, then the title the finder is told of (asked before it).
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("told");
    const QString id = "SELECT ID FROM DVD_Title WHERE Title = '%1'";
    const QString director = "UPDATE DVD_Title SET Director = '%1' WHERE Title = '%2'";
    const QString gone = "DELETE FROM DVD_Title WHERE Title = '%1'";
    QTest::newRow("added") << "INSERT INTO DVD_Title (Title) VALUES ('Ran Kurosawa')"
                           << "SELECT MAX(ID) + 1 FROM DVD_Title";
    QTest::newRow("added in front") << "INSERT INTO DVD_Title (ID, Title) VALUES (-5, 'Kurosawa')"
                                    << "SELECT -5";
    QTest::newRow("longer, first")
        << director.arg("Kurosawa Jeunet", "100% Pure_Fun*") << id.arg("100% Pure_Fun*");
    QTest::newRow("shorter, in the middle") << director.arg("K", "Amélie") << id.arg("Amélie");
    QTest::newRow("deleted, first") << gone.arg("100% Pure_Fun*") << id.arg("100% Pure_Fun*");
    QTest::newRow("deleted, in the middle") << gone.arg("Amélie") << id.arg("Amélie");
    QTest::newRow("deleted, last")
        << gone.arg("Amélie on the Wish List") << id.arg("Amélie on the Wish List");
    QTest::newRow("never there") << QString("SELECT 1") << "SELECT 999";
    QTest::newRow("cast added late, cast of no title")
        << "INSERT INTO Cast_Relationships (Movie, Actor, Character) VALUES (999999, "
           "'Kurosawa', ''), ((SELECT MIN(ID) FROM DVD_Title), 'Late Kurosawa', NULL), ('7a', "
           "'Kurosawa', '')"
        << "SELECT MIN(ID) FROM DVD_Title";
}

// Told of one changed title, the finder finds what a new one would, for every title (those
// after the change too), asked about every ID used.
void TestCore::finderUpdate()
{
    QFETCH(QString, change);
    QFETCH(QString, told);
    TestFolder folder;
    AddSearchTitles(folder);
    QVector<qint64> ids{folder.Scalar(told).toLongLong()};
    for (const QVariantList &row : folder.Rows("SELECT ID FROM DVD_Title"))
        ids << row[0].toLongLong();
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    TitleFinder kept, fresh;
    QVERIFY(kept.Build(connection));
    // Asked before the change, a query that the ones after it narrow.
    kept.MatchingRows(TitleFinder::Words(u"k"));
    folder.Exec(change);
    kept.Update(connection, ids.first());
    QVERIFY(fresh.Build(connection));
    kept.SetRows(ids);
    fresh.SetRows(ids);
    for (const char *query :
         {"k", "kurosawa", "amelie", "e", "emile", "jeunet", "🎆", "wish", "100%"})
        QCOMPARE(kept.MatchingRows(TitleFinder::Words(QString::fromUtf8(query))),
                 fresh.MatchingRows(TitleFinder::Words(QString::fromUtf8(query))));
}

void TestCore::finderTyping_data()
{
    QTest::addColumn<QStringList>("queries"); // typed in turn
    QTest::newRow("letters added, accents ignored") << QStringList{"am", "amé", "amél", "amélie p"};
    QTest::newRow("a word added, the words reordered")
        << QStringList{"amelie", "poulain amelie", "jeunet amelie poulain"};
    QTest::newRow("shortened") << QStringList{"amelie redux", "amelie", "e"};
    QTest::newRow("one word of two kept") << QStringList{"amelie jeunet", "amelie redux"};
    QTest::newRow("a letter changed, another word")
        << QStringList{"ameli", "amelie", "amelia", "emile", "e", "émile kravitz"};
}

// A query typed after another finds what it would on its own, whether it narrows the one
// before or not.
void TestCore::finderTyping()
{
    QFETCH(QStringList, queries);
    TestFolder folder;
    AddSearchTitles(folder);
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    TitleFinder typed;
    QVERIFY(typed.Build(connection));
    QVector<qint64> ids;
    for (const QVariantList &row : folder.Rows("SELECT ID FROM DVD_Title ORDER BY Title"))
        ids << row[0].toLongLong();
    typed.SetRows(ids);
    const TitleFinder fresh = typed; // asked nothing yet
    for (const QString &query : queries) {
        const QList<QByteArray> words = TitleFinder::Words(query);
        QVERIFY2(typed.MatchingRows(words) == TitleFinder(fresh).MatchingRows(words),
                 qPrintable(query));
    }
}

void TestCore::castCell_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("cast"); // actor/character; ...
    const auto row = [](const char *name, const QString &cell, const QString &cast) {
        QTest::newRow(name) << cell << cast;
    };
    row("no Cast column: no members", "", "");
    row("LF between members", "Al\tTony\nBrad\tRusty", "Al/Tony; Brad/Rusty");
    row("CR LF between members, as spreadsheets write", "Al\tTony\r\nBrad\tRusty\r\n",
        "Al/Tony; Brad/Rusty");
    row("escaped names, no character", "A\\tB\\\\\nC", "A\tB\\/; C/");
}

// A titles file's Cast cell, as a spreadsheet or the export leaves it.
void TestCore::castCell()
{
    QFETCH(QString, cell);
    QStringList members;
    for (const CastMember &member : TitleCsv::DecodeCast(cell))
        members << member.actor + "/" + member.character;
    QTEST(members.join("; "), "cast");
}

void TestCore::csvFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const QByteArray &bytes, const QString &expected) {
        QTest::newRow(name) << bytes << expected;
    };
    row("own layout, semicolons",
        "Title;Edition;Year;Directed By;Genres;Cast;List\r\nAmélie;;2001;Jean-Pierre Jeunet;"
        "\"Comedy; Romance\";\"Audrey Tautou\tAmélie Poulain\nMathieu Kassovitz\tNino\";"
        "Wishlist\r\n",
        "Amélie//2001/Jean-Pierre Jeunet/Comedy+Romance/Audrey Tautou=Amélie Poulain;"
        "Mathieu Kassovitz=Nino/W");
    row("tabs, synonyms",
        "Film\tReleased\tRegisseur\tStarring\r\nBrazil\t1985\tTerry Gilliam\t"
        "Jonathan Pryce as Sam Lowry\r\n",
        "Brazil//1985/Terry Gilliam//Jonathan Pryce=Sam Lowry/I");
    row("Windows-1252, accents in headers",
        "Titre;Ann\xe9"
        "e;R\xe9"
        "alisateur\r\nAm\xe9lie;2001;Jeunet\r\nCaf\x80;1999;\r\n",
        "Amélie//2001/Jeunet///I || Caf€//1999////I note no director; left empty");
    row("film-list export",
        "Const,Your Rating,Date Rated,Title,URL,Title Type,Site Rating,Runtime (mins),Year,"
        "Genres,Num Votes,Release Date,Directors\r\ntt1,9,2020-01-02,Amélie,http://x,Movie,8.3,"
        "122,2001,\"Comedy, Romance\",700000,2001-04-25,\"Jean-Pierre Jeunet, Marc Caro\"\r\n",
        "Amélie//2001/Jean-Pierre Jeunet, Marc Caro/Comedy+Romance//I");
    row("film diary", "Date,Name,Year,URI\r\n2024-01-01,Brazil,1985,x\r\n",
        "Brazil//1985////I note no director; left empty");
    row("dates as years",
        "Title,Release Date,Director\r\nA,2001-05-03,X\r\nB,03/05/1999,X\r\nC,May 1960,X\r\n"
        "D,sometime,X\r\nE,,\r\n",
        "A//2001/X///I || B//1999/X///I || C//1960/X///I || D///X///I note no year in "
        "\"sometime\"; left empty || E//////I note no year; left empty; no director; left empty");
    row("cast forms",
        "Title,Year,Director,Cast\r\nA,2001,X,\"Audrey Tautou:Amélie Poulain|Mathieu "
        "Kassovitz:Nino\"\r\nB,2002,X,Ann::Kate;Bob as The Man;Cid (Himself);Dee\r\n"
        "C,2003,X,\"Eve\tAnna\r\nFay\"\r\n",
        "A//2001/X//Audrey Tautou=Amélie Poulain;Mathieu Kassovitz=Nino/I || "
        "B//2002/X//Ann=Kate;Bob=The Man;Cid=Himself;Dee=/I || C//2003/X//Eve=Anna;Fay=/I");
    row("refused and cut rows",
        "Title,Year,Director,Genres,Wishlist\r\n,2001,X,,\r\nA,2001,X,,perhaps\r\n"
        "B,2001,X,a/b/c/d/e,yes\r\nC,2001\r\n",
        "//2001/X///I refused Title: no title || A//2001/X///I refused Wishlist: the list must be "
        "Inventory or Wishlist || B//2001/X/a+b+c+d//W note genres past the fourth left out: e || "
        "C//2001////I refused : 2 fields where the first line has 5");
}

void TestCore::csvFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QVERIFY(!ForeignCsv::IsOwnLayout(bytes));
    const ForeignCsv::Dialect dialect = ForeignCsv::Detect(bytes);
    const QByteArray utf8 = ForeignCsv::ToUtf8(bytes, dialect.encoding);
    const ForeignCsv::Sample sample = ForeignCsv::SampleOf(utf8, dialect.separator, 1);
    const QList<ImportPlan::Entry> entries =
        ForeignCsv::Entries(utf8, dialect.separator, ForeignCsv::Initial(sample.header), QString());
    QCOMPARE(describe(entries), expected);
}

void TestCore::collectionFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // the titles, or part of why the file is refused
    const QByteArray videos = collection("3", kVideos);
    const QByteArray bigPicture = kPng + QByteArray(20 << 20, '\0'); // a small zip
    QTest::newRow("zip with images, hostile names")
        << TestFolder::Zip({{"tellico.xml", videos},
                            {"images/a1.png", kPng},
                            {"../../evil.png", kPng},
                            {"images/big.png", bigPicture},
                            {"images/text.png", "hello"}})
        << kVideoEntries;
    QTest::newRow("bare XML, picture inside, older table")
        << collection("3", "<entry><title>A</title><year>2001</year><casts><cast>Ann::Kate</cast>"
                           "</casts><cover>p</cover></entry><images><image id=\"p\">"
                               + kPng.toBase64() + "</image></images>")
        << "A//2001///Ann=Kate/I note no director; left empty cover 25";
    QTest::newRow("book collection")
        << TestFolder::Zip({{"tellico.xml", collection("2", "<entry><title>A</title></entry>")}})
        << "holds a book collection (<collection type=\"2\">); only video collections";
    QTest::newRow("zip without tellico.xml")
        << TestFolder::Zip({{"images/a.png", kPng}}) << "The zip archive holds no tellico.xml";
    QTest::newRow("not a zip nor XML")
        << QByteArray("Title,Year\r\nA,1999\r\n") << "neither a zip archive nor XML";
    QTest::newRow("broken zip") << QByteArray("PK\x03\x04garbage", 11) << "not a zip archive";
    QTest::newRow("entity expansion")
        << collection("3", "<entry><title>&a;</title></entry>",
                      " [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;\">]")
        << "declares its own entities";
    QTest::newRow("deep nesting") << collection(
        "3", "<entry><title>" + QByteArray("<x>").repeated(200) + "</title></entry>")
                                  << "nested more than 64 deep (line 6)";
    QTest::newRow("cut short") << videos.left(videos.size() / 2) << "cannot be read as XML";
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><html/>")
                               << "its first element is <html>";
}

void TestCore::collectionFiles()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const TellicoFile::Result read = TellicoFile::Read(bytes);
    if (!read.fault.isEmpty()) {
        QVERIFY2(read.fault.contains(expected), qPrintable(read.fault));
        return;
    }
    QCOMPARE(describe(read.entries), expected);
}

void TestCore::importWithCovers()
{
    TestFolder folder;
    const QString connection = folder.MakeShared()->ConnectionString;
    const TellicoFile::Result read = TellicoFile::Read(
        TestFolder::Zip({{"tellico.xml", collection("3", kVideos)}, {"images/a1.png", kPng}}));
    QCOMPARE(read.ignored, QStringList{"nationality"});
    ImportPlan plan;
    QVERIFY(plan.Analyse(read.entries, read.ignored, TitleTransfer::ReadExisting(connection), {}));
    QCOMPARE(plan.Count(ImportPlan::Status::Accepted), 4);
    QCOMPARE(plan.CoverCount(), 1);
    const QStringList images = QDir(folder.ImagesPath()).entryList(QDir::Files);
    const auto writeCover = [&](qint64 id, const QByteArray &bytes) {
        QString error;
        return ImportedCover::Write(folder.Path(), id, bytes, &error) ? QString() : error;
    };

    // Cancelled half-way: the catalogue and the pictures as they were.
    const QByteArray before = folder.CatalogueBytes();
    QCOMPARE(plan.Write(
                 {}, false, connection, [](qint64 done, qint64) { return done < 2; }, writeCover),
             -1);
    QCOMPARE(folder.CatalogueBytes(), before);
    QCOMPARE(QDir(folder.ImagesPath()).entryList(QDir::Files), images);

    QStringList faults;
    QCOMPARE(plan.Write(
                 {}, false, connection, [](qint64, qint64) { return true; }, writeCover, &faults),
             4);
    QVERIFY(faults.isEmpty());
    const QVector<QVariantList> stored =
        folder.Rows("SELECT ID, Title, Sub_Title, Date, Director, Summary, WishList FROM DVD_Title "
                    "ORDER BY ID");
    QCOMPARE(stored.size(), 4);
    QCOMPARE(stored[0].mid(1),
             (QVariantList{"Amélie", "DVD", "2001", "Jean-Pierre Jeunet", "A shy waitress.", 0}));
    QCOMPARE(stored[1].mid(1), (QVariantList{"Brazil", "", "", "", "", 1}));
    QCOMPARE(folder.GenreNames(stored[0][0].toLongLong()), (QStringList{"Comedy", "Romance"}));
    QCOMPARE(folder.Scalar("SELECT Count(*) FROM Cast_Relationships WHERE Movie = ? AND "
                           "Character = 'Nino'",
                           {stored[0][0]}),
             QVariant(1));
    // One cover, under the title's ID, nothing else written.
    const QString cover = stored[0][0].toString() + ".jpg";
    QStringList expected = QStringList(images) << cover;
    expected.sort();
    QCOMPARE(QDir(folder.ImagesPath()).entryList(QDir::Files, QDir::Name), expected);
    QCOMPARE(TestFolder::ReadFile(folder.ImagesPath() + "/" + cover), kPng);
}

QTEST_GUILESS_MAIN(TestCore)
#include "test_core.moc"
