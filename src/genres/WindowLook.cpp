#include "WindowLook.h"

#include "Twips.h"

#include <QDialog>

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
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog->setFixedSize(Twips::ToPixels(widthTwips), Twips::ToPixels(heightTwips));
}

} // namespace WindowLook
