// Titles from other programs' files without windows: CSV files of every common shape
// against the titles they give, collection files (zip and bare XML, hostile ones among
// them) against their titles or why they are refused, and their import with covers.
#include "ForeignCsv.h"
#include "ImportPlan.h"
#include "ImportedCover.h"
#include "TellicoFile.h"
#include "TestFolder.h"
#include "TitleTransfer.h"

#include <QDir>
#include <QTest>

namespace {

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

QByteArray zip(const QList<std::pair<QByteArray, QByteArray>> &entries)
{
    return TestFolder::Zip(entries);
}

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

class TestForeign : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void csvFiles_data();
    void csvFiles();
    void collectionFiles_data();
    void collectionFiles();
    void importWithCovers();
};

void TestForeign::csvFiles_data()
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

void TestForeign::csvFiles()
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

void TestForeign::collectionFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected"); // the titles, or part of why the file is refused
    const QByteArray videos = collection("3", kVideos);
    const QByteArray bigPicture = kPng + QByteArray(20 << 20, '\0'); // a small zip
    QTest::newRow("zip with images, hostile names") << zip({{"tellico.xml", videos},
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
        << zip({{"tellico.xml", collection("2", "<entry><title>A</title></entry>")}})
        << "holds a book collection (<collection type=\"2\">); only video collections";
    QTest::newRow("zip without tellico.xml")
        << zip({{"images/a.png", kPng}}) << "The zip archive holds no tellico.xml";
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

void TestForeign::collectionFiles()
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

void TestForeign::importWithCovers()
{
    TestFolder folder;
    const QString connection = folder.MakeShared()->ConnectionString;
    const TellicoFile::Result read = TellicoFile::Read(
        zip({{"tellico.xml", collection("3", kVideos)}, {"images/a1.png", kPng}}));
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

QTEST_GUILESS_MAIN(TestForeign)
#include "test_foreign.moc"
