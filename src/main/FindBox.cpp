#include "FindBox.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

FindBox::FindBox(QWidget *parent) : QWidget(parent)
{
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    txtFind->setPlaceholderText(
        QStringLiteral("Find title, edition, director, actor or character"));
    txtFind->setClearButtonEnabled(true);
    txtFind->installEventFilter(this);

    lblFindNote = new QLabel(this);
    lblFindNote->setObjectName(QStringLiteral("lblFindNote"));
    lblFindNote->setTextFormat(Qt::PlainText);
    lblFindNote->setVisible(false);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtFind, 1);
    layout->addWidget(lblFindNote);

    m_settle = new QTimer(this);
    m_settle->setSingleShot(true);
    m_settle->setInterval(SettleMs);
    connect(m_settle, &QTimer::timeout, this, [this] { Q_EMIT QueryChanged(Text()); });
    connect(txtFind, &QLineEdit::textChanged, this, &FindBox::textEdited);
}

QString FindBox::Text() const
{
    return txtFind->text();
}

void FindBox::FocusBox()
{
    txtFind->setFocus(Qt::ShortcutFocusReason);
    txtFind->selectAll();
    // Also when the window is not active and no focus event comes.
    Q_EMIT FocusGained();
}

void FindBox::ApplyNow()
{
    if (m_settle->isActive()) {
        m_settle->stop();
        Q_EMIT QueryChanged(Text());
    }
}

void FindBox::Clear()
{
    txtFind->clear();
}

void FindBox::textEdited(const QString &text)
{
    if (text.isEmpty()) {
        // Back to the whole list without a wait.
        m_settle->stop();
        Q_EMIT QueryChanged(text);
    } else {
        m_settle->start();
    }
}

void FindBox::SetNote(const QString &note)
{
    lblFindNote->setText(note);
    lblFindNote->setVisible(!note.isEmpty());
}

QString FindBox::Note() const
{
    return lblFindNote->text();
}

void FindBox::SetNoMatch(bool noMatch)
{
    if (noMatch == m_noMatch)
        return;
    m_noMatch = noMatch;
    QPalette palette = txtFind->palette();
    if (noMatch) {
        palette.setColor(QPalette::Base, QColor(255, 221, 221));
        palette.setColor(QPalette::Text, Qt::black);
    } else {
        palette = QPalette();
    }
    txtFind->setPalette(palette);
}

bool FindBox::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtFind && event->type() == QEvent::FocusIn)
        Q_EMIT FocusGained();
    if (watched == txtFind && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            txtFind->clear();
            Q_EMIT LeaveToList();
            return true;
        }
        if (key->key() == Qt::Key_Down && !(key->modifiers() & ~Qt::KeypadModifier)) {
            ApplyNow();
            Q_EMIT LeaveToList();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
