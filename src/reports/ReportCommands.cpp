#include "ReportCommands.h"

#include "AtomicFile.h"
#include "BrowsePanel.h"
#include "DbError.h"
#include "FileDialogAnswers.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "Module1.h"
#include "TitleListFilter.h"
#include "frmMain.h"
#include "frmStatistics.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <memory>

namespace {

enum CoverAnswer { Cancelled, WithoutCovers, WithCovers };

// The one place the PDF's file is opened: written beside it under another name, put in
// its place only by commit().
std::unique_ptr<AtomicFile> openDestination(const QString &file)
{
    return std::make_unique<AtomicFile>(file);
}

} // namespace

ReportCommands::ReportCommands(Module1 &shared, frmMain &main) : m_shared(shared), m_main(main) {}

ReportScope ReportCommands::ShownScope() const
{
    ReportScope scope;
    scope.list = m_shared.WishListFilter;
    scope.ids = m_main.Filter().ShownTitleIds();
    QStringList parts{m_main.Filter().Query(), m_main.Browse->ChoiceText()};
    parts.removeAll(QString());
    scope.filter = parts.join(QStringLiteral(", "));
    scope.filtered = !scope.filter.isEmpty();
    return scope;
}

void ReportCommands::ShowStatistics()
{
    std::unique_ptr<frmStatistics> window;
    // Counting a large catalogue takes a while before the window can show.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        window = std::make_unique<frmStatistics>(m_shared.ConnectionString, ShownScope(), &m_main);
    } catch (const DbError &error) {
        QApplication::restoreOverrideCursor();
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" counting titles.")));
        return;
    }
    QApplication::restoreOverrideCursor();
    window->exec();
}

int ReportCommands::askCovers(const QString &command)
{
    const auto answer = MessageBox::Show(
        &m_main, QStringLiteral("Put each title's cover in the list, as a small picture?"), command,
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Question,
        {{QMessageBox::Yes, QStringLiteral("With &Covers")},
         {QMessageBox::No, QStringLiteral("&Without Covers")}});
    return answer == QMessageBox::Yes  ? WithCovers
           : answer == QMessageBox::No ? WithoutCovers
                                       : Cancelled;
}

ListReport ReportCommands::report(bool covers)
{
    const ReportScope scope = ShownScope();
    ListReport list(ListReport::ReadRows(m_shared.ConnectionString, scope),
                    ListReport::Heading(scope), QDate::currentDate());
    if (covers)
        list.SetCoversFolder(m_shared.AppFolder + QStringLiteral("/images"));
    return list;
}

void ReportCommands::PrintList()
{
    const int covers = askCovers(QStringLiteral("Print List"));
    if (covers == Cancelled)
        return;
    std::unique_ptr<ListReport> list;
    try {
        list = std::make_unique<ListReport>(report(covers == WithCovers));
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" reading records.")));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Reelvane list"));
    QPrintPreviewDialog dialog(&printer, &m_main);
    dialog.setWindowTitle(QStringLiteral("Print List"));
    QObject::connect(
        &dialog, &QPrintPreviewDialog::paintRequested, &dialog, [this, &list](QPrinter *target) {
            const bool painted = ProgressWindow::Run(
                &m_main, QStringLiteral("Laying out the list..."),
                [&](const ProgressWindow::Step &step) { return list->Paint(*target, step); });
            if (!painted && list->PainterFailed())
                MessageBox::Critical(&m_main, QStringLiteral("The list could not be printed: the "
                                                             "printer did not start.\r\nNothing "
                                                             "was changed."));
        });
    dialog.exec();
}

void ReportCommands::ExportListAsPdf()
{
    const int covers = askCovers(QStringLiteral("Export List as PDF"));
    if (covers == Cancelled)
        return;
    QString file;
    if (const auto answer = FileDialogAnswers::TakeNext()) {
        file = *answer;
    } else {
        QString home = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!QFileInfo(home).isDir())
            home = QDir::homePath();
        const QString name = QStringLiteral("Reelvane ")
                             + (m_shared.WishListFilter == 1 ? QStringLiteral("Wishlist")
                                                             : QStringLiteral("Inventory"))
                             + QDate::currentDate().toString(QStringLiteral(" yyyy-MM-dd"))
                             + QStringLiteral(".pdf");
        file = QFileDialog::getSaveFileName(&m_main, QStringLiteral("Export List as PDF"),
                                            QDir(home).filePath(name),
                                            QStringLiteral("PDF files (*.pdf)"));
    }
    if (file.isEmpty())
        return;
    ExportPdfTo(file, covers == WithCovers, {});
}

bool ReportCommands::ExportPdfTo(const QString &file, bool covers,
                                 const ListReport::Progress &progress)
{
    const auto refuse = [this, &file](const QString &why) {
        MessageBox::Critical(&m_main, QStringLiteral("The list could not be exported to ") + file
                                          + QStringLiteral(":\r\n") + why
                                          + QStringLiteral("\r\nNo file was written."));
        return false;
    };
    const auto out = openDestination(file);
    if (!out->open(QIODevice::WriteOnly))
        return refuse(out->errorString());
    bool finished = false;
    try {
        ListReport list = report(covers);
        // The window goes with the work: the messages below never sit under it.
        finished = ProgressWindow::Run(
            &m_main, QStringLiteral("Writing the list..."), [&](const ProgressWindow::Step &step) {
                return list.WritePdf(*out, [&](qint64 done, qint64 total) {
                    return step(done, total) && (!progress || progress(done, total));
                });
            });
    } catch (const DbError &error) {
        out->cancelWriting();
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    if (!finished) {
        out->cancelWriting();
        return false;
    }
    if (!out->commit())
        return refuse(out->errorString());
    return true;
}
