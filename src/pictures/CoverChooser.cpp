#include "CoverChooser.h"

#include "CmnDialog.h"
#include "FileReplacer.h"
#include "MessageBox.h"
#include "PictureFile.h"
#include "frmMain.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kUnchanged = QStringLiteral("\n\nThe cover was not changed.");

} // namespace

CoverChooser::CoverChooser(frmMain &main) : m_main(main)
{
}

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
    const QString chosen = CmnDialog::ShowOpenDialog(&m_main, filter, QFileDialog::ReadOnly,
                                                     folder, title, true);
    if (chosen.isEmpty() || !CheckChosenFile(chosen))
        return;

    QString error;
    if (!ReplaceFile(chosen, target, &error)) {
        MessageBox::Critical(&m_main, QStringLiteral("The cover picture cannot be saved as \"")
                                          + QDir::toNativeSeparators(target)
                                          + QStringLiteral("\".\n") + error + kUnchanged);
        return;
    }
    m_main.DisplayCoverImage();
}

bool CoverChooser::CheckChosenFile(const QString &path)
{
    const QString shown = QStringLiteral("\"") + QDir::toNativeSeparators(path)
                          + QStringLiteral("\"");
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
        MessageBox::Critical(&m_main, QStringLiteral("The file ") + shown
                                          + QStringLiteral(" cannot be read.\n") + reason
                                          + kUnchanged);
        return false;
    }
    file.close();
    if (PictureFile::Read(path, QSize(frmMain::CoverWidth, frmMain::CoverHeight)).isNull()) {
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
