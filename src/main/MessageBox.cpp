#include "MessageBox.h"

#include <QAbstractButton>
#include <QList>

namespace {
QList<QMessageBox::StandardButton> g_answers;
QStringList g_shown;
bool g_recording = false;
} // namespace

QMessageBox::StandardButton MessageBox::Show(QWidget *parent, const QString &text,
                                             const QString &title,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::Icon icon, const ButtonCaptions &captions)
{
    if (g_recording)
        g_shown << text;
    if (!g_answers.isEmpty())
        return g_answers.takeFirst();
    QMessageBox box(icon, title, text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    for (const auto &[button, caption] : captions)
        if (QAbstractButton *shown = box.button(button))
            shown->setText(caption);
    return QMessageBox::StandardButton(box.exec());
}

void MessageBox::Critical(QWidget *parent, const QString &text)
{
    Show(parent, text, ApplicationTitle(), QMessageBox::Ok, QMessageBox::Critical);
}

void MessageBox::Failure(QWidget *parent, const QString &text)
{
    Show(parent, text, ApplicationTitle(), QMessageBox::Ok, QMessageBox::NoIcon);
}

void MessageBox::SetNextAnswer(QMessageBox::StandardButton answer)
{
    g_answers << answer;
}

void MessageBox::RecordForTesting()
{
    g_recording = true;
}

QStringList MessageBox::Shown()
{
    return g_shown;
}

void MessageBox::Reset()
{
    g_answers.clear();
    g_shown.clear();
}
