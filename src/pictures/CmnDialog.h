#pragma once

#include <QFileDialog>
#include <QString>

class QWidget;

// The file-open dialog of the program, optionally with the picture preview pane docked
// to its bottom. Tests answer it through FileDialogAnswers.
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
};
