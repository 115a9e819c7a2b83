#include "TransferCommands.h"

#include "AtomicFile.h"
#include "CatalogueBackup.h"
#include "DbError.h"
#include "FileDialogAnswers.h"
#include "ImportPlan.h"
#include "MessageBox.h"
#include "Module1.h"
#include "TitleCsv.h"
#include "TitleTransfer.h"
#include "TransferProgress.h"
#include "frmImportPreview.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>

namespace {

enum PathKind { SaveFile, OpenFile, Folder };

const QString kFilter = QStringLiteral("CSV files (*.csv)");

QString inserting()
{
    return QStringLiteral(" inserting records.");
}

void inform(QWidget *parent, const QString &text)
{
    MessageBox::Show(parent, text, MessageBox::ApplicationTitle(), QMessageBox::Ok,
                     QMessageBox::Information);
}

QString size(qint64 bytes)
{
    return QLocale::system().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

TransferCommands::TransferCommands(Module1 &shared, frmMain &main) : m_shared(shared), m_main(main)
{
}

QString TransferCommands::DefaultExportName(const QDate &day)
{
    return QStringLiteral("Reelvane titles ") + day.toString(QStringLiteral("yyyy-MM-dd"))
           + QStringLiteral(".csv");
}

QString TransferCommands::askPath(int kind, const QString &suggestion)
{
    if (const auto answer = FileDialogAnswers::TakeNext())
        return *answer;
    // Many desktops have no Documents folder; the dialogs then took its name for a file name.
    QString home = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(home).isDir())
        home = QDir::homePath();
    switch (kind) {
    case SaveFile:
        return QFileDialog::getSaveFileName(&m_main, QStringLiteral("Export Titles"),
                                            QDir(home).filePath(suggestion), kFilter);
    case OpenFile:
        return QFileDialog::getOpenFileName(&m_main, QStringLiteral("Import Titles"), home,
                                            kFilter + QStringLiteral(";;All files (*)"));
    default:
        return QFileDialog::getExistingDirectory(&m_main, QStringLiteral("Back Up Catalogue"),
                                                 home);
    }
}

void TransferCommands::ExportTitles()
{
    const QString file = askPath(SaveFile, DefaultExportName(QDate::currentDate()));
    if (!file.isEmpty())
        ExportTo(file);
}

void TransferCommands::ImportTitles()
{
    const QString file = askPath(OpenFile, {});
    if (!file.isEmpty())
        ImportFrom(file);
}

void TransferCommands::BackUpCatalogue()
{
    const QString folder = askPath(Folder, {});
    if (!folder.isEmpty())
        BackUpInto(folder);
}

bool TransferCommands::ExportTo(const QString &file)
{
    // Written under a temporary name beside the target and renamed over it at the end: a
    // failure or a cancel leaves no half file, and the old file (the dialog asked about
    // replacing it) stays until the new one is whole.
    AtomicFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        MessageBox::Critical(&m_main, QStringLiteral("The titles could not be exported to ") + file
                                          + QStringLiteral(":\r\n") + out.errorString());
        return false;
    }
    QByteArray buffer("\xEF\xBB\xBF"); // lets spreadsheets tell UTF-8 text
    const auto &headers = TitleCsv::Headers();
    Csv::AppendRecord(buffer, QStringList(headers.begin(), headers.end()));

