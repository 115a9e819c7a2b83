#pragma once

#include <QString>

class QKeyEvent;
class QWidget;

// Text boxes hold only text the catalogue can store and the lists can show: no NUL
// character and no half of a character (a length limit reached in the middle of a pair of
// UTF-16 units, as most emoji are, would cut one in two; the statement holding it fails).
// A one-line box also takes a pasted tab or line break as a blank: it cannot show them,
// and a name with a hidden tab cannot be picked from a list. Typing can produce none of
// these; pasting can.
namespace StorableText {

// The text without NUL characters and unpaired surrogate halves.
QString ForText(const QString &text);
// The same, with each tab, CR LF, CR or LF made one blank.
QString ForLine(const QString &text);

// Keeps every one-line and multi-line text box inside `window` (or `window` itself)
// clean as the user types or pastes. Alt with a letter never types the letter: without a
// live access key behind it, a text box would take it as typed text.
void Guard(QWidget *window);

// Only the Alt part of Guard, for a box whose text is taken as it is (a delimiter may
// well be a tab).
void BlockAltCharacters(QWidget *box);

// Whether a key press is Alt with a character (AltGr, which holds Ctrl on some systems,
// still types).
bool IsAltCharacter(const QKeyEvent *event);

} // namespace StorableText
