#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QTimer;

// The find box above the title list: the text to find, with a clear button, and a note
// beside it (how many titles match). Typing settles for a moment before the query is
// announced; clearing the box is announced at once.
class FindBox : public QWidget
{
    Q_OBJECT

public:
    explicit FindBox(QWidget *parent = nullptr);

    QString Text() const;
    // Puts the cursor in the box, its text selected (Ctrl+F, Edit > Find).
    void FocusBox();
    // Announces a query still settling now (tests and benchmarks do not wait).
    void ApplyNow();
    // Empties the box and announces it, without the box taking the focus.
    void Clear();

    // The note beside the box; empty hides it.
    void SetNote(const QString &note);
    QString Note() const;
    // The box tinted while nothing matches.
    void SetNoMatch(bool noMatch);

    QLineEdit *txtFind = nullptr;
    QLabel *lblFindNote = nullptr;

    // How long typing settles before the list follows.
    static constexpr int SettleMs = 100;

Q_SIGNALS:
    void QueryChanged(const QString &query);
    // The box took the keyboard focus (Ctrl+F, a click): a query may follow.
    void FocusGained();
    // Escape (after clearing the box) or Down: the list takes the focus.
    void LeaveToList();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void textEdited(const QString &text);

    QTimer *m_settle = nullptr;
    bool m_noMatch = false;
};
