#include "MessageBox.h"

#include <QAbstractButton>
#include <QList>

namespace {
QList<QMessageBox::StandardButton> g_answers;
QStringList g_shown;
QStringList g_titles;
} // namespace

QMessageBox::StandardButton MessageBox::Show(QWidget *parent, const QString &text,
                                             const QString &title,
                                             QMessageBox::StandardButtons buttons,
                                             QMessageBox::Icon icon, const ButtonCaptions &captions)
{
    g_shown << text;
    g_titles << title;
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

QStringList MessageBox::Shown()
{
    return g_shown;
}

QStringList MessageBox::ShownTitles()
{
    return g_titles;
}

void MessageBox::Reset()
{
    g_answers.clear();
    g_shown.clear();
    g_titles.clear();
}
