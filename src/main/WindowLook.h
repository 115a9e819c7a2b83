#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

class QDialog;
class QPushButton;
class QWidget;

// The look every window shares: Verdana in its documented sizes, placement in twips,
// fixed dialogs with only a close button. The only place the font is named.
namespace WindowLook {

// The dialogs' own font (Verdana, bold, 9.75 pt); grid columns are measured in it.
QFont FormFont();
// The grids' font (Verdana, bold, 9 pt).
QFont GridFont();
// Verdana at a documented size (Qt stands in a near font where it is missing).
QFont Font(double pointSize, bool bold = false);
// A fixed client area given in twips, and a title bar with only the close button.
void FixDialog(QDialog *dialog, int widthTwips, int heightTwips);
// The same with the size in pixels (a dialog as high as its layout needs).
void FixDialogPixels(QDialog *dialog, QSize size);
// A dialog the user may resize (a list to look through), opened at size (pixels): the
// title bar's usual buttons, no context help.
void SizableDialog(QDialog *dialog, QSize size);
// A fixed size given in twips, the window's flags left as they are.
void FixSize(QWidget *widget, int widthTwips, int heightTwips);
// Puts a control at a position and size given in twips.
void Place(QWidget *widget, int left, int top, int width, int height);
// Place, but a label keeps at least its own width and height (or, wrapping, the height
// its width needs), so its text is never clipped where a wider font stands in.
void PlaceKeepingText(QWidget *widget, int left, int top, int width, int height);
// The text colour of something that needs attention (an overdue loan).
QColor ErrorColour();
// A named button that Enter does not press unless it is made the default button.
QPushButton *Button(QWidget *parent, const QString &caption, const QString &name);

} // namespace WindowLook
