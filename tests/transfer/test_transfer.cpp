// Titles out and in, and the backup: the import's checks as one table on the plan, awkward
// text through export and import, all or nothing, destinations that refuse, and one path
// through the File menu.
#include "AwkwardText.h"
#include "CatalogueBackup.h"
#include "ImportPlan.h"
#include "MainWindowFixture.h"
#include "Story.h"
#include "TitleCsv.h"
#include "TitleTransfer.h"
#include "TransferCommands.h"
#include "frmImportPreview.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A full disk as far as this process can tell: no file it writes grows beyond the limit.
// Unlike permissions, it binds root too.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN); // a failed write, not a killed process
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }
    Q_DISABLE_COPY(FileSizeLimit)
    bool IsSet() const { return m_set; }

private:
    rlimit m_old{};
    bool m_set = false;
};

// A folder nothing can be written into. Permissions do not stop root, so for root an
// empty read-only file system is laid over the folder instead.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &path) : m_path(QFile::encodeName(path))
    {
        if (::geteuid() == 0)
            m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", MS_RDONLY, "size=64k") == 0;
        else
            m_chmodded = QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        if (m_chmodded)
            QFile::setPermissions(QFile::decodeName(m_path),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    Q_DISABLE_COPY(ReadOnlyFolder)
    bool IsSet() const { return m_mounted || m_chmodded; }

private:
    QByteArray m_path;
    bool m_mounted = false;
    bool m_chmodded = false;
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

// What the plan would do, in one line: the file's fault, or the count of titles added,
// every other row (line, column: reason), the genres to create and the ignored columns.
QString outcome(const ImportPlan &plan)
{
    if (!plan.FileFault().isEmpty())
        return plan.FileFault();
    QStringList parts{QStringLiteral("%1 added").arg(plan.Count(ImportPlan::Status::Accepted))};
    for (const ImportPlan::Row &row : plan.Rows())
        if (row.status != ImportPlan::Status::Accepted)
            parts << QStringLiteral("%1 %2: %3").arg(row.line).arg(row.column, row.reason);
    if (!plan.GenresToCreate().isEmpty())
        parts << QStringLiteral("new genres ") + plan.GenresToCreate().join(QStringLiteral(", "));
    if (!plan.UnknownColumns().isEmpty())
        parts << QStringLiteral("ignored ") + plan.UnknownColumns().join(QStringLiteral(", "));
    return parts.join(QStringLiteral(" | "));
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
        TransferCommands::Reset();
    }

    void importPlan_data();
    void importPlan();
    void roundTrip_data();
    void roundTrip();
    void importAddsAllOrNothing();
    void backup();
    void refusedDestination_data();
    void refusedDestination();
    void exportThenImportFromTheMenu();
};

void TestTransfer::importPlan_data()
{
    QTest::addColumn<QByteArray>("bytes");
    // The whole outcome; for a file refused as a whole, a part of its message.
    QTest::addColumn<QString>("expected");
    const auto around = [](const QByteArray &record) {
        return "Title,Year,Genres,List,Edition\r\nGood,1999,Drama,wishlist,\r\n" + record
               + "\r\nAlso Good,2001,,,Special\r\n";
    };
    const QString badYear = "Year: the year must be four digits (Example 1999)";

    QTest::newRow("empty file") << QByteArray() << "The file is empty.";
    QTest::newRow("only empty lines") << QByteArray("\r\n\n\r\n") << "only empty lines";
    QTest::newRow("binary file")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) << "not a text file";
    QTest::newRow("UTF-16 text")
        << QByteArray("\xFF\xFET\0i\0t\0l\0e\0\r\0\n\0", 16) << "UTF-16 text, not UTF-8";
    QTest::newRow("header only") << QByteArray("Title,Year\r\n") << "only the line of column names";
    QTest::newRow("no title column") << QByteArray("Name,Year\r\nA,1979\r\n") << "no \"Title\" column";
    QTest::newRow("a column twice")
        << QByteArray("Title,Year,TITLE\r\nA,1979,B\r\n") << "The column \"Title\" appears twice";
    QTest::newRow("broken header")
        << QByteArray("Title,\"Year\r\nA,1979\r\n") << "a quote opened here is never closed";

    QTest::newRow("no title") << around(",1999,,,") << "2 added | 3 Title: no title";
    QTest::newRow("no year") << around("Alien,,,,") << "2 added | 3 Year: no year";
    QTest::newRow("two-digit year") << around("Alien,79,,,") << "2 added | 3 " + badYear;
    QTest::newRow("letter in year") << around("Alien,197O,,,") << "2 added | 3 " + badYear;
    QTest::newRow("five-digit year") << around("Alien,19799,,,") << "2 added | 3 " + badYear;
    QTest::newRow("five genres")
        << around("Alien,1979,A;B;C;D;E,,") << "2 added | 3 Genres: 5 genres; a title has at most four";
    QTest::newRow("unknown list")
        << around("Alien,1979,,Owned,") << "2 added | 3 List: the list must be Inventory or Wishlist";
    QTest::newRow("too few fields")
        << around("Alien,1979,,") << "2 added | 3 : 4 fields where the first line has 5";
    QTest::newRow("too many fields")
        << around("Alien,1979,,,,x") << "2 added | 3 : 6 fields where the first line has 5";
    QTest::newRow("stray quote")
        << around("Al\"ien,1979,,,") << "2 added | 3 Title: a quote inside a field that is not quoted";
    QTest::newRow("text after a quote")
        << around("Alien,1979,,,\"Cut\" 2") << "2 added | 3 Edition: text after a closing quote";
    QTest::newRow("not UTF-8") << around("Alien,1979,,,caf\xE9") << "2 added | 3 Edition: not valid UTF-8 text";
    QTest::newRow("quote never closed") << around("Alien,1979,\"Drama\r\n\r\nx,2000,,,")
                                        << "1 added | 3 Genres: a quote opened here is never closed";

    QTest::newRow("UTF-8 mark, LF line ends, no last line end")
        << QByteArray("\xEF\xBB\xBFTitle,Year\nA,1999\nB,19") << "1 added | 3 " + badYear;
    QTest::newRow("empty lines skipped and counted")
        << QByteArray("Title,Year\r\n\r\n\nA,19\r\n\r\n") << "0 added | 4 " + badYear;
    QTest::newRow("quoted line breaks counted")
        << QByteArray("Title,Summary,Year\r\nA,\"x\ny\r\nz\",1999\r\nB,,19\r\n") << "1 added | 5 " + badYear;
    QTest::newRow("typed genres")
        << QByteArray("Title,Year,Genres\r\nA,1999, Noir ;;Rom\\;Com; horror;\r\n")
        << "1 added | new genres Noir, Rom;Com";
    // Against a catalogue holding "Alien" "Director's Cut" and the genres Drama and Horror.
    QTest::newRow("similar titles, new genres, unknown column")
        << QString("title,EDITION,Year,Genres,Rating\r\n"
                   "ALIEN,director's cut,1979,Horror; space opera,5\r\n"
                   "Alien,,1979,,4\r\nAmélie,,2001,,3\r\nAMÉLIE,,2001,,3\r\n"
                   "New,,2001,Space Opera;Noir,1\r\nnew,,2002,,1\r\n").toUtf8()
        << "3 added | 2 : a title with this name and edition is in the catalogue"
           " | 5 : the same name and edition as line 4 | 7 : the same name and edition as line 6"
           " | new genres space opera, Noir | ignored Rating";
}

