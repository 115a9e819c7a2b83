// Titles out and in at the level of the catalogue functions and the commands: awkward text
// round trips field for field, bad files are refused with nothing written, the backup is a
// checked copy, and a full disk or a locked catalogue leaves nothing behind.
#include "AwkwardText.h"
#include "BusyTimeout.h"
#include "CatalogueBackup.h"
#include "FileSizeLimit.h"
#include "ReadOnlyFolder.h"
#include "ImportPlan.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "TitleCsv.h"
#include "TitleTransfer.h"
#include "TransferCommands.h"
#include "frmImportPreview.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace {

const QStringList kTables{"DVD_Title", "Genre", "Genre_Relationships", "Cast_Relationships"};

QList<TitleRecord> readAll(const Module1 &shared)
{
    QList<TitleRecord> titles;
    TitleTransfer::ReadAll(shared.ConnectionString, [&titles](const TitleRecord &t, qint64, qint64) {
        titles << t;
        return true;
    });
    return titles;
}

// Equal in everything that travels; IDs are each catalogue's own.
bool sameBesidesId(TitleRecord a, const TitleRecord &b)
{
    a.id = b.id;
    a.genreIds = b.genreIds;
    return a == b;
}

QByteArray csvOf(const QList<TitleRecord> &titles)
{
    QByteArray bytes;
    const auto &headers = TitleCsv::Headers();
    Csv::AppendRecord(bytes, QStringList(headers.begin(), headers.end()));
    for (const TitleRecord &title : titles)
        Csv::AppendRecord(bytes, TitleCsv::RecordFor(title));
    return bytes;
}

// Every row of every table, to tell that nothing changed.
QVector<QVariantList> everything(TestFolder &folder)
{
    QVector<QVariantList> rows;
    for (const QString &table : kTables)
        rows += folder.Rows(QStringLiteral("SELECT * FROM %1 ORDER BY rowid").arg(table));
    return rows;
}

QStringList entriesOf(const QString &path)
{
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each lock met costs a second, not five.
    void initTestCase() { BusyTimeout::SetForTesting(1000); }
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
        TransferCommands::Reset();
    }

    void roundTrip_data();
    void roundTrip();
    void refusedFile_data();
    void refusedFile();
    void refusedRecord_data();
    void refusedRecord();
    void similarRows();
    void lockedCatalogue();
    void backup();
    void backupNeverOverwrites();
    void destinationFaults_data();
    void destinationFaults();
};

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
    from.AddTitle({.title = "Witness", .subTitle = QVariant(), .date = "1985",
                   .genres = {"Drama", "Crime", "Romance", "Thriller"},
                   .cast = {{"Harrison Ford", "John Book"}}});
    const auto source = from.MakeShared();
    const QList<TitleRecord> exported = readAll(*source);
    QCOMPARE(exported.size(), 2);

    const QByteArray bytes = csvOf(exported);
    TestFolder to;
    const auto target = to.MakeShared();
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, TitleTransfer::ReadExisting(target->ConnectionString),
                         [](qint64, qint64) { return true; }));
    QCOMPARE(plan.FileFault(), QString());
    QCOMPARE(plan.Count(ImportPlan::Status::Accepted), 2);
    {
        TitleTransfer::TitleInserter inserter(target->ConnectionString);
        QVERIFY(plan.ForEachTitle(bytes, false, [&inserter](const TitleRecord &t, int, int) {
            inserter.Insert(t);
            return true;
        }));
        inserter.Commit();
    }
    const QList<TitleRecord> imported = readAll(*target);
    QCOMPARE(imported.size(), exported.size());
    for (qsizetype i = 0; i < exported.size(); ++i)
        QVERIFY2(sameBesidesId(imported[i], exported[i]), qPrintable(QStringLiteral("title %1").arg(i)));
    // The text arrived as text, not rewritten on its way.
    QCOMPARE(to.Scalar("SELECT Summary FROM DVD_Title WHERE WishList = 1").toString(), text);
    QCOMPARE(to.Scalar("SELECT Sub_Title FROM DVD_Title WHERE Title = 'Witness'"), QVariant(""));
}

