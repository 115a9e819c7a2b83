#include "DialogButtons.h"

#include "WindowLook.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace DialogButtons {

QHBoxLayout *Row(QWidget *left, QWidget *right)
{
    auto *row = new QHBoxLayout;
    row->addWidget(left);
    row->addStretch();
    row->addWidget(right);
    return row;
}

QHBoxLayout *OkCancel(QDialog &dialog, QPushButton *&ok, QPushButton *&cancel,
                      const QString &okName)
{
    ok = WindowLook::Button(&dialog, QStringLiteral("&OK"), okName);
    ok->setDefault(true);
    cancel = WindowLook::Button(&dialog, QStringLiteral("&Cancel"), QStringLiteral("cmdCancel"));
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    return Row(cancel, ok);
}

void FormPrompt(QDialog &dialog, QWidget *heading, QLayout *form, QLayout *buttons, int width)
{
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(14, 14, 14, 12);
    layout->addWidget(heading);
    layout->addLayout(form);
    layout->addLayout(buttons);
    WindowLook::FixDialogPixels(&dialog, QSize(width, dialog.sizeHint().height()));
}

} // namespace DialogButtons
