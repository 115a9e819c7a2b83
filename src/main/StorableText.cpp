#include "StorableText.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>
#include <memory>

namespace StorableText {

namespace {

// Whether the character at i cannot be stored (NUL, or half of a broken pair).
bool unstorable(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isNull())
        return true;
    if (c.isHighSurrogate())
        return i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate();
    if (c.isLowSurrogate())
        return i == 0 || !text.at(i - 1).isHighSurrogate();
    return false;
}

bool breaksLine(QChar c)
{
    return c == u'\t' || c == u'\r' || c == u'\n';
}

QString clean(const QString &text, bool oneLine)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (unstorable(text, i))
            continue;
        const QChar c = text.at(i);
        if (oneLine && breaksLine(c)) {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            result += u' ';
            continue;
        }
        result += c;
    }
    return result;
}

bool needsCleaning(const QString &text, bool oneLine)
{
    for (qsizetype i = 0; i < text.size(); ++i)
        if (unstorable(text, i) || (oneLine && breaksLine(text.at(i))))
            return true;
    return false;
}

// Drops Alt + character before the box takes the character as typed text.
class AltCharacterFilter : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        return event->type() == QEvent::KeyPress
               && IsAltCharacter(static_cast<const QKeyEvent *>(event));
    }
};

void guardLine(QLineEdit *box)
{
    box->installEventFilter(new AltCharacterFilter(box));
    QObject::connect(box, &QLineEdit::textChanged, box, [box](const QString &text) {
        if (!needsCleaning(text, true))
            return;
        const int cursor = box->cursorPosition();
        const QString cleaned = ForLine(text);
        box->setText(cleaned);
        box->setCursorPosition(std::min<int>(cursor, int(cleaned.size())));
    });
}

void guardText(QPlainTextEdit *box)
{
    box->installEventFilter(new AltCharacterFilter(box));
    // Only what was just added is looked at, so typing into a long text stays cheap.
    auto dirty = std::make_shared<bool>(false);
    QTextDocument *document = box->document();
    QObject::connect(document, &QTextDocument::contentsChange, box,
                     [document, dirty](int position, int, int added) {
                         const int end = std::min(position + added, document->characterCount());
                         for (int i = std::max(0, position - 1); i < end && !*dirty; ++i) {
                             const QChar c = document->characterAt(i);
                             // A surrogate is looked at in full once the change is done.
                             *dirty = c.unicode() == 0 || c.isSurrogate();
                         }
                     });
    QObject::connect(box, &QPlainTextEdit::textChanged, box, [box, dirty] {
        if (!*dirty)
            return;
        *dirty = false;
        const QString text = box->toPlainText();
        if (!needsCleaning(text, false))
            return;
        const int cursor = box->textCursor().position();
        const QString cleaned = ForText(text);
        box->setPlainText(cleaned);
        QTextCursor at = box->textCursor();
        at.setPosition(std::min<int>(cursor, int(cleaned.size())));
        box->setTextCursor(at);
    });
}

} // namespace

void BlockAltCharacters(QWidget *box)
{
    box->installEventFilter(new AltCharacterFilter(box));
}

bool IsAltCharacter(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (!modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::ControlModifier))
        return false;
    const QString text = event->text();
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
}

QString ForText(const QString &text)
{
    return needsCleaning(text, false) ? clean(text, false) : text;
}

QString ForLine(const QString &text)
{
    return needsCleaning(text, true) ? clean(text, true) : text;
}

void Guard(QWidget *window)
{
    if (auto *line = qobject_cast<QLineEdit *>(window))
        guardLine(line);
    if (auto *text = qobject_cast<QPlainTextEdit *>(window))
        guardText(text);
    for (QLineEdit *line : window->findChildren<QLineEdit *>())
        guardLine(line);
    for (QPlainTextEdit *text : window->findChildren<QPlainTextEdit *>())
        guardText(text);
}

} // namespace StorableText
