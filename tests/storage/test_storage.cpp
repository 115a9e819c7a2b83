// Statements with awkward values, the title writer, the transaction guard, the letter rule,
// folder names, and the loans kept beside the catalogue.
#include "AtomicFile.h"
#include "AwkwardText.h"
#include "CataloguePreparer.h"
#include "BrowseStatements.h"
#include "Connection.h"
#include "DbError.h"
#include "KeyRuns.h"
#include "Letters.h"
#include "ListedTitles.h"
#include "Loans.h"
#include "Module1.h"
#include "RecordList.h"
#include "Statements.h"
#include "TestFolder.h"
#include "TitleRecord.h"
#include "TitleWriter.h"
#include "Transaction.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cerrno>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <QTemporaryDir>
#include <QTest>

class TestStorage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storedAsTyped_data();
    void storedAsTyped();
    void titleWriter_data();
    void titleWriter();
    void transaction_data();
    void transaction();
    void letters_data();
    void letters();
    void readAsTheDriver_data();
    void readAsTheDriver();
    void listOrder_data();
    void listOrder();
    void folderOfAnyName_data();
    void folderOfAnyName();
    void atomicFile_data();
    void atomicFile();
    void lendAndReturn_data();
    void lendAndReturn();
    void loanRefused_data();
    void loanRefused();
    void oddLoanRows();
    void withoutTheLoanTable();
    void keyRunsMeet_data();
    void keyRunsMeet();
};

void TestStorage::storedAsTyped_data()
{
    QTest::addColumn<QString>("value");
    QTest::newRow("empty") << QString();
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
}

// Each statement that takes a text stores it, and finds it, as typed.
void TestStorage::storedAsTyped()
{
    QFETCH(QString, value);
    TestFolder folder;
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    const auto run = [&connection](const QString &statement) { connection.Execute(statement); };
    const auto single = [&connection](const QString &statement) {
        RecordList list;
        list.Open(statement, connection);
        return list.RecordCount() == 1 ? list.ValueAt(0, 0) : QVariant("<not one row>");
    };
    const int genres = single(QStringLiteral("SELECT count(*) FROM Genre")).toInt();

    const QString genre = QStringLiteral("G ") + value;
    run(Statements::InsertGenre(genre));
    const qint64 genreId = single(Statements::GenreId(genre)).toLongLong();
    const TitleFacts facts{value, value, value, value, value, value, value, 1};
    // The save's statements, as the editor's writer runs them.
    const auto write = [&folder](const TitleRecord &title, const QVector<qint64> &kept = {}) {
        TitleWriter writer(folder.MakeShared()->ConnectionString, TitleWriter::Form::Text,
                           TitleWriter::MissingGenre::Fail);
        const qint64 id = writer.Write(title, kept);
        writer.Commit();
        return id;
    };
    const qint64 id = write({0, facts, {genre}, {}, {{"B " + value, value}, {"A", value}}});
    TitleRecord read = ReadTitle(connection, id);
    QCOMPARE(read.facts, facts);
    QCOMPARE(read.genres, QStringList{genre});
    QCOMPARE(read.cast, (QVector<CastMember>{{"A", value}, {"B " + value, value}}));

    QCOMPARE(single(Statements::SimilarTitles("Dvd_Title", "Title", value)).toString(), value);
    QCOMPARE(
        single(BrowseStatements::Titles(BrowseStatements::Branch::Genres, 1, {genre})).toLongLong(),
        id);
    QCOMPARE(single(Statements::SimilarTitles("Dvd_Title", "Title", "x", {value})).toString(),
             value);
    QCOMPARE(single(Statements::CountMatches("Genre", "Genre", genre)).toInt(), 1);
    QCOMPARE(single(Statements::CountTitlesOnGenre(genre)).toInt(), 1);
    QCOMPARE(single(Statements::TitlesOnGenre(genre)).toString(), value);
    RecordList unpicked;
    unpicked.Open(Statements::UnpickedGenres({genre, QString(), value, "Drama"}), connection);
    QCOMPARE(unpicked.RecordCount(), genres - 1);

    const TitleFacts changed{value + "'", value, value, "\"" + value, value, value, value, 0};
    // A kept link is written only where it is missing and its genre still exists.
    write({id, changed}, {genreId, genreId, genreId + 1000});
    read = ReadTitle(connection, id);
    QCOMPARE(read.facts, changed);
    QCOMPARE(read.genreIds, QVector<qint64>{genreId});
    QVERIFY(read.cast.isEmpty());

    const QString renamed = QStringLiteral("H ") + value;
    run(Statements::RenameGenre(genre, renamed));
    QCOMPARE(single(Statements::GenreId(renamed)).toLongLong(), genreId);
    run(Statements::DeleteLinksOfGenre(renamed));
    run(Statements::DeleteGenre(renamed));
    QVERIFY(ReadTitle(connection, id).genres.isEmpty());
    QCOMPARE(single(QStringLiteral("SELECT count(*) FROM Genre")).toInt(), genres);
}

