#include "CmnDialog.h"

#include "FileDialogAnswers.h"
#include "MessageBox.h"
#include "frmPic.h"

#include <QGridLayout>

namespace {

// Docks the pane in a strip below the dialog's own controls, following the file that
// the dialog names: typed, clicked or selected, as its Open button would take it.
void attachPreview(QFileDialog &dialog)
{
    auto *grid = qobject_cast<QGridLayout *>(dialog.layout());
    if (!grid)
        return;
    auto *pane = new frmPic(&dialog);
    grid->addWidget(pane, grid->rowCount(), 0, 1, grid->columnCount());
    dialog.resize(dialog.sizeHint().width(), dialog.sizeHint().height() + frmPic::PaneHeight);
    pane->Follow([&dialog] { return dialog.selectedFiles().value(0); });
}

} // namespace

QString CmnDialog::ShowOpenDialog(QWidget *owner, QString &filter, QFileDialog::Options options,
                                  QString &initialFolder, QString &title, bool preview)
{
    if (initialFolder.isEmpty())
        initialFolder = DefaultFolder();
    if (filter.isEmpty())
        filter = DefaultFilter();
    if (title.isEmpty())
        title = MessageBox::ApplicationTitle();

    if (const auto answer = FileDialogAnswers::TakeNext())
        return *answer;

    // Qt's own dialog: the preview pane can only be docked into a dialog whose widgets
    // are ours to lay out.
    QFileDialog dialog(owner, title, initialFolder, filter);
    dialog.setObjectName(QStringLiteral("CmnDialog"));
    dialog.setOptions(options | QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (preview)
        attachPreview(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}
