// Awkward text pasted into every box of the add command's windows (name prompt, the three
// steps, the genre manager opened from step 2): what each box holds is stored, listed,
// shown, loaded back by the modify command and stored again exactly, read back through a
// separate connection. A box never holds what cannot be stored or shown: a NUL character,
// half a character cut at the box's length, or (in a one-line box) a tab or line break.
// The title that was there before is untouched and the catalogue stays intact.
#include "AwkwardText.h"
#include "Story.h"
#include "frmGenre.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmDelimiter.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmTextBox.h"

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QToolButton>

namespace {

// Pastes over whatever the box holds, as a user does with Ctrl+A, Ctrl+V.
void paste(QWidget *box, const QString &text)
{
    QApplication::clipboard()->setText(text);
    box->setFocus();
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
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

// What each box held when the user went on: the values the catalogue must then hold.
struct Typed
{
    QString title, subTitle, director, summary, eggs, features, genre, actor, character;
};

// Every stored row of the catalogue, for comparing "nothing else changed".
QVector<QVariantList> rowsOf(TestFolder &folder, const QString &table, qint64 except = 0)
{
    const QString key = table == "DVD_Title" ? "ID"
                        : table == "Genre"   ? "Genre_ID"
                        : table == "Cast_Relationships" ? "Movie"
                                                        : "Title_ID";
    return folder.Rows(QString("SELECT * FROM %1 WHERE %2 <> ? ORDER BY rowid").arg(table, key),
                       {except});
}

} // namespace

class TestBadInput : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void roundTrip_data();
    void roundTrip();
    void pastedCast();
};

void TestBadInput::roundTrip_data()
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

