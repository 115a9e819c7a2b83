#include "WindowLook.h"

#include "Twips.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace WindowLook {

QFont FormFont()
{
    return Font(9.75, true);
}

QFont GridFont()
{
    return Font(9, true);
}

QFont Font(double pointSize, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void FixDialog(QDialog *dialog, int widthTwips, int heightTwips)
{
    FixDialogPixels(dialog, QSize(Twips::ToPixels(widthTwips), Twips::ToPixels(heightTwips)));
}

void FixDialogPixels(QDialog *dialog, QSize size)
{
    // Window managers offer minimise and maximise unless told the window is a fixed-size
    // dialog; the close button stays and acts as the dialog's way out (reject).
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    dialog->setFixedSize(size);
    dialog->setSizeGripEnabled(false);
}

void SizableDialog(QDialog *dialog, QSize size)
{
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->resize(size);
}

void FixSize(QWidget *widget, int widthTwips, int heightTwips)
{
    widget->setFixedSize(Twips::ToPixels(widthTwips), Twips::ToPixels(heightTwips));
}

void Place(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width),
                        Twips::ToPixels(height));
}

void PlaceKeepingText(QWidget *widget, int left, int top, int width, int height)
{
    QRect rect(Twips::ToPixels(left), Twips::ToPixels(top), Twips::ToPixels(width),
               Twips::ToPixels(height));
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        if (label->wordWrap()) {
            rect.setHeight(qMax(rect.height(), label->heightForWidth(rect.width())));
        } else {
            const QSize fit = label->sizeHint();
            rect.setWidth(qMax(rect.width(), fit.width()));
            rect.setHeight(qMax(rect.height(), fit.height()));
        }
    }
    widget->setGeometry(rect);
}

QPushButton *Button(QWidget *parent, const QString &caption, const QString &name)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QColor ErrorColour()
{
    return QColor(0xb0, 0x1c, 0x1c);
}

} // namespace WindowLook
