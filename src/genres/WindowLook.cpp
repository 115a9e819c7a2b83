#include "WindowLook.h"

#include "Twips.h"

#include <QDialog>
#include <QPushButton>

namespace WindowLook {

QFont FormFont()
{
    return Verdana(9.75, true);
}

QFont Verdana(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void FixDialog(QDialog *dialog, int widthTwips, int heightTwips)
{
    // Window managers offer minimise and maximise unless told the window is a fixed-size
    // dialog; the close button stays and acts as the dialog's way out (reject).
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(Twips::ToPixels(widthTwips), Twips::ToPixels(heightTwips));
    dialog->setSizeGripEnabled(false);
}

void Place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width),
                        Twips::ToPixels(height));
}

QPushButton *Button(QWidget *parent, const QString &caption, const QString &name)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

} // namespace WindowLook
