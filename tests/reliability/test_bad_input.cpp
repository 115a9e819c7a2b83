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

// What a box holds once the text is pasted over it: no NUL, no character cut in half at the
// box's length, and in a one-line box (length > 0) a blank for each tab and line break.
QString held(const QString &pasted, int length)
{
    QString text = length > 0 ? pasted.left(length) : pasted;
    if (length > 0 && !text.isEmpty() && text.back().isHighSurrogate())
        text.chop(1);
    text.replace("\r\n", "\n").replace('\r', '\n');
    if (length > 0)
        text.replace('\n', ' ').replace('\t', ' ');
    return text.remove(QChar(0));
}

// Pastes the text into every box of the window, as Ctrl+A, Ctrl+V do.
void pasteEverywhere(QWidget *window, const QString &text)
{
    QApplication::clipboard()->setText(text);
    for (QLineEdit *box : window->findChildren<QLineEdit *>()) {
        if (box->isReadOnly() || qobject_cast<QComboBox *>(box->parent())) // a genre pick
            continue;
        const int length = box->maxLength();
        box->selectAll();
        box->paste();
        QVERIFY2(box->text() == held(text, length), qPrintable(box->objectName()));
    }
    for (QPlainTextEdit *box : window->findChildren<QPlainTextEdit *>()) {
        box->selectAll();
        box->paste();
        QVERIFY2(box->toPlainText() == held(text, 0), qPrintable(box->objectName()));
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
    const int genres = e.folder.Scalar("SELECT COUNT(*) FROM Genre").toInt();

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

    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 2);
    const qint64 id = e.folder.Scalar("SELECT MAX(ID) FROM DVD_Title").toLongLong();
    QCOMPARE(e.folder.Rows("SELECT Title, Sub_Title, Date, Director, Summary, Features, Eggs "
                           "FROM DVD_Title WHERE ID = ?", {id}),
             QVector<QVariantList>{facts});
    QCOMPARE(e.StoredCast(id), QVector<QVariantList>{cast});
    QCOMPARE(e.StoredGenres(id), QStringList{"Drama"});
    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Genre WHERE Genre = ?", {genre}).toInt(), 1);
    // Nothing else changed: the title that was there, its links, the other genres.
    QCOMPARE(e.folder.Rows("SELECT Title, Summary FROM DVD_Title WHERE ID = ?", {bystander}),
             (QVector<QVariantList>{{"Witness", "Amish"}}));
    QCOMPARE(e.StoredCast(bystander), (QVector<QVariantList>{{"Harrison Ford", "John Book"}}));
    QCOMPARE(e.StoredGenres(bystander), QStringList{"Drama"});
    QCOMPARE(e.folder.Scalar("SELECT COUNT(*) FROM Genre").toInt(), genres + 1);
    QCOMPARE(e.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));

    // The cast paste generator, which opens over step 3.
    frmModify3 opener(*e.shared, e.main);
    frmPasteCastData generator(*e.shared, opener);
    pasteEverywhere(&generator, text);
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
