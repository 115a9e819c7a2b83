// Titles out and in, and the backup: the import's checks, awkward text both ways, destinations
// that refuse, the File menu's import.
#include "AwkwardText.h"
#include "CatalogueBackup.h"
#include "FileDialogAnswers.h"
#include "ImportPlan.h"
#include "Story.h"
#include "TitleCsv.h"
#include "TitleTransfer.h"
#include "TransferCommands.h"
#include "frmImportPreview.h"
#include "TestSeams.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
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

// A File menu command, its dialog answered with path; the messages it showed.
QString fromMenu(QAction *command, const QString &path)
{
    MessageBox::Reset();
    FileDialogAnswers::SetNext(path);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    command->trigger();
    return MessageBox::Shown().join("\n");
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        TestSeams::ResetAll();
    }

    void importPlan_data();
    void importPlan();
    void roundTrip_data();
    void roundTrip();
    void refusedDestination_data();
    void refusedDestination();
    void importFromTheMenu();
};

void TestTransfer::importPlan_data()
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
    const QString badYear = "Year: the year must be four digits (Example 1999)";
    row("empty file", "", "The file is empty.");
    row("only empty lines", "\r\n\n\r\n", "only empty lines");
    row("binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "not a text file");
    row("UTF-16", QByteArray("\xFF\xFET\0i\0t\0l\0e\0\r\0\n\0", 16), "UTF-16 text, not UTF-8");
    row("header only", "Title,Year\r\n", "only the line of column names");
    row("no title column", "Name,Year\r\nA,1979\r\n", "no \"Title\" column");
    row("a column twice", "Title,TITLE\r\nA,B\r\n", "\"Title\" appears twice");
    row("broken header", "Title,\"Year\r\nA,1\r\n", "quote opened here is never");

    refused("no title", ",1999,,,", "Title: no title");
    refused("no year", "Alien,,,,", "Year: no year");
    refused("letter in year", "Alien,197O,,,", badYear);
    refused("five-digit year", "Alien,19799,,,", badYear);
    refused("five genres", "A,1979,A;B;C;D;E,,", "Genres: 5 genres; a title has at most four");
    refused("unknown list", "A,1979,,Owned,", "List: the list must be Inventory or Wishlist");
    refused("too many fields", "A,1,,,,x", ": 6 fields where the first line has 5");
    refused("stray quote", "A\"b,1979,,,", "Title: a quote inside a field that is not quoted");
    refused("after a quote", "A,1979,,,\"Cut\" 2", "Edition: text after a closing quote");
    refused("not UTF-8", "A,1979,,,caf\xE9", "Edition: not valid UTF-8 text");
    row("quote never closed", line3("A,1979,\"Drama\r\n\r\nx,2000,,,"),
        "1 added | 3 Genres: a quote opened here is never closed");

    row("UTF-8 mark, LF line ends, no last line end", "\xEF\xBB\xBFTitle,Year\nA,1999\nB,19",
        "1 added | 3 " + badYear);
    row("empty lines skipped and counted", "Title,Year\r\n\r\n\nA,19\r\n\r\n",
        "0 added | 4 " + badYear);
    row("quoted line breaks counted", "Title,Summary,Year\r\nA,\"x\ny\r\nz\",1999\r\nB,,19\r\n",
        "1 added | 5 " + badYear);
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
    if (!plan.FileFault().isEmpty()) {
        QVERIFY2(plan.FileFault().contains(expected), qPrintable(plan.FileFault()));
        return;
    }
    // The count added, every other row (line column: reason), the genres to create and
    // the columns ignored.
    QStringList parts{QStringLiteral("%1 added").arg(plan.Count(ImportPlan::Status::Accepted))};
    for (const ImportPlan::Row &row : plan.Rows())
        if (row.status != ImportPlan::Status::Accepted)
            parts << QStringLiteral("%1 %2: %3").arg(row.line).arg(row.column, row.reason);
    if (!plan.GenresToCreate().isEmpty())
        parts << "new genres " + plan.GenresToCreate().join(", ");
    if (!plan.UnknownColumns().isEmpty())
        parts << "ignored " + plan.UnknownColumns().join(", ");
    QCOMPARE(parts.join(" | "), expected);
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
    from.AddTitle({.title = text,
                   .subTitle = text,
                   .director = text,
                   .summary = text,
                   .features = text,
                   .eggs = text,
                   .wishList = 1,
                   .genres = {text, "Drama"},
                   .cast = {{text, text}, {"Plain", text}, {text, ""}}});
    from.AddTitle(
        {.title = "Witness", .genres = {"Crime", "War", "Noir", "Drama"}, .cast = {{"A", "B"}}});
    from.WritePicture("1.jpg", "JPG", 40, 60);
    const auto shared = from.MakeShared();
    const QList<TitleRecord> exported = readAll(shared->ConnectionString);
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
    // All or nothing: a first go cancelled after one title (as a failed insert ends it) leaves
    // nothing behind.
    for (const bool cancelled : {true, false}) {
        TitleTransfer::TitleInserter inserter(target);
        if (plan.ForEachTitle(bytes, false, [&](const TitleRecord &title, int, int) {
                inserter.Insert(title);
                return !cancelled;
            }))
            inserter.Commit();
    }
    QList<TitleRecord> imported = readAll(target);
    for (qsizetype i = 0; i < imported.size() && i < exported.size(); ++i) {
        imported[i].id = exported[i].id; // each catalogue numbers its own rows
        imported[i].genreIds = exported[i].genreIds;
    }
    QVERIFY(imported == exported);

    // The backup: a cancelled one leaves nothing, a made one holds the same titles and
    // pictures, and a folder of its name is never written into.
    QTemporaryDir destination;
    const auto backup = [&](const CatalogueBackup::Progress &progress) {
        return CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString,
                                     destination.path(),
                                     QDateTime(QDate(2026, 12, 6), QTime(17, 5, 9)), progress);
    };
    QCOMPARE(backup([](qint64 done, qint64) { return done < 1; }).folder, QString());
    QCOMPARE(entriesOf(destination.path()), QStringList());
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