void TestStorage::titleWriter_data()
{
    QTest::addColumn<TitleWriter::Form>("form");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("error");  // how the failure's message starts; empty: written
    QTest::addColumn<QString>("stored"); // facts | cast | genres of the ID written
    const QString written = "Changed's,,0099,text,D'Irector,,1 |  as Role, O'Hara as Scarlett | ";
    for (const auto form : {TitleWriter::Form::Text, TitleWriter::Form::Bound}) {
        const auto row = [form](const char *name, const QString &change, const QString &error,
                                const QString &stored = {}) {
            QTest::addRow("%s, %s", form == TitleWriter::Form::Text ? "text" : "bound", name)
                << form << change << error << stored;
        };
        row("add", "add", "", written + "Action, Comedy");
        row("modify keeps links past the picks", "modify", "", written + "Action, Comedy, Western");
        row("modify, title deleted meanwhile", "gone", "");
        row("add, last cast row refused", "refuse INSERT ON Cast_Relationships",
            "Error 19 inserting records.\r\nrefused");
        row("modify, old links refused", "refuse DELETE ON Genre_Relationships",
            "Error 19 deleting records.\r\nrefused");
        row("add, genre removed meanwhile", "missing", "Error 3021 inserting records.");
    }
    // What an import promised in its preview: names compared by the letter rule, new ones made.
    QTest::addRow("bound, genres by the letter rule, new ones created")
        << TitleWriter::Form::Bound << "create"
        << "" << written + "Action, Comedy, Zarzuela, Zarzuela, Épopée";
}