void TestTransfer::refusedFile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");
    QTest::newRow("empty file") << QByteArray() << "The file is empty.";
    QTest::newRow("only empty lines") << QByteArray("\r\n\n\r\n") << "only empty lines";
    QTest::newRow("binary file")
        << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20) << "not a text file";
    QTest::newRow("UTF-16 text")
        << QByteArray("\xFF\xFET\0i\0t\0l\0e\0\r\0\n\0", 16) << "UTF-16 text, not UTF-8";
    QTest::newRow("header only") << QByteArray("Title,Year,Genres\r\n")
                                 << "no titles: only the line of column names";
    QTest::newRow("no title column") << QByteArray("Name,Year\r\nAlien,1979\r\n")
                                     << "names no \"Title\" column";
    QTest::newRow("a column twice") << QByteArray("Title,Year,TITLE\r\nA,1979,B\r\n")
                                    << "The column \"Title\" appears twice";
    QTest::newRow("broken header") << QByteArray("Title,\"Year\r\nAlien,1979\r\n")
                                   << "a quote opened here is never closed";
    QTest::newRow("no file") << QByteArray("<missing>") << "cannot be read";
}

void TestTransfer::refusedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    MainWindowFixture f;
    f.folder.AddTitle({.title = "Alien", .genres = {"Horror"}});
    f.load();
    const auto before = everything(f.folder);
    const QString file = f.folder.Path() + "/titles.csv";
    if (bytes != "<missing>") {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    TransferCommands commands(*f.shared, *f.main);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(!commands.ImportFrom(file));
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown().first().contains(why), qPrintable(MessageBox::Shown().first()));
    QCOMPARE(everything(f.folder), before);
}

void TestTransfer::refusedRecord_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("column");
    QTest::addColumn<QString>("reason");
    // After the header "Title,Year,Genres,List,Edition" and a good first title.
    QTest::newRow("no title") << QByteArray(",1999,,,") << 3 << "Title" << "no title";
    QTest::newRow("no year") << QByteArray("Alien,,,,") << 3 << "Year" << "no year";
    QTest::newRow("two-digit year") << QByteArray("Alien,79,,,") << 3 << "Year"
                                    << "the year must be four digits (Example 1999)";
    QTest::newRow("letter in year") << QByteArray("Alien,197O,,,") << 3 << "Year"
                                    << "the year must be four digits (Example 1999)";
    QTest::newRow("five-digit year") << QByteArray("Alien,19799,,,") << 3 << "Year"
                                     << "the year must be four digits (Example 1999)";
    QTest::newRow("five genres") << QByteArray("Alien,1979,A;B;C;D;E,,") << 3 << "Genres"
                                 << "5 genres; a title has at most four";
    QTest::newRow("unknown list") << QByteArray("Alien,1979,,Owned,") << 3 << "List"
                                  << "the list must be Inventory or Wishlist";
    QTest::newRow("too few fields") << QByteArray("Alien,1979,,") << 3 << ""
                                    << "4 fields where the first line has 5";
    QTest::newRow("too many fields") << QByteArray("Alien,1979,,,,x") << 3 << ""
                                     << "6 fields where the first line has 5";
    QTest::newRow("stray quote") << QByteArray("Al\"ien,1979,,,") << 3 << "Title"
                                 << "a quote inside a field that is not quoted";
    QTest::newRow("text after quote") << QByteArray("Alien,1979,,,\"Cut\" 2") << 3 << "Edition"
                                      << "text after a closing quote";
    QTest::newRow("invalid UTF-8") << QByteArray("Alien,1979,,,caf\xE9") << 3 << "Edition"
                                   << "not valid UTF-8 text";
    QTest::newRow("quote never closed") << QByteArray("Alien,1979,\"Drama\r\n\r\nx,2000,,,")
                                        << 3 << "Genres" << "a quote opened here is never closed";
}

void TestTransfer::refusedRecord()
{
    QFETCH(QByteArray, record);
    QFETCH(int, line);
    QFETCH(QString, column);
    QFETCH(QString, reason);
    const QByteArray bytes = "Title,Year,Genres,List,Edition\r\nGood,1999,Drama,wishlist,\r\n"
                             + record + "\r\nAlso Good,2001,,,Special\r\n";
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, {}, [](qint64, qint64) { return true; }));
    QCOMPARE(plan.FileFault(), QString());
    QCOMPARE(plan.Count(ImportPlan::Status::Refused), 1);
    const ImportPlan::Row refused = plan.Rows().at(1);
    QCOMPARE(refused.status, ImportPlan::Status::Refused);
    QCOMPARE(refused.line, line);
    QCOMPARE(refused.column, column);
    QCOMPARE(refused.reason, reason);
    // The records around it are read as they are (a never-closed quote takes the rest).
    const int after = reason.contains("never closed") ? 0 : 1;
    QCOMPARE(plan.Count(ImportPlan::Status::Accepted), 1 + after);
    QCOMPARE(plan.Rows().first().title, QString("Good"));
}

