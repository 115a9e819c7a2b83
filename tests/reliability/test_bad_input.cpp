// Awkward text pasted into every box of the add command's windows (name prompt, the three
// steps, the genre manager, the cast paste generator). A box never holds what cannot be
// stored or shown: a NUL character, half a character cut at the box's length, or (in a
// one-line box) a tab or line break. What the boxes hold is stored exactly, and the title
// that was there before is untouched.
#include "AwkwardText.h"
#include "EditorFixture.h"
#include "MessageBox.h"
#include "frmGenre.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmTextBox.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

// Pastes over whatever the box holds, as Ctrl+A, Ctrl+V do.
template <typename Box>
void paste(Box *box, const QString &text)
{
    QApplication::clipboard()->setText(text);
    box->selectAll();
    box->paste();
}

// What a one-line box holds after a paste: the text cut at the box's length, then its
// tabs and line breaks made blanks, NUL characters and a character cut in half dropped.
QString oneLine(const QString &pasted, int length)
{
    QString text = pasted.left(length);
    if (!text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    text.replace("\r\n", " ").replace('\r', ' ').replace('\n', ' ').replace('\t', ' ');
    return text.remove(QChar(0));
}

// What a multi-line box holds: its line breaks are LF; NUL characters are dropped.
QString multiLine(const QString &pasted)
{
    QString text = pasted;
    text.replace("\r\n", "\n").replace('\r', '\n');
    return text.remove(QChar(0));
}

void pasteEverywhere(QWidget *window, const QString &text)
{
    for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
        const int length = box->maxLength();
        if (box->isReadOnly() || qobject_cast<QComboBox *>(box->parent())) // a genre pick
            continue;
        paste(box, text);
        QVERIFY2(box->text() == oneLine(text, length), qPrintable(box->objectName()));
    }
    for (QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>()) {
        paste(box, text);
        QVERIFY2(box->toPlainText() == multiLine(text), qPrintable(box->objectName()));
    }
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { MessageBox::Reset(); }
    void everyBox_data();
    void everyBox();
};

void TestBadInput::everyBox_data()
{
    QTest::addColumn<QString>("text");
    for (const auto &[name, text] : AwkwardTexts())
        QTest::newRow(name) << text;
    // What only a box can meet: a NUL, and text at and past the name prompt's length.
    QTest::newRow("NUL inside") << QString("before") + QChar(0) + QString("after");
    QTest::newRow("55 characters") << QString(55, 'a');
    QTest::newRow("56 characters") << QString(55, 'b') + "!";
    QTest::newRow("emoji across the 55th character") << QString(54, 'c') + QString::fromUtf8("🎬");
}

void TestBadInput::everyBox()
{
    QFETCH(QString, text);
    EditorFixture e;
    const qint64 bystander = e.folder.AddTitle({.title = "Witness", .summary = "Amish",
                                                .genres = {"Drama"},
                                                .cast = {{"Harrison Ford", "John Book"}}});
    const auto everything = [&] {
        QVector<QVariantList> rows;
        for (const char *table : {"DVD_Title", "Genre", "Genre_Relationships", "Cast_Relationships"})
            rows += e.folder.Rows(QString("SELECT * FROM %1 ORDER BY rowid").arg(table));
        return rows;
    };
    const QVector<QVariantList> before = everything();

    frmTextBox prompt(*e.shared, PromptOpener::AddTitle, &e.main);
    pasteEverywhere(&prompt, text);
    const QString title = prompt.txtRenameResponse->text();
    e.Fill("No", title, {"Drama"});
    frmModify1 step1(*e.shared, e.main);
    frmModify2 step2(*e.shared, &e.main);
    step2.Form_Load();
    frmModify3 step3(*e.shared, e.main);
    frmGenre manager(*e.shared, nullptr);
    manager.Form_Load();
    for (QWidget *window : std::initializer_list<QWidget *>{&step1, &step2, &step3, &manager})
        pasteEverywhere(window, text);
    if (QTest::currentTestFailed())
        return;

    // Each window goes on with what its boxes hold.
    const QString genre = manager.txtGenreAdd->text();
    manager.cmdGenreAdd->click();
    step1.txtDate->setText("1999");
    const QVariantList facts{title, step1.txtSubTitle->text(), "1999", step1.txtDirector->text(),
                             step1.txtSummary->toPlainText(), step2.txtFeatures->toPlainText(),
                             step1.txtEggs->toPlainText()};
    const QVariantList cast{step3.txtActor1->text(), step3.txtCharacter1->text()};
    step1.cmdNext->click();
    step2.cmdNext->click();
    step3.cmdAdd->click();
    step3.cmdFinish->click();
    QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join(" | ")));

    const auto ids = e.folder.Rows("SELECT ID FROM DVD_Title WHERE ID <> ?", {bystander});
    QCOMPARE(ids.size(), 1);
    const QVariant id = ids[0][0];
    QCOMPARE(e.folder.Rows("SELECT Title, Sub_Title, Date, Director, Summary, Features, Eggs "
                           "FROM DVD_Title WHERE ID = ?", {id}),
             QVector<QVariantList>{facts});
    QCOMPARE(e.StoredCast(id.toLongLong()), QVector<QVariantList>{cast});
    QCOMPARE(e.StoredGenres(id.toLongLong()), QStringList{"Drama"});
    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = ?", {genre}).toInt(), 1);

    // Nothing else changed: the title that was there, its links, the other genres.
    e.folder.Exec("DELETE FROM DVD_Title WHERE ID = ?", {id});
    e.folder.Exec("DELETE FROM Genre_Relationships WHERE Title_ID = ?", {id});
    e.folder.Exec("DELETE FROM Cast_Relationships WHERE Movie = ?", {id});
    e.folder.Exec("DELETE FROM Genre WHERE Genre = ?", {genre});
    QCOMPARE(everything(), before);
    QCOMPARE(e.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));

    frmModify3 opener(*e.shared, e.main);
    frmPasteCastData generator(*e.shared, opener);
    pasteEverywhere(&generator, text);
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
