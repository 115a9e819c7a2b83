#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Captions for buttons whose standard caption is not the one wanted.
using ButtonCaptions = QList<QPair<QMessageBox::StandardButton, QString>>;

// Every message and question of the program goes through here. Tests queue the answer
// of the next box instead of clicking it, and read what was shown.
class MessageBox
{
public:
    static QMessageBox::StandardButton Show(QWidget *parent, const QString &text,
                                            const QString &title,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::Icon icon,
                                            const ButtonCaptions &captions = {});

    // Validation messages: OK, critical icon, the application's title.
    static void Critical(QWidget *parent, const QString &text);
    // Failure reports of data-changing paths: OK, no icon, the application's title.
    static void Failure(QWidget *parent, const QString &text);

    // Test seam: the next Show returns this answer without opening a window.
    static void SetNextAnswer(QMessageBox::StandardButton answer);
    // Test seam: from now on the texts and titles shown are recorded (only a test needs
    // them; the running program keeps none).
    static void RecordForTesting();
    // Test seam: texts of the boxes shown (or answered) since the last Reset, if recording.
    static QStringList Shown();
    // Forgets the queued answers and the texts recorded; recording stays on.
    static void Reset();

    static QString ApplicationTitle() { return QStringLiteral("Reelvane"); }
};