    TransferProgress progress(&m_main, QStringLiteral("Exporting titles..."));
    qint64 written = 0;
    bool writeFailed = false;
    auto flush = [&] {
        if (out.write(buffer) != buffer.size())
            writeFailed = true;
        buffer.resize(0); // keeps its room for the next megabyte
        return !writeFailed;
    };
    bool finished = false;
    try {
        finished = TitleTransfer::ReadAll(
            m_shared.ConnectionString, [&](const TitleRecord &title, qint64 index, qint64 total) {
                Csv::AppendRecord(buffer, TitleCsv::RecordFor(title));
                written = index + 1;
                if (buffer.size() > (1 << 20) && !flush())
                    return false;
                return progress.Step(index + 1, total);
            });
    } catch (const DbError &error) {
        out.cancelWriting();
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    if (finished && !writeFailed)
        flush();
    if (writeFailed || (finished && !out.commit())) {
        const QString why = out.errorString();
        out.cancelWriting();
        MessageBox::Critical(&m_main, QStringLiteral("The titles could not be exported to ") + file
                                          + QStringLiteral(":\r\n") + why
                                          + QStringLiteral("\r\nNo file was written."));
        return false;
    }
    if (!finished) {
        out.cancelWriting();
        return false;
    }
    inform(&m_main, QStringLiteral("%1 titles were exported to %2.").arg(written).arg(file));
    return true;
}

bool TransferCommands::ImportFrom(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        MessageBox::Critical(&m_main, QStringLiteral("The file ") + file
                                          + QStringLiteral(" cannot be read:\r\n")
                                          + in.errorString());
        return false;
    }
    // Mapped rather than read: a large file costs no copy in memory.
    QByteArray bytes;
    if (in.size() > 0) {
        if (uchar *mapped = in.map(0, in.size()))
            bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), in.size());
        else
            bytes = in.readAll();
    }

    ImportPlan plan;
    try {
        const TitleTransfer::Existing existing =
            TitleTransfer::ReadExisting(m_shared.ConnectionString);
        TransferProgress progress(&m_main, QStringLiteral("Reading ") + QFileInfo(file).fileName()
                                               + QStringLiteral("..."));
        if (!plan.Analyse(bytes, existing, [&progress](qint64 done, qint64 total) {
                return progress.Step(done, total);
            }))
            return false;
    } catch (const DbError &error) {
        MessageBox::Failure(&m_main, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    if (!plan.FileFault().isEmpty()) {
        MessageBox::Critical(&m_main, QStringLiteral("Nothing was imported from ") + file
                                          + QStringLiteral(":\r\n") + plan.FileFault());
        return false;
    }

    int choice = frmImportPreview::Cancelled;
    {
        frmImportPreview preview(plan, file, &m_main);
        choice = preview.exec();
    }
    if (choice == frmImportPreview::Cancelled)
        return false;

    int added = 0;
    bool finished = false;
    try {
        TitleTransfer::TitleInserter inserter(m_shared.ConnectionString);
        TransferProgress progress(&m_main, QStringLiteral("Importing titles..."));
        finished = plan.ForEachTitle(bytes, choice == frmImportPreview::SkipSimilar,
                                     [&](const TitleRecord &title, int index, int total) {
                                         inserter.Insert(title);
                                         added = index + 1;
                                         return progress.Step(index + 1, total);
                                     });
        if (finished)
            inserter.Commit();
    } catch (const DbError &error) {
        // The inserter has rolled everything back.
        MessageBox::Failure(&m_main, error.Message(inserting()));
        return false;
    }
    if (!finished)
        return false; // cancelled: rolled back, the catalogue as it was
    m_main.RefreshRecords();
    inform(&m_main, QStringLiteral("%1 titles were imported.").arg(added));
    return true;
}

bool TransferCommands::BackUpInto(const QString &folder)
{
    CatalogueBackup::Result result;
    try {
        TransferProgress progress(&m_main, QStringLiteral("Backing up the catalogue..."));
        result = CatalogueBackup::Make(
            m_shared.AppFolder, m_shared.ConnectionString, folder, QDateTime::currentDateTime(),
            [&progress](qint64 done, qint64 total) { return progress.Step(done, total); });
    } catch (const CatalogueBackup::Failure &failure) {
        MessageBox::Critical(&m_main,
                             QStringLiteral("No backup was made:\r\n") + failure.Message());
        return false;
    }
    if (result.folder.isEmpty())
        return false;
    inform(&m_main,
           QStringLiteral("The catalogue and its %1 pictures were backed up to\r\n%2\r\n(%3).")
               .arg(result.pictures)
               .arg(QDir::toNativeSeparators(result.folder), size(result.bytes)));
    return true;
}
