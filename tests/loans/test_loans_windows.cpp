// Lend, Return and the Loans window driven through the real windows over a main window:
// the panel's line, the list's mark, find by borrower, and the delete that takes the loans.
#include "Connection.h"
#include "LoanCommands.h"
#include "LoanTableModel.h"
#include "Loans.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "FindBox.h"
#include "ModalWaiter.h"
#include "TitleCommands.h"
#include "WindowLook.h"
#include "frmLend.h"
#include "frmLoans.h"
#include "frmReturn.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

class TestLoansWindows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { MessageBox::Reset(); }
    void lendFindReturnAndDelete();
    void loansOrder_data();
    void loansOrder();
};

void TestLoansWindows::loansOrder_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("order");
    QTest::addColumn<QString>("rows"); // loan IDs, top to bottom
    const auto row = [](const char *name, int column, Qt::SortOrder order, const char *rows) {
        QTest::newRow(name) << column << int(order) << QString(rows);
    };
    row("overdue first, ties kept", frmLoans::DaysOverdue, Qt::DescendingOrder, "2 3 1 4 5");
    row("days by number", frmLoans::DaysOverdue, Qt::AscendingOrder, "1 4 5 3 2");
    row("titles by the letter rule", frmLoans::Title, Qt::AscendingOrder, "5 3 2 4 1");
    row("odd due dates after every date", frmLoans::DueOn, Qt::AscendingOrder, "2 3 1 5 4");
}

// Five loans as another tool may have left them: a missing title, an odd due date.
void TestLoansWindows::loansOrder()
{
    const QDate today(2026, 12, 20);
    const auto loan = [](qint64 id, const char *title, const char *due) {
        Loan made;
        made.LoanId = id;
        made.TitleId = id;
        made.Title = *title ? QVariant(QString(title)) : QVariant();
        made.Borrower = "Anna";
        made.LentOn = "2026-11-01";
        made.DueOn = due;
        return made;
    };
    LoanTableModel model;
    model.SetLoans({loan(1, "Zorro", "2026-12-30"), loan(2, "Émile", "2026-12-01"),
                    loan(3, "Duel", "2026-12-11"), loan(4, "fargo", "soon"), loan(5, "", "")},
                   today);
    QFETCH(int, column);
    QFETCH(int, order);
    model.sort(column, Qt::SortOrder(order));
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row)
        rows << QString::number(model.LoanAt(row).LoanId);
    QTEST(rows.join(' '), "rows");
    QCOMPARE(model.data(model.index(0, 0), Qt::ForegroundRole).isValid(),
             model.LoanAt(0).DaysOverdue(today) > 0);
}

