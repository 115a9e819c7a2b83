#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

// The file-open dialog of the program, optionally with the picture preview pane docked
// to its bottom. Tests answer the next dialog instead of showing it.
class CmnDialog
{
public:
    // The full path of the chosen file, or "" when the user cancelled. Filter, initial
    // folder and title are in-out: an empty one is replaced by its default, visible to
    // the caller. The filter takes Qt's form: "Description (*.ext1 *.ext2)".
    static QString ShowOpenDialog(QWidget *owner, QString &filter, QFileDialog::Options options,
                                  QString &initialFolder, QString &title, bool preview);

    static QString DefaultFilter() { return QStringLiteral("All Files (*)"); }
    static QString DefaultFolder() { return QStringLiteral("/"); }

    // Test seam: the next ShowOpenDialog returns this path ("" = cancelled) unshown.
    static void SetNextFileName(const QString &path);
    // Test seam: how many open dialogs were asked for (shown or answered) since Reset.
    static int Requests();
    static void Reset();
};