void TestTransfer::similarRows()
{
    TestFolder folder;
    folder.AddTitle({.title = "Alien", .subTitle = "Director's Cut", .genres = {"Horror"}});
    folder.AddTitle({.title = QString::fromUtf8("Amélie"), .subTitle = QVariant()});
    const auto shared = folder.MakeShared();
    const QByteArray bytes = QString::fromUtf8(
        "title,EDITION,Year,Genres,Rating\r\n"
        "ALIEN,director's cut,1979,Horror; space opera,5\r\n" // same, letter case aside
        "Alien,,1979,,4\r\n"                                  // another edition
        "Amélie,,2001,,3\r\n"                                 // same, no edition either way
        "AMÉLIE,,2001,,3\r\n"     // letter case ignored in every script, as in the add command
        "New,,2001,Space Opera;Noir,1\r\n"
        "new,,2002,,1\r\n").toUtf8();                         // same as two lines up
    ImportPlan plan;
    QVERIFY(plan.Analyse(bytes, TitleTransfer::ReadExisting(shared->ConnectionString),
                         [](qint64, qint64) { return true; }));
    QStringList outcome;
    for (const ImportPlan::Row &row : plan.Rows())
        outcome << QString::number(int(row.status));
    QCOMPARE(outcome, QStringList({"1", "0", "1", "1", "0", "1"}));
    QCOMPARE(plan.Rows().last().reason, QString("the same name and edition as line 6"));
    QCOMPARE(plan.GenresToCreate(), QStringList({"space opera", "Noir"}));
    QCOMPARE(plan.UnknownColumns(), QStringList({"Rating"}));
}

void TestTransfer::lockedCatalogue()
{
    MainWindowFixture f;
    f.folder.AddTitle({.title = "Alien"});
    f.load();
    const QString file = f.folder.Path() + "/titles.csv";
    {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("Title,Year\r\nNew One,2001\r\n");
    }
    const auto before = everything(f.folder);
    f.folder.Exec("BEGIN IMMEDIATE"); // another program writing
    ModalWaiter waiter(15000);
    waiter.Expect<frmImportPreview>([](frmImportPreview *preview) { preview->cmdAddAll->click(); });
    TransferCommands commands(*f.shared, *f.main);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(!commands.ImportFrom(file));
    f.folder.Exec("ROLLBACK");
    QVERIFY(waiter.Handled());
    QCOMPARE(MessageBox::Shown(), QStringList("Error 5 inserting records.\r\ndatabase is locked"));
    QCOMPARE(everything(f.folder), before);
}

void TestTransfer::backup()
{
    MainWindowFixture f;
    const qint64 id = f.folder.AddTitle({.title = "Alien", .genres = {"Horror", "Sci-Fi"},
                                         .cast = {{"Sigourney Weaver", "Ripley"}}});
    f.folder.WritePicture(QString("%1.jpg").arg(id), "JPG", 40, 60);
    f.load();
    QTemporaryDir destination;
    TransferCommands commands(*f.shared, *f.main);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(commands.BackUpInto(destination.path()));

    const QStringList made = entriesOf(destination.path());
    QCOMPARE(made.size(), 1); // no unfinished folder beside it
    QVERIFY2(made.first().startsWith("Reelvane backup "), qPrintable(made.first()));
    const QString backup = destination.path() + "/" + made.first();
    QCOMPARE(entriesOf(backup), QStringList({"dvd_collection.mdb", "images"}));
    for (const QString &picture : entriesOf(f.folder.ImagesPath()))
        QCOMPARE(fileBytes(backup + "/images/" + picture),
                 fileBytes(f.folder.ImagesPath() + "/" + picture));
    QCOMPARE(entriesOf(backup + "/images").size(), 3);
    QVERIFY(MessageBox::Shown().first().contains(backup));
    QVERIFY2(MessageBox::Shown().first().contains(QRegularExpression("\\(\\d+(\\.\\d)? [kKMG]?B\\)\\.$")),
             qPrintable(MessageBox::Shown().first()));

    // The copy, through a connection of its own, holds what the catalogue holds.
    {
        QSqlDatabase copy = QSqlDatabase::addDatabase("QSQLITE", "backup-copy");
        copy.setDatabaseName(backup + "/dvd_collection.mdb");
        QVERIFY(copy.open());
        QSqlQuery check(copy);
        QVERIFY(check.exec("PRAGMA integrity_check") && check.next());
        QCOMPARE(check.value(0).toString(), QString("ok"));
        for (const QString &table : kTables) {
            QSqlQuery rows(copy);
            QVERIFY(rows.exec(QString("SELECT * FROM %1 ORDER BY rowid").arg(table)));
            QVector<QVariantList> copied;
            while (rows.next()) {
                QVariantList row;
                for (int i = 0; i < rows.record().count(); ++i)
                    row << rows.value(i);
                copied << row;
            }
            QCOMPARE(copied, f.folder.Rows(QString("SELECT * FROM %1 ORDER BY rowid").arg(table)));
        }
    }
    QSqlDatabase::removeDatabase("backup-copy");
}