void TestTransfer::importPlan()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    TitleTransfer::Existing existing;
    existing.titleKeys << TitleTransfer::SimilarKey("Alien", "Director's Cut");
    for (const QString genre : {"Drama", "Horror"})
        existing.genres.insert(TitleTransfer::GenreKey(genre), genre);
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, existing, kGoOn));
    const QString actual = outcome(plan);
    QVERIFY2(actual == expected || (!plan.FileFault().isEmpty() && actual.contains(expected)),
             qPrintable(actual));
}

void TestTransfer::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
}

void TestTransfer::roundTrip()
{
    QFETCH(QString, text);
    TestFolder from;
    from.AddTitle({.title = text, .subTitle = text, .director = text, .summary = text,
                   .features = text, .eggs = text, .wishList = 1,
                   .genres = {text, "Drama"}, .cast = {{text, text}, {"Plain", text}, {text, ""}}});
    from.AddTitle({.title = "Witness", .subTitle = QVariant(), .genres = {"Drama", "Crime", "War", "Noir"},
                   .cast = {{"Harrison Ford", "John Book"}}});
    const QList<TitleRecord> exported = readAll(from.MakeShared()->ConnectionString);
    QCOMPARE(exported.size(), 2);
    QByteArray bytes;
    const auto &headers = TitleCsv::Headers();
    Csv::AppendRecord(bytes, QStringList(headers.begin(), headers.end()));
    for (const TitleRecord &title : exported)
        Csv::AppendRecord(bytes, TitleCsv::RecordFor(title));

    TestFolder to;
    const QString target = to.MakeShared()->ConnectionString;
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, TitleTransfer::ReadExisting(target), kGoOn));
    QCOMPARE(plan.Count(ImportPlan::Status::Accepted), 2);
    {
        TitleTransfer::TitleInserter inserter(target);
        QVERIFY(plan.ForEachTitle(bytes, false, [&inserter](const TitleRecord &title, int, int) {
            inserter.Insert(title);
            return true;
        }));
        inserter.Commit();
    }
    QList<TitleRecord> imported = readAll(target);
    QCOMPARE(imported.size(), 2);
    for (qsizetype i = 0; i < imported.size(); ++i) {
        imported[i].id = exported[i].id; // each catalogue numbers its own rows
        imported[i].genreIds = exported[i].genreIds;
        QVERIFY2(imported[i] == exported[i], qPrintable(QStringLiteral("title %1").arg(i)));
    }
}