// One rule set whatever the form: empty text stored as empty text, links in order with the
// kept ones, the cast as given; a failure, or a title gone meanwhile, leaves nothing.
void TestStorage::titleWriter()
{
    QFETCH(TitleWriter::Form, form);
    QFETCH(QString, change);
    QFETCH(QString, error);
    QFETCH(QString, stored);
    TestFolder folder;
    const qint64 other =
        folder.AddTitle({.title = "Other", .genres = {"War"}, .cast = {{"O1", "O2"}}});
    const qint64 old = folder.AddTitle({.title = "Stored",
                                        .genres = {"Drama", "Action", "Western", "Removed"},
                                        .cast = {{"Old", "Cast"}}});
    const QVector<qint64> kept{folder.GenreId("Western"), folder.GenreId("Removed"),
                               folder.GenreId("Comedy")};
    folder.Exec("DELETE FROM Genre WHERE Genre = 'Removed'");
    folder.AddGenre("Épopée");
    // IDs beyond 16 bits are written and read back whole.
    folder.Exec("UPDATE sqlite_sequence SET seq = 70000 WHERE name = 'DVD_Title'");
    if (change.startsWith("refuse"))
        folder.Exec("CREATE TRIGGER refuse BEFORE " + change.mid(7)
                    + " BEGIN SELECT RAISE(ABORT, 'refused'); END");
    if (change == "gone")
        folder.Exec("DELETE FROM DVD_Title WHERE ID = ?", {old});
    const bool modify =
        change == "modify" || change == "gone" || change.startsWith("refuse DELETE");
    TitleRecord title{modify ? old : 0,
                      {"Changed's", "", "0099", "D'Irector", QString(), "", "", 1},
                      {"Action", "", change == "missing" ? "Gone" : "Comedy"},
                      {},
                      {{QString(), "Role"}, {"O'Hara", "Scarlett"}}};
    if (change == "create")
        title.genres += QStringList{"ÉPOPÉE", "Zarzuela", "zarzuela"};
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();

    qint64 id = -1;
    QString failure;
    const auto missing =
        change == "create" ? TitleWriter::MissingGenre::Create : TitleWriter::MissingGenre::Fail;
    std::optional<TitleWriter> writer;
    try {
        writer.emplace(folder.MakeShared()->ConnectionString, form, missing);
        id = writer->Write(title, modify ? kept : QVector<qint64>());
        if (id != 0)
            writer->Commit();
    } catch (const DbError &e) {
        const bool deleting = writer && writer->RemovingOldLinks();
        failure = e.Message(deleting ? " deleting records." : " inserting records.");
    }
    writer.reset();
    QVERIFY2(error.isEmpty() ? failure.isEmpty() : failure.startsWith(error), qPrintable(failure));
    if (stored.isEmpty()) {
        QCOMPARE(id, error.isEmpty() ? 0 : -1);
        QVERIFY(folder.CatalogueBytes() == before);
        return;
    }
    QCOMPARE(id, modify ? old : 70001);
    // Null in any text would make the whole line Null.
    const QString written =
        folder
            .Scalar("SELECT Title || ',' || Sub_Title || ',' || Date || ',' || typeof(Date) || ',' "
                    "|| Director || ',' || Summary || ',' || WishList || ' | ' || (SELECT "
                    "group_concat(Actor || ' as ' || Character, ', ') FROM Cast_Relationships "
                    "WHERE Movie = ID) FROM DVD_Title WHERE ID = ?",
                    {id})
            .toString();
    QCOMPARE(written + " | " + folder.GenreNames(id).join(", "), stored);
    // The other titles keep theirs.
    QCOMPARE(folder.GenreNames(other), QStringList{"War"});
    QCOMPARE(folder.Scalar("SELECT count(*) FROM Cast_Relationships WHERE Movie <> ?", {id}),
             QVariant(modify ? 1 : 2));
}

void TestStorage::transaction_data()
{
    QTest::addColumn<int>("failing"); // where a failing statement goes; -1: none
    QTest::newRow("first fails") << 0;
    QTest::newRow("last fails") << 3;
    QTest::newRow("none fails") << -1;
}

// The guard rolls back whatever ran inside it when a statement throws.
void TestStorage::transaction()
{
    QFETCH(int, failing);
    TestFolder folder;
    const qint64 id = folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    folder.CloseConnection();
    const QByteArray before = folder.CatalogueBytes();
    QStringList statements{Statements::DeleteTitle(id), Statements::DeleteGenreLinksOfTitle(id),
                           Statements::DeleteCastOfTitle(id)};
    if (failing >= 0)
        statements.insert(failing, QStringLiteral("INSERT INTO NoSuchTable VALUES (1)"));

    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    bool thrown = false;
    try {
        Transaction transaction(connection);
        for (const QString &statement : statements)
            connection.Execute(statement);
        transaction.Commit();
    } catch (const DbError &) {
        thrown = true;
    }
    QCOMPARE(thrown, failing >= 0);
    // Nothing is left open on the connection: a new transaction can begin.
    {
        Transaction again(connection);
    }
    connection.Close();
    QCOMPARE(folder.CatalogueBytes() == before, failing >= 0);
}

