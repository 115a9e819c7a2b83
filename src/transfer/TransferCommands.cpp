#include "TransferCommands.h"

#include "CatalogueBackup.h"
#include "DbError.h"
#include "FileDialogAnswers.h"
#include "ImportPlan.h"
#include "MessageBox.h"
#include "ProgressWindow.h"
#include "TitleExport.h"
#include "TitleTransfer.h"
#include "ForeignCsv.h"
#include "ImportedCover.h"
#include "TellicoFile.h"
#include "TitleWriter.h"
#include "frmImportColumns.h"
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

const QString kFilter = QStringLiteral("CSV files (*.csv)");
const QString kImportFilter =
    QStringLiteral("Titles files (*.csv *.tc *.xml);;CSV files (*.csv);;Collection files (*.tc "
                   "tellico.xml)");

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
        return QFileDialog::getSaveFileName(m_parent, QStringLiteral("Export Titles"),
                                            QDir(home).filePath(suggestion), kFilter);
    case OpenFile:
        return QFileDialog::getOpenFileName(m_parent, QStringLiteral("Import Titles"), home,
                                            kImportFilter + QStringLiteral(";;All files (*)"));
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
        inform(m_parent, (result.titles == 1 ? QStringLiteral("1 title was")
                                             : QStringLiteral("%1 titles were").arg(result.titles))
                             + QStringLiteral(" exported to ") + file + QLatin1Char('.'));
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
    // Read once into memory: the rows written are the rows the preview checked, whatever
    // another program does to the file meanwhile. A million titles fit well below the cap.
    constexpr qint64 kMaxFile = 2ll << 30;
    if (in.size() > kMaxFile) {
        MessageBox::Critical(m_parent, QStringLiteral("Nothing was imported from ") + file
                                           + QStringLiteral(":\r\nThe file is larger than 2 GB, "
                                                            "too large for a titles file."));
        return false;
    }
    QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        MessageBox::Critical(m_parent, QStringLiteral("The file ") + file
                                           + QStringLiteral(" cannot be read:\r\n")
                                           + in.errorString());
        return false;
    }
    in.close();
    const QString refusedFrom =
        QStringLiteral("Nothing was imported from ") + file + QStringLiteral(":\r\n");

    ImportPlan plan;
    try {
        const bool collection = file.endsWith(QLatin1String(".tc"), Qt::CaseInsensitive)
                                || file.endsWith(QLatin1String(".xml"), Qt::CaseInsensitive)
                                || bytes.startsWith("PK\x03\x04");
        QList<ImportPlan::Entry> entries;
        QStringList ignored;
        bool own = false;
        bool cancelled = false;
        const QString reading =
            QStringLiteral("Reading ") + QFileInfo(file).fileName() + QStringLiteral("...");
        if (collection) {
            TellicoFile::Result read;
            read = ProgressWindow::Run(m_parent, reading, [&](const ProgressWindow::Step &step) {
                return TellicoFile::Read(bytes, [&](qint64 done, qint64 total) {
                    cancelled = !step(done, total);
                    return !cancelled;
                });
            });
            if (cancelled)
                return false;
            if (!read.fault.isEmpty()) {
                MessageBox::Critical(m_parent, refusedFrom + read.fault);
                return false;
            }
            entries = std::move(read.entries);
            ignored = read.ignored;
        } else if (const QString fault = ImportPlan::TextFault(bytes); !fault.isEmpty()) {
            MessageBox::Critical(m_parent, refusedFrom + fault);
            return false;
        } else if (ForeignCsv::IsOwnLayout(bytes)) {
            own = true;
        } else {
            frmImportColumns columns(bytes, file, m_parent);
            if (columns.exec() != QDialog::Accepted)
                return false;
            entries = ProgressWindow::Run(m_parent, reading, [&](const ProgressWindow::Step &step) {
                return ForeignCsv::Entries(columns.Utf8(), columns.Separator(), columns.Matching(),
                                           QFileInfo(file).absolutePath(),
                                           [&](qint64 done, qint64 total) {
                                               cancelled = !step(done, total);
                                               return !cancelled;
                                           });
            });
            if (cancelled)
                return false;
            ignored = ForeignCsv::Ignored(columns.Header(), columns.Matching());
        }
        // Read once the user has matched the columns: another window may have added titles.
        const TitleTransfer::Existing existing = TitleTransfer::ReadExisting(m_connectionString);
        if (!ProgressWindow::Run(m_parent, reading, [&](const ProgressWindow::Step &step) {
                return own ? plan.Analyse(bytes, existing, step)
                           : plan.Analyse(std::move(entries), ignored, existing, step);
            }))
            return false;
    } catch (const DbError &error) {
        MessageBox::Failure(m_parent, error.Message(QStringLiteral(" reading records.")));
        return false;
    }
    if (!plan.FileFault().isEmpty()) {
        MessageBox::Critical(m_parent, refusedFrom + plan.FileFault());
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
    QStringList coverFaults;
    try {
        added = ProgressWindow::Run(
            m_parent, QStringLiteral("Importing titles..."), [&](const ProgressWindow::Step &step) {
                return plan.Write(
                    bytes, choice == frmImportPreview::SkipSimilar, m_connectionString, step,
                    [this](qint64 id, const QByteArray &picture) {
                        QString error;
                        return ImportedCover::Write(m_programFolder, id, picture, &error)
                                   ? QString()
                                   : error;
                    },
                    &coverFaults);
            });
    } catch (const DbError &error) {
        // Nothing was written: the import is one transaction.
        MessageBox::Critical(m_parent, error.Message(inserting()));
        return false;
    }
    if (added < 0)
        return false; // cancelled: rolled back, the catalogue as it was
    if (m_refresh)
        m_refresh();
    QString done = added == 1 ? QStringLiteral("1 title was imported.")
                              : QStringLiteral("%1 titles were imported.").arg(added);
    if (!coverFaults.isEmpty())
        done += QStringLiteral("\r\n%1 covers could not be saved:\r\n").arg(coverFaults.size())
                + coverFaults.mid(0, 10).join(QStringLiteral("\r\n"));
    inform(m_parent, done);
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
    const QString what =
        result.covers == 0 ? QStringLiteral("The catalogue was")
        : result.covers == 1
            ? QStringLiteral("The catalogue and its cover were")
            : QStringLiteral("The catalogue and its %1 covers were").arg(result.covers);
    inform(m_parent, what
                         + QStringLiteral(" backed up to\r\n%1\r\n(%2).")
                               .arg(QDir::toNativeSeparators(result.folder), size(result.bytes)));
    return true;
}
