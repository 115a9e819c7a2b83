// The loans: the main window with 5,000 open loans against the same without, and the
// Loans window against its raw query.
#include "Benchmarks.h"

#include "Application.h"
#include "Connection.h"
#include "LoanStatements.h"
#include "Loans.h"
#include "Sampler.h"
#include "frmLoans.h"
#include "frmMain.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

enum LoanRow { NumberReadyWithLoans = 25, NumberLoansWindow = 26 };
constexpr int kLoans = 5000;

using Figures = ResultsTable::Figures;

// A copy of the program folder's catalogue with an open loan on up to 5,000 Inventory
// titles spread over the list, a third of them overdue; the pictures shared by a link.
bool lentCopy(const QString &folder, const QString &copy)
{
    const QString catalogue = copy + QStringLiteral("/dvd_collection.mdb");
    if (!QFile::copy(folder + QStringLiteral("/dvd_collection.mdb"), catalogue)
        || !QFile::link(folder + QStringLiteral("/images"), copy + QStringLiteral("/images")))
        return false;
    const QString connection = QStringLiteral("Dbq=") + catalogue;
    Loans::Ensure(connection);
    const QString name = QStringLiteral("bench-loans");
    bool written = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(catalogue);
        if (db.open()) {
            QSqlQuery query(db);
            query.exec(QStringLiteral("SELECT ID FROM DVD_Title WHERE WishList = 0 ORDER BY ID"));
            QVector<qint64> ids;
            while (query.next())
                ids << query.value(0).toLongLong();
            query.finish();
            const qsizetype step = std::max<qsizetype>(1, ids.size() / kLoans);
            const QDate today = QDate::currentDate();
            db.transaction();
            for (qsizetype i = 0, n = 0; i < ids.size() && n < kLoans; i += step, ++n) {
                const QDate lent = today.addDays(-int(n % 60));
                query.exec(LoanStatements::InsertLoan(
                    ids[i], QStringLiteral("Borrower %1").arg(n % 400), lent.toString(Qt::ISODate),
                    lent.addDays(n % 3 == 0 ? 7 : 90).toString(Qt::ISODate), QString()));
            }
            written = db.commit();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return written;
}

} // namespace

void Benchmarks::DescribeLoanRows(ResultsTable &table)
{
    table.AddRow({NumberReadyWithLoans,
                  QStringLiteral("Main window ready with 5,000 open loans"),
                  QStringLiteral("the same main window ready (row 1's measure) on the same "
                                 "catalogue without loans. Measured: on a copy holding 5,000 "
                                 "open loans (the list's marks read, the panel's loan line)."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 1.1x its floor at 100,000 titles"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 1.1); },
                  {},
                  {}});
    table.AddRow({NumberLoansWindow,
                  QStringLiteral("Loans window opening on 5,000 open loans"),
                  QStringLiteral("the raw statement of every open loan with its title read "
                                 "into memory on a fresh connection. Measured: Edit, Loans: "
                                 "the loans read, the grid filled, sorted overdue first and "
                                 "fitted, the window shown and painted."),
                  QStringLiteral("ms"),
                  QStringLiteral("within 3x its floor"),
                  [](const Figures &f) { return ResultsTable::WithinAtLargest(f, 3); },
                  {},
                  {}});
}

void Benchmarks::LoanRows()
{
    QTemporaryDir copy;
    if (!copy.isValid() || !lentCopy(m_folder, copy.path()))
        qFatal("the catalogue with loans could not be made in %s", qPrintable(copy.path()));

    const auto ready = [](const QString &folder) {
        QElapsedTimer timer;
        timer.start();
        Application application(folder);
        application.Start();
        Sampler::Settle();
        return timer.nsecsElapsed();
    };
    // Without the Loan table's rows, as a catalogue that never lent a title.
    Loans::Ensure(QStringLiteral("Dbq=") + m_folder + QStringLiteral("/dvd_collection.mdb"));
    const auto withLoans = Sampler::Run(
        samples(9, 5), [&](int) { return ready(copy.path()); },
        [&](int) { return ready(m_folder); });
    m_table.Add(NumberReadyWithLoans, m_titles, {withLoans.subjectMs, withLoans.floorMs, 0});

    const QString connection =
        QStringLiteral("Dbq=") + copy.path() + QStringLiteral("/dvd_collection.mdb");
    const RawQueries raw(copy.path() + QStringLiteral("/dvd_collection.mdb"));
    const auto window = Sampler::Run(
        samples(7, 3),
        [&](int) {
            QElapsedTimer timer;
            timer.start();
            frmLoans loans(
                [&](bool withReturned) {
                    Connection catalogue;
                    catalogue.Open(connection);
                    return Loans::AllLoans(catalogue, withReturned);
                },
                [](const Loan &) {});
            loans.show();
            loans.repaint();
            Sampler::Settle();
            return timer.nsecsElapsed();
        },
        [&](int) { return raw.ReadAll(LoanStatements::AllLoans(false)); });
    m_table.Add(NumberLoansWindow, m_titles, {window.subjectMs, window.floorMs, 0});
}