void TestStorage::letters_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("order"); // -1: a first
    QTest::addColumn<bool>("equal");
    const auto row = [](const char *name, const QString &a, const QString &b, int order,
                        bool equal) { QTest::newRow(name) << a << b << order << equal; };
    row("É after E…", "Eagle", "Émile", -1, false);
    row("…and before F", "Émile", "Fargo", -1, false);
    row("before z whatever the case", "Émile", "zebra", -1, false);
    row("accents count", "Amelie", "Amélie", -1, false);
    row("capitals with accents", "AMÉLIE", "Amélie", -1, true);
    row("ß is ss", "STRASSE", "Straße", -1, true);
    row("Greek final sigma", "ΣΊΣΥΦΟΣ", "σίσυφος", -1, true);
    row("Greek order", "άλφα", "Βήτα", -1, false);
    row("Cyrillic case", "МОСКВА", "москва", -1, true);
    row("Cyrillic ё with е", "ёлка", "жук", -1, false);
    row("apostrophe", "Ocean's Eleven", "OCEAN'S ELEVEN", 1, true);
    row("apostrophe before letters", "Ocean's", "Oceans", -1, false);
    row("composed and decomposed", "É", "e\u0301", 1, true);
    row("identical", "Fargo", "Fargo", 0, true);
    row("looks like SQL", "x' OR '1'='1", "x", 1, false);
}

// The rule, and the name check where the catalogue's own comparison meets it.
void TestStorage::letters()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, order);
    QFETCH(bool, equal);
    QCOMPARE(Letters::Equal(a, b), equal);
    QCOMPARE(Letters::Equal(b, a), equal);
    QCOMPARE(Letters::Compare(a, b), order);
    QCOMPARE(Letters::Compare(b, a), -order);
    if (Letters::NocaseEqual(a, b))
        QVERIFY(equal);

    TestFolder folder;
    folder.AddTitle({.title = b});
    auto shared = folder.MakeShared();
    shared->LookupTable = "Dvd_Title";
    shared->LookupField = "Title";
    shared->LookupValue = a;
    shared->CountMatches();
    QCOMPARE(shared->LookupCount, equal ? 1 : 0);
    QCOMPARE(shared->LookupMatches, equal ? QStringList{b} : QStringList());
    QCOMPARE(shared->LookupValue, Statements::Quote(a));
}

void TestStorage::readAsTheDriver_data()
{
    QTest::addColumn<QString>("statement");
    QTest::newRow("no rows") << "SELECT Id, Title FROM DVD_Title WHERE 0";
    QTest::newRow("the title list") << Statements::TitleList(0);
    QTest::newRow("every kind of value")
        << "SELECT NULL, 0, -9007199254740993, 2.5, x'00ff80', x'', '', 'x', NULL || 'y'";
    QTest::newRow("names") << "SELECT t.Title, t.Title AS \"Odd \"\"Name\"\"\", count(*) AS n "
                              "FROM DVD_Title t GROUP BY t.Title";
    QTest::newRow("last ID") << "SELECT @@Identity";
}

// The list read straight from the engine gives what the Qt driver gives: names, types,
// Null, empty and awkward texts alike.
void TestStorage::readAsTheDriver()
{
    QFETCH(QString, statement);
    TestFolder folder;
    for (const auto &[name, text] : AwkwardTexts())
        folder.AddTitle({.title = text, .subTitle = name});
    folder.AddTitle({.title = "Fargo", .subTitle = QVariant()});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    connection.Execute("INSERT INTO Genre (Genre) VALUES ('Drama')");

    RecordList list;
    list.Open(statement, connection);
    QSqlQuery query(connection.Database());
    QVERIFY(query.exec(statement.replace("@@Identity", "last_insert_rowid()")));
    QCOMPARE(list.FieldCount(), query.record().count());
    for (int field = 0; field < list.FieldCount(); ++field)
        QCOMPARE(list.FieldName(field), query.record().fieldName(field));
    int row = 0;
    for (; query.next(); ++row) {
        for (int field = 0; field < list.FieldCount(); ++field) {
            const QVariant read = list.ValueAt(row, field);
            const QVariant expected = query.value(field);
            const QString where = QString("row %1 field %2").arg(row).arg(field);
            QVERIFY2(read.metaType() == expected.metaType() && read.isNull() == expected.isNull()
                         && read == expected,
                     qPrintable(where));
        }
    }
    QCOMPARE(list.RecordCount(), row);
}

