#include "GuardedApplication.h"

#include "DbError.h"
#include "ProgramEnd.h"
#include "StorableText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

GuardedApplication::GuardedApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject *receiver, QEvent *event)
{
    // Shortcuts have had their turn by now: an Alt + character left over must not reach
    // any text box of the program, the file dialog's included.
    if (event->type() == QEvent::KeyPress
        && StorableText::IsAltCharacter(static_cast<const QKeyEvent *>(event))
        && (qobject_cast<QLineEdit *>(receiver) || qobject_cast<QPlainTextEdit *>(receiver)
            || qobject_cast<QTextEdit *>(receiver)))
        return true;
    try {
        return QApplication::notify(receiver, event);
    } catch (const DbError &error) {
        ProgramEnd::Fail(error.Description());
        return true;
    }
}