void TestTransfer::backupNeverOverwrites()
{
    TestFolder folder;
    const auto shared = folder.MakeShared();
    QTemporaryDir destination;
    const QDateTime when(QDate(2026, 12, 6), QTime(17, 5, 9));
    const auto first = CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString,
                                             destination.path(), when,
                                             [](qint64, qint64) { return true; });
    QCOMPARE(first.folder, destination.path() + "/Reelvane backup 2026-12-06 170509");
    const QByteArray copied = fileBytes(first.folder + "/dvd_collection.mdb");
    folder.AddTitle({.title = "Changed since"});
    try {
        CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString, destination.path(),
                              when, [](qint64, qint64) { return true; });
        QFAIL("a second backup under the same name was made");
    } catch (const CatalogueBackup::Failure &failure) {
        QVERIFY(failure.Message().contains("already exists"));
    }
    QCOMPARE(fileBytes(first.folder + "/dvd_collection.mdb"), copied);
    QCOMPARE(entriesOf(destination.path()).size(), 1);

    // Cancelled: nothing is left.
    QTemporaryDir other;
    const auto cancelled = CatalogueBackup::Make(shared->AppFolder, shared->ConnectionString,
                                                 other.path(), when,
                                                 [](qint64 done, qint64) { return done < 1; });
    QVERIFY(cancelled.folder.isEmpty());
    QCOMPARE(entriesOf(other.path()), QStringList());
}

void TestTransfer::destinationFaults_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<bool>("bigCatalogue");
    QTest::addColumn<bool>("readOnly"); // else a full disk
    QTest::addColumn<QString>("message");
    QTest::newRow("export") << "export" << true << false << "The titles could not be exported to ";
    QTest::newRow("backup, the catalogue")
        << "backup" << true << false << "No backup was made:\r\nThe catalogue could not be copied";
    QTest::newRow("backup, a picture")
        << "backup" << false << false << "No backup was made:\r\nThe picture 1.jpg could not be copied";
    QTest::newRow("export, read-only folder")
        << "export" << false << true << "The titles could not be exported to ";
    QTest::newRow("backup, read-only folder")
        << "backup" << false << true << "No backup was made:\r\nA folder cannot be made in ";
}

void TestTransfer::destinationFaults()
{
    QFETCH(QString, command);
    QFETCH(bool, bigCatalogue);
    QFETCH(bool, readOnly);
    QFETCH(QString, message);
    MainWindowFixture f;
    const int titles = bigCatalogue ? 12 : 1;
    for (int i = 0; i < titles; ++i)
        f.folder.AddTitle({.title = QString("Title %1").arg(i),
                           .summary = QString("A long summary. ").repeated(4000)});
    f.folder.WriteImageFile("1.jpg", QByteArray(2 << 20, 'x'));
    f.load();
    QTemporaryDir destination;
    TransferCommands commands(*f.shared, *f.main);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    bool done = true;
    {
        std::optional<FileSizeLimit> limit;
        std::optional<ReadOnlyFolder> locked;
        if (readOnly)
            QVERIFY(locked.emplace(destination.path()).Lock());
        else
            QVERIFY(limit.emplace(512 * 1024).IsSet());
        done = command == "export" ? commands.ExportTo(destination.path() + "/titles.csv")
                                   : commands.BackUpInto(destination.path());
        if (!readOnly)
            QCOMPARE(entriesOf(destination.path()), QStringList()); // no partial file or folder
    }
    QVERIFY(!done);
    QCOMPARE(MessageBox::Shown().size(), 1);
    QVERIFY2(MessageBox::Shown().first().startsWith(message), qPrintable(MessageBox::Shown().first()));
    QCOMPARE(entriesOf(destination.path()), QStringList());

    // With room again, the same command goes through.
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QVERIFY(command == "export" ? commands.ExportTo(destination.path() + "/titles.csv")
                                : commands.BackUpInto(destination.path()));
    QCOMPARE(entriesOf(destination.path()).size(), 1);
}

QTEST_MAIN(TestTransfer)
#include "test_transfer.moc"