void TestStorage::listOrder_data()
{
    QTest::addColumn<QStringList>("texts"); // as the catalogue hands them over
    const QStringList plain{"Alien", "Brazil", "Fargo", "Heat", "Ran", "Zulu"};
    QTest::newRow("empty") << QStringList();
    QTest::newRow("one title") << QStringList{"Émile"};
    QTest::newRow("plain only, not in order") << QStringList{"b", "A", "a", "B"};
    QTest::newRow("others first") << QStringList{"Ángel", "Ærø"} + plain;
    QTest::newRow("others last, past every plain one")
        << plain + QStringList{"Élan", "Ωmega", "Ψ", "Ζ"};
    QTest::newRow("others between and equal")
        << QStringList{"amelie", "AMÉLIE", "Amélie", "Amelie", "amélie", "Amélie", "Ran", "Rän"}
               + plain;
}

// The letter rule's order of a list is a plain stable sort by Compare, however the texts
// beyond ASCII fall among the others.
void TestStorage::listOrder()
{
    QFETCH(QStringList, texts);
    const QVector<int> order =
        Letters::SortedOrder(int(texts.size()), [&](int i) { return QStringView(texts[i]); });
    QVector<int> expected(texts.size());
    std::iota(expected.begin(), expected.end(), 0);
    std::stable_sort(expected.begin(), expected.end(),
                     [&](int a, int b) { return Letters::Compare(texts[a], texts[b]) < 0; });
    QCOMPARE(order, expected);
}

void TestStorage::folderOfAnyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("URI characters") << "my films #1 ? 100% d'Été";
    QTest::newRow("looks like a setting") << "a;Uid=x;Pwd=y;";
    QTest::newRow("braces, equals, line break") << "{x}=1\ntwo";
}

void TestStorage::folderOfAnyName()
{
    QFETCH(QString, name);
    QTemporaryDir base;
    const QString folder = base.filePath(name);
    QVERIFY(QDir().mkpath(folder) && CataloguePreparer::Prepare(folder));
    Module1 shared(folder);
    shared.InitializeDatabasePath();
    QCOMPARE(Connection::FileFromConnectionString(shared.ConnectionString),
             folder + "/dvd_collection.mdb");
    Connection connection;
    connection.Open(shared.ConnectionString);
    connection.Execute("INSERT INTO DVD_Title (Title, WishList) VALUES ('X', 0)");
    // Nothing was made beside the folder.
    QCOMPARE(QDir(base.path()).entryList(QDir::Files).size(), 0);
}

void TestStorage::atomicFile_data()
{
    QTest::addColumn<QString>("target"); // what is there before: nothing, a file or a link
    QTest::addColumn<int>("step");       // made to fail, as a full or failing disk would
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason"); // empty: the file is written
    using Step = AtomicFile::Step;
    auto row = [](const char *name, const char *target, Step step, int code, const char *reason) {
        QTest::newRow(name) << QString(target) << int(step) << code << QString(reason);
    };
    row("a new file", "nothing", Step::None, 0, "");
    row("over a file", "file", Step::None, 0, "");
    row("over a link: the link is replaced, never written through", "link", Step::None, 0, "");
    row("the temporary file refused", "file", Step::Create, EACCES, "Permission denied.");
    row("disk full: a write refused", "file", Step::Write, ENOSPC, "No space left on device.");
    row("the sync refused", "link", Step::Sync, EIO, "Input/output error.");
    row("the file comes out short", "file", Step::Size, 0, "bytes could be written.");
    row("the close refused", "file", Step::Close, EIO, "Input/output error.");
    row("the rename refused", "link", Step::Rename, EROFS, "Read-only file system.");
}

