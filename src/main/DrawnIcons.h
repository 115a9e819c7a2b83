#pragma once

#include <QIcon>
#include <QPixmap>

// Pictures drawn by the program itself, so that they look alike on every desktop theme.
namespace DrawnIcons {

// The main window's commands.
QIcon Add();
QIcon Modify();
QIcon Remove();
QIcon About();
QIcon Close();
// A clipboard with two columns of lines: text pasted in two columns becomes the cast.
QIcon MultiPaste();
// Step 2's button that opens the genre manager: a small list with a pencil.
QIcon ManageGenres();
// The arrow pointing at the genre manager's text box.
QPixmap LeftArrow();

} // namespace DrawnIcons
