#pragma once

#include <QString>

class QDialog;
class QHBoxLayout;
class QLayout;
class QPushButton;
class QWidget;

// The bottom row the prompts share and the prompts laid out around it.
namespace DialogButtons {

// Two widgets at the ends of a row, the room between them stretching.
QHBoxLayout *Row(QWidget *left, QWidget *right);
// Cancel (cmdCancel, rejects the dialog like Escape) at the left and OK (named okName, the
// default button: Enter presses it) at the right. The caller connects OK.
QHBoxLayout *OkCancel(QDialog &dialog, QPushButton *&ok, QPushButton *&cancel,
                      const QString &okName = QStringLiteral("cmdOK"));
// A heading, a form and the buttons' row from top to bottom, in a fixed dialog as wide as
// given (pixels) and as high as it needs.
void FormPrompt(QDialog &dialog, QWidget *heading, QLayout *form, QLayout *buttons, int width);

} // namespace DialogButtons