void TestStorage::atomicFile()
{
    QFETCH(QString, target);
    QFETCH(int, step);
    QFETCH(int, code);
    QFETCH(QString, reason);
    using Step = AtomicFile::Step;
    QTemporaryDir dir;
    const QString file = dir.filePath("out.csv");
    const QString pointedTo = dir.filePath("elsewhere.csv");
    QVERIFY(TestFolder::WriteFile(pointedTo, "kept"));
    if (target == "file")
        QVERIFY(TestFolder::WriteFile(file, "old"));
    else if (target == "link")
        QVERIFY(QFile::link(pointedTo, file));
    const QStringList before = QDir(dir.path()).entryList(QDir::Files | QDir::System);
    const QByteArray chunk = QByteArray("title,year\r\n").repeated(10000);

    AtomicFile::ResetForTesting();
    AtomicFile::FailNextForTesting(AtomicFile::Step(step), code);
    bool written = false;
    QString error;
    {
        AtomicFile out(file);
        written = out.open(QIODevice::WriteOnly) && out.write(chunk) == chunk.size()
                  && out.write(chunk) == chunk.size() && out.commit();
        error = out.errorString();
    }
    QCOMPARE(TestFolder::ReadFile(pointedTo), QByteArray("kept"));
    if (!reason.isEmpty()) {
        QVERIFY(!written);
        QVERIFY2(error.endsWith(reason), qPrintable(error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System), before);
        QCOMPARE(QFileInfo(file).isSymLink(), target == "link");
        if (target == "file")
            QCOMPARE(TestFolder::ReadFile(file), QByteArray("old"));
        return;
    }
    QVERIFY2(written, qPrintable(error));
    QVERIFY(!QFileInfo(file).isSymLink());
    QCOMPARE(TestFolder::ReadFile(file), chunk + chunk);
    // Nothing else is left, and every step ran: the sync before the rename and the
    // folder's after it leave no trace in the files.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
    QCOMPARE(AtomicFile::LastStepsForTesting(),
             (QList<AtomicFile::Step>{Step::Create, Step::Write, Step::Sync, Step::Size,
                                      Step::Close, Step::Rename, Step::FolderSync}));
}

static const QDate kLent(2026, 12, 3);

void TestStorage::lendAndReturn_data()
{
    QTest::addColumn<QString>("borrower");
    for (const auto &[name, text] : AwkwardTexts())
        if (!text.trimmed().isEmpty())
            QTest::newRow(name) << text;
}

// Stored as typed; the return keeps the loan in the history; a new loan starts after it.
void TestStorage::lendAndReturn()
{
    QFETCH(QString, borrower);
    TestFolder folder;
    const qint64 id = folder.AddTitle({QStringLiteral("Alien")});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);

    QCOMPARE(Loans::Lend(connection, id, borrower, kLent, kLent.addDays(14), borrower),
             Loans::LendResult::Lent);
    auto open = Loans::OpenLoan(connection, id);
    QVERIFY(open);
    QCOMPARE(open->Borrower, borrower);
    QCOMPARE(QStringList({open->Note, open->LentOn, open->DueOn}),
             QStringList({borrower, "2026-12-03", "2026-12-17"}));
    QCOMPARE(open->DaysOverdue(QDate(2026, 12, 20)), 3);
    QCOMPARE(open->DaysOverdue(QDate(2026, 12, 17)), 0);
    QCOMPARE(Loans::Lend(connection, id, QStringLiteral("Bob"), kLent, {}, {}),
             Loans::LendResult::AlreadyOnLoan);
    QCOMPARE(Loans::BorrowerNames(connection), QStringList{borrower});

    QVERIFY(Loans::Return(connection, id, kLent.addDays(5)));
    QVERIFY(!Loans::OpenLoan(connection, id));
    QVERIFY(!Loans::Return(connection, id, kLent.addDays(6)));
    QCOMPARE(Loans::Lend(connection, id, QStringLiteral("Bob"), kLent.addDays(7), {}, {}),
             Loans::LendResult::Lent);
    const QVector<Loan> history = Loans::History(connection, id);
    QCOMPARE(history.size(), 2);
    QCOMPARE(history[0].Borrower, QStringLiteral("Bob"));
    QVERIFY(history[0].IsOpen());
    QCOMPARE(history[1].ReturnedOn, QStringLiteral("2026-12-08"));
    QCOMPARE(Loans::AllLoans(connection, true).size(), 2);
    QCOMPARE(Loans::AllLoans(connection, false)[0].Title.toString(), QStringLiteral("Alien"));
}

