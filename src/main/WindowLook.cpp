#include "WindowLook.h"

#include "Twips.h"

#include <QDialog>
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
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setFixedSize(Twips::ToPixels(widthTwips), Twips::ToPixels(heightTwips));
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