void TestLoansWindows::lendFindReturnAndDelete()
{
    MainWindowFixture f;
    const qint64 alien = f.folder.AddTitle({QStringLiteral("Alien")});
    f.folder.AddTitle({QStringLiteral("Brazil")});
    f.load();
    LoanCommands loans(*f.shared, *f.main);
    QCOMPARE(f.shared->SelectedTitleId, alien);
    QVERIFY(f.main->Detail()->lblLoan->isHidden());

    // Refused input keeps the window and what was typed; then the loan is recorded.
    const QString borrower = QString::fromUtf8("Ånna O'Brien \"Jr\"");
    const QDate lent = QDate::currentDate().addDays(-20);
    ModalWaiter lendWaiter;
    lendWaiter.Expect<frmLend>([&](frmLend *window) {
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        window->cmdOK->click();
        QVERIFY(window->isVisible());
        window->txtBorrower->setText(borrower);
        window->dtpLentOn->setDate(lent);
        window->chkDueOn->setChecked(true);
        window->dtpDueOn->setDate(lent.addDays(-1));
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        window->cmdOK->click();
        QVERIFY(window->isVisible());
        QCOMPARE(window->txtBorrower->text(), borrower);
        window->dtpDueOn->setDate(lent.addDays(14));
        window->cmdOK->click();
    });
    loans.Lend();
    QVERIFY(lendWaiter.Handled());
    QCOMPARE(MessageBox::Shown(),
             (QStringList{"Enter the name of the borrower.",
                          "The due date cannot be before the date the title is lent."}));
    QCOMPARE(f.folder
                 .Scalar("SELECT Borrower FROM Loan WHERE Title_ID = ? AND Due_On = ?",
                         {alien, lent.addDays(14).toString(Qt::ISODate)})
                 .toString(),
             borrower);

    // The panel's line in the error colour (overdue), the list's mark on that row only.
    QLabel *line = f.main->Detail()->lblLoan;
    QVERIFY(!line->isHidden());
    QVERIFY(line->text().startsWith("On loan to " + borrower + " since "));
    QVERIFY(line->text().contains(", due back "));
    QCOMPARE(line->palette().color(QPalette::WindowText), WindowLook::ErrorColour());
    const QAbstractItemModel *list = f.main->UltraGrid->model();
    QCOMPARE(list->index(0, 1).data(Qt::ToolTipRole).toString(), "On loan to " + borrower);
    QVERIFY(!list->index(1, 1).data(Qt::ToolTipRole).isValid());

    // A title on loan is offered its return instead.
    MessageBox::SetNextAnswer(QMessageBox::No);
    loans.Lend();
    QVERIFY(MessageBox::Shown().last().contains("is on loan to " + borrower));

    // Found by its borrower; then the Loans window brings it back past a query hiding it.
    f.main->Find->txtFind->setText(QStringLiteral("brien"));
    f.main->Find->ApplyNow();
    QCOMPARE(f.titles(), QStringList{"Alien"});
    f.main->Find->txtFind->setText(QStringLiteral("Brazil"));
    f.main->Find->ApplyNow();
    QCOMPARE(f.titles(), QStringList{"Brazil"});
    ModalWaiter loansWaiter;
    loansWaiter.Expect<frmLoans>([&](frmLoans *window) {
        QCOMPARE(window->grdLoans->model()->rowCount(), 1);
        QCOMPARE(window->grdLoans->model()->index(0, frmLoans::DaysOverdue).data().toString(), "6");
        QVERIFY(window->grdLoans->isColumnHidden(frmLoans::ReturnedOn));
        window->grdLoans->setFocus();
        QTest::keyClick(window->grdLoans, Qt::Key_Return);
    });
    loans.ShowLoans();
    QVERIFY(loansWaiter.Handled());
    QCOMPARE(f.main->Find->Text(), QString());
    QCOMPARE(f.shared->SelectedTitleId, alien);

    // The return, on a day asked, keeps the loan in the history.
    ModalWaiter returnWaiter;
    returnWaiter.Expect<frmReturn>([&](frmReturn *window) {
        QCOMPARE(window->dtpReturnedOn->date(), QDate::currentDate());
        window->dtpReturnedOn->setDate(lent.addDays(3));
        window->cmdOK->click();
    });
    loans.Return();
    QVERIFY(returnWaiter.Handled());
    QVERIFY(line->isHidden());
    QVERIFY(!list->index(0, 1).data(Qt::ToolTipRole).isValid()); // no longer marked
    // Found by the borrower who has it now only.
    f.main->Find->txtFind->setText(QStringLiteral("brien"));
    f.main->Find->ApplyNow();
    QCOMPARE(f.titles(), QStringList());
    f.main->Find->Clear();
    QCOMPARE(f.folder.Scalar("SELECT Returned_On FROM Loan").toString(),
             lent.addDays(3).toString(Qt::ISODate));
    ModalWaiter historyWaiter;
    historyWaiter.Expect<frmLoans>([&](frmLoans *window) {
        QCOMPARE(window->grdLoans->model()->rowCount(), 0);
        window->chkHistory->setChecked(true);
        QCOMPARE(window->grdLoans->model()->rowCount(), 1);
        QVERIFY(!window->grdLoans->isColumnHidden(frmLoans::ReturnedOn));
        window->cmdClose->click();
    });
    loans.ShowLoans();
    QVERIFY(historyWaiter.Handled());

    // The delete asks with the borrower and takes every loan of the title with it.
    {
        Connection connection;
        connection.Open(f.shared->ConnectionString);
        Loans::Lend(connection, alien, QStringLiteral("Anna"), QDate::currentDate(), {}, {});
    }
    f.main->RefreshRecords();
    QCOMPARE(f.shared->SelectedTitleId, alien);
    TitleCommands titles(*f.shared, *f.main);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    titles.DeleteTitle();
    QCOMPARE(MessageBox::Shown().last(),
             QStringLiteral("Are you sure you want to delete Alien?\n\nIt is on loan to Anna."));
    QCOMPARE(f.folder.Scalar("SELECT count(*) FROM Loan").toInt(), 0);
    QCOMPARE(f.titles(), QStringList{"Brazil"});
}

QTEST_MAIN(TestLoansWindows)
#include "test_loans_windows.moc"