void TestBadInput::roundTrip()
{
    QFETCH(QString, text);
    ProgramFixture p;
    const qint64 bystander = p.folder.AddTitle({.title = "Witness", .summary = "Amish",
                                                .genres = {"Drama"},
                                                .cast = {{"Harrison Ford", "John Book"}}});
    QVector<QVector<QVariantList>> before;
    for (const QString table : {"DVD_Title", "Genre", "Genre_Relationships", "Cast_Relationships"})
        before << rowsOf(p.folder, table);
    p.start();

    // Add: the text pasted into every box.
    Typed typed;
    Story add;
    add.then<frmTextBox>([&](frmTextBox *prompt) {
           paste(prompt->txtRenameResponse, text);
           typed.title = prompt->txtRenameResponse->text();
           QTest::mouseClick(prompt->cmdOK, Qt::LeftButton);
       })
        .then<frmModify1>([&](frmModify1 *step) {
            paste(step->txtSubTitle, text);
            QTest::keyClicks(step->txtDate, "1999");
            paste(step->txtDirector, text);
            paste(step->txtSummary, text);
            step->MultiTabStrip->setCurrentIndex(1);
            paste(step->txtEggs, text);
            typed.subTitle = step->txtSubTitle->text();
            typed.director = step->txtDirector->text();
            typed.summary = step->txtSummary->toPlainText();
            typed.eggs = step->txtEggs->toPlainText();
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            paste(step->txtFeatures, text);
            typed.features = step->txtFeatures->toPlainText();
            QTest::mouseClick(step->cmdManageGenreTypes, Qt::LeftButton);
        })
        .then<frmGenre>([&](frmGenre *manager) {
            paste(manager->txtGenreAdd, text);
            typed.genre = manager->txtGenreAdd->text();
            QTest::mouseClick(manager->cmdGenreAdd, Qt::LeftButton);
            QTest::mouseClick(manager->cmdFinishGenre, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[0], typed.genre));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            paste(step->txtActor1, text);
            paste(step->txtCharacter1, text);
            typed.actor = step->txtActor1->text();
            typed.character = step->txtCharacter1->text();
            QTest::mouseClick(step->cmdAdd, Qt::LeftButton);
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    add.play([&] { p.clickToolbar(1); });
    QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join(" | ")));
    QVERIFY2(add.complete(), qPrintable(QString("windows reached: %1").arg(add.reached())));

    // The boxes took the text whole, or cut at their length where they have one.
    QCOMPARE(typed.title, oneLine(text, frmTextBox::MaxNameLength));
    QCOMPARE(typed.subTitle, oneLine(text, frmModify1::SubTitleLength));
    QCOMPARE(typed.director, oneLine(text, frmModify1::DirectorLength));
    QCOMPARE(typed.genre, oneLine(text, frmGenre::MaxTypedLength));
    QCOMPARE(typed.actor, oneLine(text, text.size()));
    QCOMPARE(typed.character, oneLine(text, text.size()));
    for (const QString &whole : {typed.summary, typed.eggs, typed.features})
        QCOMPARE(whole, multiLine(text));

    // Stored as the boxes held it, read back through a separate connection.
    auto checkStored = [&](qint64 id) {
        const auto row = p.folder.Rows("SELECT Title, Sub_Title, Date, Director, Summary, "
                                       "Features, Eggs FROM DVD_Title WHERE ID = ?",
                                       {id});
        QCOMPARE(row.size(), 1);
        QCOMPARE(row[0], (QVariantList{typed.title, typed.subTitle, "1999", typed.director,
                                       typed.summary, typed.features, typed.eggs}));
        QCOMPARE(p.folder.Rows("SELECT Genre.Genre FROM Genre_Relationships INNER JOIN Genre ON "
                               "Genre.Genre_ID = Genre_Relationships.Genre_ID WHERE Title_ID = ?",
                               {id}),
                 QVector<QVariantList>{{typed.genre}});
        QCOMPARE(p.folder.Rows("SELECT Actor, Character FROM Cast_Relationships WHERE Movie = ?",
                               {id}),
                 (QVector<QVariantList>{{typed.actor, typed.character}}));
    };
    const auto ids = p.folder.Rows("SELECT ID FROM DVD_Title WHERE ID <> ?", {bystander});
    QCOMPARE(ids.size(), 1);
    const qint64 id = ids[0][0].toLongLong();
    checkStored(id);
    if (QTest::currentTestFailed())
        return;

    // Listed and shown as stored.
    frmMain &main = p.main();
    const QAbstractItemModel *list = main.UltraGrid->model();
    const QModelIndexList listed = list->match(list->index(0, 1), Qt::DisplayRole, typed.title, -1,
                                               Qt::MatchExactly);
    QCOMPARE(listed.size(), 1);
    main.UltraGrid->ActivateRow(listed[0].row());
    QCOMPARE(p.shared().SelectedTitleId, id);
    QCOMPARE(main.lblTitle->FullText(), typed.title);
    QCOMPARE(main.txtDirector->text(), typed.director);
    QCOMPARE(main.txtFeatures->toPlainText(), typed.features);
    QCOMPARE(main.txtMulti->toPlainText(), typed.summary);
    QCOMPARE(main.txtGenreDisplay->text(), typed.genre);
    QCOMPARE(main.CastUltraGRid->CellValue(0, 0).toString(), typed.actor);
    QCOMPARE(main.CastUltraGRid->CellValue(0, 1).toString(), typed.character);

    // Modify: every box comes back holding the same text; Finish stores it again.
    Story modify;
    modify
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(step->txtTitleDisplay->text(), typed.title);
            QCOMPARE(step->txtSubTitle->text(), typed.subTitle);
            QCOMPARE(step->txtDirector->text(), typed.director);
            QCOMPARE(step->txtSummary->toPlainText(), typed.summary);
            QCOMPARE(step->txtEggs->toPlainText(), typed.eggs);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            QCOMPARE(step->txtFeatures->toPlainText(), typed.features);
            QCOMPARE(step->cmbGenre[0]->currentText(), typed.genre);
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            QCOMPARE(step->UltraGrid->CellValue(0, 0).toString(), typed.actor);
            QCOMPARE(step->UltraGrid->CellValue(0, 1).toString(), typed.character);
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    modify.play([&] { p.clickToolbar(2); });
    QVERIFY2(MessageBox::Shown().isEmpty(), qPrintable(MessageBox::Shown().join(" | ")));
    QVERIFY(modify.complete());
    checkStored(id);

    // Nothing else changed: the title that was there, its links, the other genres.
    const QVector<QVector<QVariantList>> after{
        rowsOf(p.folder, "DVD_Title", id),
        rowsOf(p.folder, "Genre", p.folder.GenreId(typed.genre)),
        rowsOf(p.folder, "Genre_Relationships", id), rowsOf(p.folder, "Cast_Relationships", id)};
    QCOMPARE(after, before);
    QCOMPARE(p.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
}

