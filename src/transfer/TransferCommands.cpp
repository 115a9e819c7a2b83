#include "TransferCommands.h"

#include "CatalogueBackup.h"
#include "DbError.h"
#include "ImportPlan.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "TitleExport.h"
#include "TitleTransfer.h"
#include "TitleWriter.h"
#include "frmImportPreview.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <optional>

namespace {

enum PathKind { SaveFile, OpenFile, Folder };

QStringList g_nextPaths;
bool g_hasNextPath = false;

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

TransferCommands::TransferCommands(QWidget *parent, QString programFolder, QString connectionString,
                                   std::function<void()> refresh)
    : m_parent(parent),
      m_programFolder(std::move(programFolder)),
      m_connectionString(std::move(connectionString)),
      m_refresh(std::move(refresh))
{
}

void TransferCommands::SetNextPath(const QString &path)
{
    g_nextPaths << path;
    g_hasNextPath = true;
}

void TransferCommands::Reset()
{
    g_nextPaths.clear();
    g_hasNextPath = false;
}

QString TransferCommands::DefaultExportName(const QDate &day)
{
    return QStringLiteral("Reelvane titles ") + day.toString(QStringLiteral("yyyy-MM-dd"))
           + QStringLiteral(".csv");
}

QString TransferCommands::askPath(int kind, const QString &suggestion)
{
    if (!g_nextPaths.isEmpty())
        return g_nextPaths.takeFirst();
    // Many desktops have no Documents folder; the dialogs then took its name for a file name.
    QString home = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!QFileInfo(home).isDir())
        home = QDir::homePath();
    switch (kind) {
    case SaveFile:
        return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Export Titles"),
                                            QDir(home).filePath(suggestion), kFilter);
    case OpenFile:
        return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Import Titles"), home,
                                            kFilter + QStringLiteral(";;All files (*)"));
    default:
        return QFileDialog::getExistingDirectory(m_parent, QStringLiteral("Back Up Catalogue"),
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
    TitleExport::Result result;
    try {
        result = ProgressWindow::Run(m_parent, QStringLiteral("Exporting titles..."),
                                     [&](const ProgressWindow::Step &step) {
                                         return TitleExport::ToFile(file, m_connectionString, step);
                                     });
    } catch (const DbError &error) {
        MessageBox::Failure(m_parent, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    const QString refused = QStringLiteral("The titles could not be exported to ") + file
                            + QStringLiteral(":\r\n") + result.error;
    switch (result.outcome) {
    case TitleExport::Outcome::Exported:
        inform(m_parent,
               QStringLiteral("%1 titles were exported to %2.").arg(result.titles).arg(file));
        return true;
    case TitleExport::Outcome::NotOpened:
        MessageBox::Critical(m_parent, refused);
        return false;
    case TitleExport::Outcome::NotWritten:
        MessageBox::Critical(m_parent, refused + QStringLiteral("\r\nNo file was written."));
        return false;
    case TitleExport::Outcome::Cancelled:
        break;
    }
    return false;
}

bool TransferCommands::ImportFrom(const QString &file)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        MessageBox::Critical(m_parent, QStringLiteral("The file ") + file
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
        const TitleTransfer::Existing existing = TitleTransfer::ReadExisting(m_connectionString);
        const QString label =
            QStringLiteral("Reading ") + QFileInfo(file).fileName() + QStringLiteral("...");
        if (!ProgressWindow::Run(m_parent, label, [&](const ProgressWindow::Step &step) {
                return plan.Analyse(bytes, existing, step);
            }))
            return false;
    } catch (const DbError &error) {
        MessageBox::Failure(m_parent, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    if (!plan.FileFault().isEmpty()) {
        MessageBox::Critical(m_parent, QStringLiteral("Nothing was imported from ") + file
                                           + QStringLiteral(":\r\n") + plan.FileFault());
        return false;
    }

    int choice = frmImportPreview::Cancelled;
    {
        frmImportPreview preview(plan, file, m_parent);
        choice = preview.exec();
    }
    if (choice == frmImportPreview::Cancelled)
        return false;

    int added = 0;
    try {
        added = ProgressWindow::Run(
            m_parent, QStringLiteral("Importing titles..."), [&](const ProgressWindow::Step &step) {
                return plan.Write(bytes, choice == frmImportPreview::SkipSimilar,
                                  m_connectionString, step);
            });
    } catch (const DbError &error) {
        // Nothing was written: the import is one transaction.
        MessageBox::Failure(m_parent, error.Message(inserting()));
        return false;
    }
    if (added < 0)
        return false; // cancelled: rolled back, the catalogue as it was
    if (m_refresh)
        m_refresh();
    inform(m_parent, QStringLiteral("%1 titles were imported.").arg(added));
    return true;
}

bool TransferCommands::BackUpInto(const QString &folder)
{
    CatalogueBackup::Result result;
    try {
        result = ProgressWindow::Run(m_parent, QStringLiteral("Backing up the catalogue..."),
                                     [&](const ProgressWindow::Step &step) {
                                         return CatalogueBackup::Make(
                                             m_programFolder, m_connectionString, folder,
                                             QDateTime::currentDateTime(), step);
                                     });
    } catch (const CatalogueBackup::Failure &failure) {
        MessageBox::Critical(m_parent,
                             QStringLiteral("No backup was made:\r\n") + failure.Message());
        return false;
    }
    if (result.folder.isEmpty())
        return false;
    inform(m_parent,
           QStringLiteral("The catalogue and its %1 pictures were backed up to\r\n%2\r\n(%3).")
               .arg(result.pictures)
               .arg(QDir::toNativeSeparators(result.folder), size(result.bytes)));
    return true;
}