void TestTransfer::importAddsAllOrNothing()
{
    // After a failed insert or a Cancel halfway the inserter goes away uncommitted.
    TestFolder folder;
    folder.AddTitle({.title = "Mine", .genres = {"Drama"}});
    const QString catalogue = folder.MakeShared()->ConnectionString;
    const QList<TitleRecord> before = readAll(catalogue);
    const QVector<QVariantList> genres = folder.Rows("SELECT * FROM Genre");
    {
        TitleTransfer::TitleInserter inserter(catalogue);
        TitleRecord title;
        title.facts.date = "2001";
        title.genres = {"New genre"};
        for (const QString name : {"First", "Second"}) {
            title.facts.title = name;
            inserter.Insert(title);
        }
    }
    QVERIFY(readAll(catalogue) == before);
    QCOMPARE(folder.Rows("SELECT * FROM Genre"), genres);
}

void TestTransfer::backup()
{
    TestFolder folder;
    const qint64 id = folder.AddTitle({.title = "Alien", .genres = {"Horror", "Sci-Fi"},
                                       .cast = {{"Sigourney Weaver", "Ripley"}}});
    folder.WritePicture(QString("%1.jpg").arg(id), "JPG", 40, 60);
    const auto shared = folder.MakeShared();
    QTemporaryDir destination;
    const QDateTime when(QDate(2026, 12, 6), QTime(17, 5, 9));
    const auto make = [&](const QString &into, const CatalogueBackup::Progress &progress) {
        return CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString, into, when, progress);
    };
    const QString made = make(destination.path(), kGoOn).folder;
    QCOMPARE(made, destination.path() + "/Reelvane backup 2026-12-06 170509");
    QCOMPARE(entriesOf(destination.path()).size(), 1); // no unfinished folder beside it
    for (const QString &picture : entriesOf(folder.ImagesPath()))
        QCOMPARE(TestFolder::ReadFile(made + "/images/" + picture),
                 TestFolder::ReadFile(folder.ImagesPath() + "/" + picture));
    Module1 copy(made);
    copy.InitializeDatabasePath();
    QVERIFY(readAll(copy.ConnectionString) == readAll(shared->ConnectionString));

    // A folder of the same name is never written into.
    const QByteArray copied = TestFolder::ReadFile(made + "/dvd_collection.mdb");
    folder.AddTitle({.title = "Changed since"});
    try {
        make(destination.path(), kGoOn);
        QFAIL("a second backup under the same name was made");
    } catch (const CatalogueBackup::Failure &failure) {
        QVERIFY2(failure.Message().contains("already exists"), qPrintable(failure.Message()));
    }
    QCOMPARE(TestFolder::ReadFile(made + "/dvd_collection.mdb"), copied);

    QTemporaryDir other;
    QCOMPARE(make(other.path(), [](qint64 done, qint64) { return done < 1; }).folder, QString());
    QCOMPARE(entriesOf(other.path()), QStringList()); // cancelled: nothing left
}

