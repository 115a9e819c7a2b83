// Awkward text pasted into every box of the add command's windows, stored exactly as the
// boxes hold it; covers in bad states shown as far as they can be, and new covers that
// cannot be taken or written leaving the old one byte for byte, with a clear message.
#include "AwkwardText.h"
#include "Child.h"
#include "CmnDialog.h"
#include "CoverChooser.h"
#include "EditorFixture.h"
#include "FileReplacer.h"
#include "MainWindowFixture.h"
#include "MessageBox.h"
#include "frmGenre.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmTextBox.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QtEndian>
#include <cerrno>

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

QByteArray pictureBytes(const char *format, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        FileReplacer::FailNextForTesting(FileReplacer::Step::None);
        CmnDialog::Reset();
        MessageBox::Reset();
    }
    void everyBox_data();
    void everyBox();
    void coverFaults_data();
    void coverFaults();
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
    e.folder.AddTitle({.title = "Witness", .summary = "Amish", .genres = {"Drama"},
                       .cast = {{"Harrison Ford", "John Book"}}});
    // Every title with its fields, cast and genres; the genre names.
    const QString titles = "SELECT Title, Sub_Title, Date, Director, Summary, Features, Eggs, Actor, "
                           "Character, (SELECT GROUP_CONCAT(Genre) FROM Genre_Relationships r JOIN Genre "
                           "g ON g.Genre_ID = r.Genre_ID WHERE r.Title_ID = t.ID) FROM DVD_Title t LEFT "
                           "JOIN Cast_Relationships c ON c.Movie = t.ID ORDER BY t.ID, c.rowid";
    QVector<QVariantList> expected = e.folder.Rows(titles);
    QVector<QVariantList> genres = e.folder.Rows("SELECT Genre FROM Genre ORDER BY Genre_ID");

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
    genres.append({manager.txtGenreAdd->text()});
    manager.cmdGenreAdd->click();
    step1.txtDate->setText("1999");
    expected.append({step1.txtTitleDisplay->text(), step1.txtSubTitle->text(), "1999",
                     step1.txtDirector->text(), step1.txtSummary->toPlainText(),
                     step2.txtFeatures->toPlainText(), step1.txtEggs->toPlainText(),
                     step3.txtActor1->text(), step3.txtCharacter1->text(), "Drama"});
    step1.cmdNext->click();
    step2.cmdNext->click();
    step3.cmdAdd->click();
    step3.cmdFinish->click();
    QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join(" | ")));
    QCOMPARE(e.folder.Rows(titles), expected); // the title that was there untouched
    QCOMPARE(e.folder.Rows("SELECT Genre FROM Genre ORDER BY Genre_ID"), genres);

    // The cast paste generator, which opens over step 3.
    frmModify3 opener(*e.shared, e.main);
    frmPasteCastData generator(*e.shared, opener);
    pasteEverywhere(&generator, text);
}

void TestBadInput::coverFaults_data()
{
    QTest::addColumn<QByteArray>("cover");  // the cover's bytes; "link:..." a symbolic link
    QTest::addColumn<QString>("shown");     // cover, placeholder, or nothing (nothing.jpg)
    QTest::addColumn<QByteArray>("chosen"); // the new cover's bytes; empty: a good picture
    QTest::addColumn<int>("step");          // made to fail, as a full or failing disk would
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reason");    // in the message; empty: the cover is replaced
    using Step = FileReplacer::Step;
    auto row = [](const char *name, const QByteArray &cover, const char *shown,
                  const QByteArray &chosen, Step step, int code, const char *reason) {
        QTest::newRow(name) << cover << QString(shown) << chosen << int(step) << code
                            << QString(reason);
    };
    const QByteArray good = pictureBytes("JPG", 40, 30);
    const QByteArray cut = pictureBytes("JPG", 300, 400).left(20);
    QByteArray huge = pictureBytes("BMP", 4, 4); // claiming 100000 x 100000: 40 GB to decode
    qToLittleEndian<qint32>(100000, huge.data() + 18);
    qToLittleEndian<qint32>(100000, huge.data() + 22);
    const QByteArray text = "not a picture ";
    const char *notAPicture = "is not a picture that can be shown.";
    const char *full = "No space left on device.";
    row("cover empty", {}, "placeholder", {}, Step::None, 0, "");
    row("cover cut short", cut, "placeholder", {}, Step::None, 0, "");
    row("cover 12 MB, not a picture", text.repeated(900000), "placeholder", {}, Step::None, 0, "");
    row("cover claiming 100000 x 100000", huge, "placeholder", {}, Step::None, 0, "");
    row("cover a dangling link", "link:gone.jpg", "nothing", {}, Step::None, 0, "");
    row("cover a link to a picture outside", "link:outside.jpg", "cover", {}, Step::None, 0, "");
    row("cover a link to a device", "link:/dev/zero", "nothing", {}, Step::None, 0, "");
    row("chosen cut short", good, "cover", cut, Step::None, 0, notAPicture);
    row("chosen claiming 100000 x 100000", good, "cover", huge, Step::None, 0, notAPicture);
    row("chosen not a picture", good, "cover", text.repeated(9000), Step::None, 0, notAPicture);
    row("disk full: a write refused", good, "cover", {}, Step::Write, ENOSPC, full);
    row("the sync refused", good, "cover", {}, Step::Sync, EIO, "Input/output error.");
    row("the copy comes out short", good, "cover", {}, Step::Size, 0, "bytes could be written.");
    row("the rename refused", good, "cover", {}, Step::Rename, EROFS, "Read-only file system.");
}