void TestStorage::loanRefused_data()
{
    QTest::addColumn<QString>("borrower");
    QTest::addColumn<QDate>("due");
    QTest::addColumn<int>("wishList");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("empty borrower") << QString() << QDate() << 0 << "invalid";
    QTest::newRow("blank borrower") << QStringLiteral("  ") << QDate() << 0 << "invalid";
    QTest::newRow("due before lent") << "Anna" << kLent.addDays(-1) << 0 << "invalid";
    QTest::newRow("due on the day lent") << "Anna" << kLent << 0 << "lent";
    QTest::newRow("wishlist title") << "Anna" << QDate() << 1 << "not in inventory";
}

void TestStorage::loanRefused()
{
    QFETCH(QString, borrower);
    QFETCH(QDate, due);
    QFETCH(int, wishList);
    QFETCH(QString, outcome);
    TestFolder folder;
    TestFolder::Title title{QStringLiteral("Alien")};
    title.wishList = wishList;
    const qint64 id = folder.AddTitle(title);
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    QString got;
    try {
        const auto result = Loans::Lend(connection, id, borrower, kLent, due, {});
        got = result == Loans::LendResult::Lent ? "lent" : "not in inventory";
    } catch (const std::invalid_argument &) {
        got = "invalid";
    }
    QCOMPARE(got, outcome);
    QCOMPARE(folder.Scalar("SELECT count(*) FROM Loan").toInt(), outcome == "lent" ? 1 : 0);
}

// Loan rows another SQLite tool may have written: shown as they are, the writes still right.
void TestStorage::oddLoanRows()
{
    TestFolder folder;
    const qint64 id = folder.AddTitle({QStringLiteral("Alien")});
    folder.Exec("INSERT INTO Loan (Title_ID, Borrower, Lent_On, Due_On) VALUES (?, 'Anna', "
                "'last week', 'soon')",
                {id});
    folder.Exec("INSERT INTO Loan (Title_ID, Borrower, Lent_On) VALUES (?, 'Bob', '2026-12-01')",
                {id});
    folder.Exec("INSERT INTO Loan (Title_ID, Borrower, Lent_On) VALUES (9999, 'Cleo', 12)");
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);

    // Two open loans: the newest is the title's loan; a return ends both.
    auto open = Loans::OpenLoan(connection, id);
    QVERIFY(open);
    QCOMPARE(open->Borrower, QStringLiteral("Bob"));
    const QVector<Loan> all = Loans::AllLoans(connection, false);
    QCOMPARE(all.size(), 3);
    QCOMPARE(all[0].DueOn, QStringLiteral("soon"));
    QCOMPARE(all[0].DaysOverdue(QDate(2030, 1, 1)), 0);
    QVERIFY(Loans::Describe(all[0]).startsWith("On loan to Anna since last week, due back soon"));
    QVERIFY(all[2].Title.isNull());
    QCOMPARE(all[2].LentOn, QStringLiteral("12"));
    QCOMPARE(Loans::Lend(connection, id, "Dan", kLent, {}, {}), Loans::LendResult::AlreadyOnLoan);
    QCOMPARE(Loans::Lend(connection, 9999, "Dan", kLent, {}, {}),
             Loans::LendResult::NotInInventory);
    QVERIFY(Loans::Return(connection, id, kLent));
    QVERIFY(!Loans::OpenLoan(connection, id));
    QCOMPARE(folder.Scalar("SELECT count(*) FROM Loan WHERE Returned_On = '2026-12-03'").toInt(),
             2);

    Loans::DeleteLoansOfTitle(connection, id);
    QCOMPARE(folder.Scalar("SELECT count(*) FROM Loan").toInt(), 1);
}