void TestTransfer::refusedDestination_data()
{
    QTest::addColumn<bool>("backup"); // else export
    QTest::addColumn<int>("titles");
    QTest::addColumn<bool>("readOnly"); // else a full disk
    QTest::addColumn<QString>("message");
    const QString noBackup = "No backup was made:\r\n";
    QTest::newRow("export, full disk") << false << 12 << false << "The titles could not be exported to ";
    QTest::newRow("export, read-only") << false << 1 << true << "The titles could not be exported to ";
    QTest::newRow("backup, full disk: the catalogue")
        << true << 12 << false << noBackup + "The catalogue could not be copied";
    QTest::newRow("backup, full disk: a picture")
        << true << 1 << false << noBackup + "The picture 1.jpg could not be copied";
    QTest::newRow("backup, read-only") << true << 1 << true << noBackup + "A folder cannot be made in ";
}

void TestTransfer::refusedDestination()
{
    QFETCH(bool, backup);
    QFETCH(int, titles);
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    MainWindowFixture f;
    for (int i = 0; i < titles; ++i)
        f.folder.AddTitle({.title = QString("Title %1").arg(i),
                           .summary = QString("A long summary. ").repeated(4000)});
    f.folder.WriteImageFile("1.jpg", QByteArray(2 << 20, 'x'));
    f.load();
    QTemporaryDir destination;
    TransferCommands commands(*f.shared, *f.main);
    const auto run = [&] {
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        return backup ? commands.BackUpInto(destination.path())
                      : commands.ExportTo(destination.path() + "/titles.csv");
    };
    {
        std::optional<FileSizeLimit> full;
        std::optional<ReadOnlyFolder> locked;
        QVERIFY(readOnly ? locked.emplace(destination.path()).IsSet() : full.emplace(512 << 10).IsSet());
        QVERIFY(!run());
        QCOMPARE(entriesOf(destination.path()), QStringList()); // no partial file or folder
    }
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown().first().startsWith(message), qPrintable(MessageBox::Shown().first()));

    // With room again, the same command goes through.
    QVERIFY(run());
    QCOMPARE(entriesOf(destination.path()).size(), 1);
}

void TestTransfer::exportThenImportFromTheMenu()
{
    QTemporaryDir files;
    const QString file = files.filePath("Reelvane titles.csv");
    {
        ProgramFixture from;
        for (const QString title : {"Alien", "Brazil", "Vertigo"})
            from.folder.AddTitle({.title = title, .genres = {"Drama"}, .cast = {{"A", "Role \"two\""}}});
        from.start();
        TransferCommands::SetNextPath(file);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        from.main().mnuExport->trigger();
        QCOMPARE(MessageBox::Shown(), QStringList(QString("3 titles were exported to %1.").arg(file)));
    }
    // Into a catalogue holding one of them, its edition stored as Null: it is skipped.
    ProgramFixture to;
    to.folder.AddTitle({.title = "BRAZIL", .subTitle = QVariant(), .summary = "mine"});
    to.start();
    MessageBox::Reset();
    TransferCommands::SetNextPath(file);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QString summary;
    ModalWaiter waiter;
    waiter.Expect<frmImportPreview>([&summary](frmImportPreview *preview) {
        summary = preview->lblSummary->text();
        preview->cmdSkipSimilar->click();
    });
    to.main().mnuImport->trigger();
    QVERIFY2(summary.contains("Skip Similar adds only the other 2 titles"), qPrintable(summary));
    QCOMPARE(MessageBox::Shown(), QStringList("2 titles were imported."));
    QCOMPARE(to.folder.Scalar("SELECT Count(*) FROM Cast_Relationships").toInt(), 2);
    QCOMPARE(to.folder.Scalar("SELECT Summary FROM DVD_Title WHERE Title = 'BRAZIL'").toString(),
             QString("mine"));
    QCOMPARE(to.main().RecordCount(), 3); // the list was refreshed
}

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