void TestBadInput::coverFaults()
{
    QFETCH(QByteArray, cover);
    QFETCH(QString, shown);
    QFETCH(QByteArray, chosen);
    QFETCH(int, step);
    QFETCH(int, code);
    QFETCH(QString, reason);
    MainWindowFixture w;
    const qint64 id = w.folder.AddTitle({.title = "Covered", .director = "Someone"});
    const QString images = w.folder.ImagesPath();
    const QString file = images + QString("/%1.jpg").arg(id);
    const QString linkTo = QString(cover.mid(5));
    const QString target = linkTo.startsWith('/') ? linkTo : w.folder.Path() + "/" + linkTo;
    if (linkTo == "outside.jpg")
        QVERIFY(TestFolder::WriteFile(target, pictureBytes("JPG", 20, 20)));
    QVERIFY(cover.startsWith("link:") ? QFile::link(target, file)
                                       : TestFolder::WriteFile(file, cover));
    const QString kept = cover.startsWith("link:") ? target : file; // must stay as it was
    const QByteArray old = linkTo.startsWith('/') ? QByteArray() : TestFolder::ReadFile(kept);
    const QString picked = w.folder.Path() + "/new.bmp";
    QVERIFY(TestFolder::WriteFile(picked, chosen.isEmpty() ? pictureBytes("BMP", 160, 160) : chosen));
    w.load();

    // Shown as far as it can be, with the rest of the title.
    QCOMPARE(w.main->lblTitle->text(), QString("Covered"));
    QCOMPARE(w.main->txtDirector->text(), QString("Someone"));
    QCOMPARE(w.main->CoverIsPlaceholder(), shown == "placeholder");
    QCOMPARE(w.main->CoverFile(), shown == "nothing" ? images + "/nothing.jpg" : file);
    QVERIFY(!w.main->ImgCover->pixmap().isNull());
    const QStringList before = Entries(images);

    FileReplacer::FailNextForTesting(FileReplacer::Step(step), code);
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    CmnDialog::SetNextFileName(picked);
    CoverChooser(*w.main).ImgCover_Click();

    const QString message = MessageBox::Shown().join(" | ");
    QVERIFY2(reason.isEmpty() ? message.isEmpty()
                              : message.contains(reason) && message.endsWith("The cover was not changed."),
             qPrintable(message));
    QCOMPARE(Entries(images), before); // replaced in place, or nothing left behind
    QCOMPARE(w.main->CoverFile(), file);
    if (reason.isEmpty()) {
        QVERIFY(!QFileInfo(file).isSymLink());
        QCOMPARE(TestFolder::ReadFile(file), TestFolder::ReadFile(picked));
        QVERIFY(!w.main->CoverIsPlaceholder());
    }
    if ((!reason.isEmpty() || kept != file) && !linkTo.startsWith('/'))
        QCOMPARE(TestFolder::ReadFile(kept), old);
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
