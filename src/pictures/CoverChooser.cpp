#include "CoverChooser.h"

#include "CmnDialog.h"
#include "FileReplacer.h"
#include "MessageBox.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

const QString kUnchanged = QStringLiteral("\n\nThe cover was not changed.");

// The busy pointer for as long as it lives, put aside while a message is up.
struct BusyPointer
{
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer &) = delete;
    BusyPointer &operator=(const BusyPointer &) = delete;

    struct Pause
    {
        Pause() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }
        ~Pause() { QGuiApplication::restoreOverrideCursor(); }
    };
};

} // namespace

CoverChooser::CoverChooser(frmMain &main) : m_main(main) {}

void CoverChooser::ImgCover_Click()
{
    Module1 &shared = m_main.Shared();
    const QString target = shared.AppFolder + QStringLiteral("/images/")
                           + QString::number(shared.SelectedTitleId) + QStringLiteral(".jpg");
    if (m_main.RecordCount() == 0)
        return;

    QString filter = ImageFilter();
    QString folder;
    QString title = DialogTitle();
    const QString chosen =
        CmnDialog::ShowOpenDialog(&m_main, filter, QFileDialog::ReadOnly, folder, title, true);
    if (chosen.isEmpty())
        return;

    // A large picture takes a moment to decode and copy: the pointer says so. It is
    // decoded once, at the cover's size, and that picture is what the cover then shows.
    QImage picture;
    QString error;
    bool copied = false;
    {
        const BusyPointer busy;
        if (!CheckChosenFile(chosen, &picture))
            return;
        copied = ReplaceFile(chosen, target, &error);
    }
    if (!copied) {
        MessageBox::Critical(&m_main, QStringLiteral("The cover picture cannot be saved as \"")
                                          + QDir::toNativeSeparators(target)
                                          + QStringLiteral("\".\n") + error + kUnchanged);
        return;
    }
    m_main.Detail()->ShowCoverPicture(target, picture);
}

bool CoverChooser::CheckChosenFile(const QString &path, QImage *picture)
{
    const QString shown =
        QStringLiteral("\"") + QDir::toNativeSeparators(path) + QStringLiteral("\"");
    const QFileInfo info(path);
    QFile file(path);
    QString reason;
    if (!info.exists())
        reason = QStringLiteral("It does not exist.");
    else if (!info.isFile())
        reason = QStringLiteral("It is not a file.");
    else if (!file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    if (!reason.isEmpty()) {
        const BusyPointer::Pause pause;
        MessageBox::Critical(&m_main, QStringLiteral("The file ") + shown
                                          + QStringLiteral(" cannot be read.\n") + reason
                                          + kUnchanged);
        return false;
    }
    file.close();
    *picture = TitleDetailPanel::ReadCover(path);
    if (picture->isNull()) {
        const BusyPointer::Pause pause;
        MessageBox::Critical(&m_main, QStringLiteral("The file ") + shown
                                          + QStringLiteral(" is not a picture that can be shown.")
                                          + kUnchanged);
        return false;
    }
    return true;
}

bool CoverChooser::ReplaceFile(const QString &source, const QString &target, QString *error)
{
    const QString folder = QFileInfo(target).absolutePath();
    if (!QFileInfo(folder).isDir()) {
        *error = QStringLiteral("The folder \"") + QDir::toNativeSeparators(folder)
                 + QStringLiteral("\" does not exist.");
        return false;
    }
    return FileReplacer::Replace(source, target, error);
}
