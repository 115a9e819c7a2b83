#pragma once

#include <QFont>

class QDialog;
class QPushButton;
class QWidget;

// The look shared by the editor's dialogs: Verdana, fixed border, no close box.
namespace WindowLook {

// The dialogs' own font (Verdana, bold, 9.75 pt); grid columns are measured in it.
QFont FormFont();
QFont Verdana(double pointSize, bool bold);
// A fixed client area given in twips, and a title bar with only the close button.
void FixDialog(QDialog *dialog, int widthTwips, int heightTwips);
// Puts a control at a position and size given in twips.
void Place(QWidget *widget, int left, int top, int width, int height);
// A named button that Enter does not press unless it is made the default button.
QPushButton *Button(QWidget *parent, const QString &caption, const QString &name);

} // namespace WindowLook