// An older catalogue reads as having no loans; the table is made at open where it can be.
void TestStorage::withoutTheLoanTable()
{
    TestFolder folder;
    const qint64 id = folder.AddTitle({QStringLiteral("Alien")});
    folder.Exec("DROP TABLE Loan");
    const QString connectionString = folder.MakeShared()->ConnectionString;
    {
        Connection connection;
        connection.Open(connectionString);
        QVERIFY(!Loans::TableExists(connection));
        QVERIFY(!Loans::OpenLoan(connection, id));
        QVERIFY(Loans::AllLoans(connection, true).isEmpty());
        QVERIFY(Loans::BorrowerNames(connection).isEmpty());
        Loans::DeleteLoansOfTitle(connection, id);
        QVERIFY_THROWS_EXCEPTION(DbError, Loans::Lend(connection, id, "Anna", kLent, {}, {}));
    }

    // Another program writing: opened as it is, no wait.
    folder.Exec("BEGIN IMMEDIATE");
    QCOMPARE(Loans::Ensure(connectionString), Loans::Outcome::Skipped);
    folder.Exec("COMMIT");
    QCOMPARE(Loans::Ensure(connectionString), Loans::Outcome::Created);
    QCOMPARE(Loans::Ensure(connectionString), Loans::Outcome::Present);
    Connection connection;
    connection.Open(connectionString);
    QCOMPARE(Loans::Lend(connection, id, "Anna", kLent, {}, {}), Loans::LendResult::Lent);
}

void TestStorage::keyRunsMeet_data()
{
    QTest::addColumn<QString>("turns"); // which scan steps next, in turn: u up, d down
    QTest::newRow("up to the end first") << "u";
    QTest::newRow("down to the start first") << "d";
    QTest::newRow("in turn") << "ud";
    QTest::newRow("up twice as fast") << "uud";
    QTest::newRow("down three times as fast") << "dddu";
}

// Two scans of one index, one from each end, however their steps interleave: every run is
// counted by exactly one of them, each title once, and blank keys are no value.
void TestStorage::keyRunsMeet()
{
    QFETCH(QString, turns);
    TestFolder folder;
    QVector<qint64> ids;
    for (int title = 0; title < 5; ++title)
        ids << folder.AddTitle({.title = QString::number(title)});
    const qint64 wished = folder.AddTitle({.title = "Wished", .wishList = 1});
    Connection connection;
    connection.Open(folder.MakeShared()->ConnectionString);
    ListedTitles upTitles(connection, 0);
    ListedTitles downTitles(connection, 0);
    // In the index's order: keys under NOCASE, then IDs. A title twice under one key.
    const QVector<QPair<QByteArray, qint64>> rows{
        {"", ids[4]},    {"  ", ids[4]},  {"ann", ids[0]}, {"ANN", ids[0]},
        {"Ann", ids[2]}, {"bo", ids[1]},  {"bo", wished},  {"cy", ids[3]},
        {"dee", ids[2]}, {"DEE", ids[3]}, {"DEE", ids[3]}, {"eve", wished}};
    KeyRuns::Meeting meeting;
    KeyRuns up(upTitles, false, &meeting);
    KeyRuns down(downTitles, true, &meeting);
    qsizetype front = 0;
    qsizetype back = rows.size() - 1;
    bool upOn = true;
    bool downOn = true;
    for (int turn = 0; upOn || downOn; ++turn) {
        if (upOn && (!downOn || turns[turn % turns.size()] == u'u')) {
            upOn = front < rows.size() && up.Step(rows[front].first, rows[front].second);
            ++front;
        } else {
            downOn = back >= 0 && down.Step(rows[back].first, rows[back].second);
            --back;
        }
    }
    const auto upRuns = up.Finish();
    const auto downRuns = down.Finish();
    QVERIFY(upRuns && downRuns);
    QStringList counted;
    for (const auto &runs : {*upRuns, *downRuns})
        for (const KeyRuns::Run &run : runs)
            counted << QString::fromUtf8(run.key).toLower() + " " + QString::number(run.titles);
    counted.sort();
    QCOMPARE(counted, (QStringList{"ann 2", "bo 1", "cy 1", "dee 2"}));
    upTitles.MarkAll(downTitles);
    QCOMPARE(upTitles.Marked(), 4); // not the title with blank keys only
}

QTEST_GUILESS_MAIN(TestStorage)
#include "test_storage.moc"
