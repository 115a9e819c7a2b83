// The open loan in the titles file: written in the last three columns, read back by the
// import; files without them import as before; bad loan cells refuse their row.
#include "Connection.h"
#include "ImportPlan.h"
#include "Loans.h"
#include "TestFolder.h"
#include "TitleExport.h"
#include "TitleTransfer.h"

#include <QBuffer>
#include <QTest>

class TestLoanCsv : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void roundTrip();
    void importedLoans_data();
    void importedLoans();
};

namespace {

const auto kGoOn = [](qint64, qint64) { return true; };

// Imports the bytes into the folder's catalogue; the refused rows as "line column: reason".
QStringList import(TestFolder &folder, const QByteArray &bytes)
{
    const QString connection = folder.MakeShared()->ConnectionString;
    ImportPlan plan;
    if (!plan.Analyse(bytes, TitleTransfer::ReadExisting(connection), kGoOn))
        return {"cancelled"};
    QStringList refused;
    for (const ImportPlan::Row &row : plan.Rows())
        if (row.status == ImportPlan::Status::Refused)
            refused << QStringLiteral("%1 %2: %3").arg(row.line).arg(row.column, row.reason);
    plan.Write(bytes, false, connection, kGoOn);
    return refused;
}

QStringList loansOf(TestFolder &folder)
{
    QStringList loans;
    for (const QVariantList &row :
         folder.Rows("SELECT DVD_Title.Title, Borrower, Lent_On, ifnull(Due_On, '-'), "
                     "ifnull(Returned_On, '-') FROM Loan JOIN DVD_Title ON DVD_Title.ID = "
                     "Loan.Title_ID ORDER BY DVD_Title.Title"))
        loans << row[0].toString() + ":" + row[1].toString() + "," + row[2].toString() + ","
                     + row[3].toString() + "," + row[4].toString();
    return loans;
}

} // namespace

void TestLoanCsv::roundTrip()
{
    TestFolder from;
    const QString borrower = QString::fromUtf8("O'Hara, \"Jo\"; Ærø\tx");
    const qint64 alien = from.AddTitle({QStringLiteral("Alien")});
    const qint64 brazil = from.AddTitle({QStringLiteral("Brazil")});
    from.AddTitle({QStringLiteral("Casablanca")});
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
    QCOMPARE(import(to, file.data()), QStringList());
    // The open loans come back (the returned one is not in the file); notes are not carried.
    QCOMPARE(loansOf(to), (QStringList{"Alien:" + borrower + ",2026-12-03,2026-12-17,-",
                                       "Brazil:Bea,2026-03-03,-,-"}));
}

void TestLoanCsv::importedLoans_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QString>("loans");
    QTest::newRow("older file without the columns")
        << QByteArray("Title,Year,List\r\nAlien,1979,Inventory\r\n") << ""
        << "";
    QTest::newRow("columns in another order, no due date")
        << QByteArray("lent on,BORROWER,Title,Year\r\n2026-12-03,Anna,Alien,1979\r\n") << ""
        << "Alien:Anna,2026-12-03,-,-";
    QTest::newRow("no borrower: dates ignored")
        << QByteArray("Title,Year,Borrower,Lent On\r\nAlien,1979,,2026-12-03\r\n") << ""
        << "";
    QTest::newRow("lent date not a date")
        << QByteArray("Title,Year,Borrower,Lent On\r\nAlien,1979,Anna,last week\r\n")
        << "2 Lent On: the date lent must be a date (Example 2026-12-03)"
        << "";
    QTest::newRow("due before lent")
        << QByteArray("Title,Year,Borrower,Lent On,Due Back\r\nAlien,1979,Anna,2026-12-03,"
                      "2026-12-01\r\n")
        << "2 Due Back: the due date is before the date lent"
        << "";
    QTest::newRow("wishlist title on loan")
        << QByteArray("Title,Year,List,Borrower,Lent On\r\nAlien,1979,Wishlist,Anna,"
                      "2026-12-03\r\n")
        << "2 Borrower: a Wishlist title cannot be on loan"
        << "";
}

void TestLoanCsv::importedLoans()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, refused);
    QFETCH(QString, loans);
    TestFolder folder;
    QCOMPARE(import(folder, bytes).join(" | "), refused);
    QCOMPARE(loansOf(folder).join(" | "), loans);
}

QTEST_MAIN(TestLoanCsv)
#include "test_loan_csv.moc"