void TestTransfer::refusedDestination_data()
{
    QTest::addColumn<bool>("backup"); // else export
    QTest::addColumn<int>("titles");
    QTest::addColumn<bool>("readOnly"); // else a full disk
    QTest::addColumn<QString>("message");
    const QString noExport = "The titles could not be exported to ";
    const QString noBackup = "No backup was made:\r\n";
    QTest::newRow("export, full disk") << false << 12 << false << noExport;
    QTest::newRow("export, read-only") << false << 1 << true << noExport;
    QTest::newRow("backup, full disk") << true << 12 << false << noBackup + "The catalogue";
    QTest::newRow("backup, full disk at a picture")
        << true << 1 << false << noBackup + "The picture";
    QTest::newRow("backup, read-only") << true << 1 << true << noBackup + "A folder cannot";
}

void TestTransfer::refusedDestination()
{
    QFETCH(bool, backup);
    QFETCH(int, titles);
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    ProgramFixture program;
    for (int i = 0; i < titles; ++i)
        program.folder.AddTitle(
            {.title = QString::number(i), .summary = QString("Long. ").repeated(11000)});
    program.folder.WriteImageFile("1.jpg", QByteArray(2 << 20, 'x'));
    program.start();
    QTemporaryDir destination;
    const auto run = [&] {
        return fromMenu(backup ? program.main().mnuBackup : program.main().mnuExport,
                        destination.path() + (backup ? "" : "/titles.csv"));
    };
    {
        const Blocked blocked(destination.path(), readOnly);
        QVERIFY(blocked.IsSet());
        const QString refusal = run();
        QVERIFY2(refusal.startsWith(message), qPrintable(refusal));
        QCOMPARE(entriesOf(destination.path()), QStringList()); // no partial file or folder
    }
    const QString done = run(); // with room again, the same command goes through
    QVERIFY2(done.contains(backup ? "were backed up to" : " titles were exported to "),
             qPrintable(done));
    QCOMPARE(entriesOf(destination.path()).size(), 1);
}

void TestTransfer::importFromTheMenu()
{
    ProgramFixture program;
    // Stored without an edition (Null), as older catalogues hold it: like one exported as "".
    program.folder.AddTitle({.title = "Alien", .subTitle = QVariant(), .summary = "mine"});
    program.start();
    const QString file = program.folder.Path() + "/titles.csv";
    QVERIFY(TestFolder::WriteFile(
        file, "Title,Year,Summary\r\nAlien,1979,theirs\r\nBrazil,1985,\r\nVertigo,1958,\r\n"));
    QString summary;
    ModalWaiter waiter;
    waiter.Expect<frmImportPreview>([&summary](frmImportPreview *preview) {
        summary = preview->lblSummary->text();
        preview->cmdSkipSimilar->click();
    });
    QCOMPARE(fromMenu(program.main().mnuImport, file), QString("2 titles were imported."));
    QVERIFY2(summary.contains("Skip Similar adds only the other 2 titles"), qPrintable(summary));
    QCOMPARE(program.folder.Scalar("SELECT Summary FROM DVD_Title WHERE Title = 'Alien'"),
             QVariant("mine"));
    QCOMPARE(program.main().RecordCount(), 3); // the list was refreshed
}

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
