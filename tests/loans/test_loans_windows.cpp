// Lend, Return and the Loans window driven through the real windows over a main window:
// the panel's line, the list's mark, find by borrower, and the delete that takes the loans.
#include "Connection.h"
#include "LoanCommands.h"
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
};

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