// Two columns of awkward text pasted into the cast paste generator become the title's cast
// exactly (each value without its surrounding spaces); a NUL in the paste is dropped.
void TestBadInput::pastedCast()
{
    const QVector<QPair<QString, QString>> cast{
        {"Dermot O'Brien", "Father 'Ted' Crilly"},
        {"\"Quoted\" Name", "\"Role\" \"\""},
        {"x'); DROP TABLE Cast_Relationships; --", "' OR '1'='1"},
        {"back\\slash;", "100% _under_ %_"},
        {QString::fromUtf8("Renée Zellweger"), QString::fromUtf8("Bridget 🎬 👨‍👩‍👧")},
        {QString::fromUtf8("שלום עולם"), QString::fromUtf8("مرحبا بالعالم")},
        {"Tab\tinside", "\tlead"},
        {QString(100000, 'x'), "long"},
    };
    QString pasted;
    for (const auto &[actor, character] : cast)
        pasted += "  " + actor + " |  " + character + "  \r\n";
    pasted.insert(5, QChar(0)); // inside the first actor's name

    ProgramFixture p;
    p.start();
    QVector<QPair<QString, QString>> shown;
    Story add;
    add.then<frmTextBox>([&](frmTextBox *prompt) {
           QTest::keyClicks(prompt->txtRenameResponse, "Pasted cast");
           QTest::mouseClick(prompt->cmdOK, Qt::LeftButton);
       })
        .then<frmModify1>([&](frmModify1 *step) {
            QTest::keyClicks(step->txtDate, "2003");
            QTest::keyClicks(step->txtDirector, "Someone");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[0], "Comedy"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            QTest::mouseClick(step->cmdMultiPaste, Qt::LeftButton);
        })
        .then<frmPasteCastData>([&](frmPasteCastData *generator) {
            paste(generator->Text1, pasted);
            QTest::mouseClick(generator->cmdGEnerate, Qt::LeftButton);
        })
        .then<frmDelimiter>([&](frmDelimiter *prompt) {
            QTest::keyClicks(prompt->txtDelimiter, "|");
            QTest::mouseClick(prompt->Command1, Qt::LeftButton);
        })
        .then<frmPasteCastData>([&](frmPasteCastData *generator) {
            MessageBox::SetNextAnswer(QMessageBox::Ok); // "This will overwrite ..."
            QTest::mouseClick(generator->cmdFinish, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            for (int row = 0; row < step->UltraGrid->model()->rowCount(); ++row)
                shown << qMakePair(step->UltraGrid->CellValue(row, 0).toString(),
                                   step->UltraGrid->CellValue(row, 1).toString());
            MessageBox::SetNextAnswer(QMessageBox::Ok); // a failed save would say so
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    add.play([&] { p.clickToolbar(1); });
    QVERIFY2(add.complete(), qPrintable(QString("windows reached: %1").arg(add.reached())));
    QCOMPARE(MessageBox::Shown(), QStringList{"This will overwrite existing cast data."});
    QCOMPARE(shown, cast);

    QVector<QPair<QString, QString>> stored;
    for (const QVariantList &row :
         p.folder.Rows("SELECT Actor, Character FROM Cast_Relationships ORDER BY rowid"))
        stored << qMakePair(row[0].toString(), row[1].toString());
    QCOMPARE(stored, cast);
    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 1);
    QCOMPARE(p.folder.Scalar("PRAGMA integrity_check").toString(), QString("ok"));
}

QTEST_MAIN(TestBadInput)
#include "test_bad_input.moc"
