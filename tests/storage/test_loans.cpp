// The loans kept beside the catalogue: lend, return, history, odd rows another tool left,
// and a catalogue without the Loan table.
#include "AwkwardText.h"
#include "Connection.h"
#include "DbError.h"
#include "Loans.h"
#include "TestFolder.h"

#include <QTest>
#include <stdexcept>

class TestLoans : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lendAndReturn_data();
    void lendAndReturn();
    void refused_data();
    void refused();
    void oddStoredRows();
    void withoutTheTable();
};

static const QDate kLent(2026, 12, 3);

void TestLoans::lendAndReturn_data()
{
    QTest::addColumn<QString>("borrower");
    for (const auto &[name, text] : AwkwardTexts())
        if (!text.trimmed().isEmpty())
            QTest::newRow(name) << text;
}

// Stored as typed; the return keeps the loan in the history; a new loan starts after it.
void TestLoans::lendAndReturn()
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

void TestLoans::refused_data()
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

void TestLoans::refused()
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

// What another SQLite tool may have written: shown as it is, the program's writes still right.
void TestLoans::oddStoredRows()
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
void TestLoans::withoutTheTable()
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

QTEST_MAIN(TestLoans)
#include "test_loans.moc"
