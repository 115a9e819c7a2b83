#pragma once

#include <QFont>

class QDialog;

// The look shared by the editor's dialogs: Verdana, fixed border, no close box.
namespace WindowLook {

// The dialogs' own font (Verdana, bold, 9.75 pt); grid columns are measured in it.
QFont FormFont();
QFont Verdana(double pointSize, bool bold);
// A fixed client area given in twips, and a title bar without the close box.
void FixDialog(QDialog *dialog, int widthTwips, int heightTwips);

} // namespace WindowLook
