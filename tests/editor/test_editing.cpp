// The editor's three steps over a filled edit buffer, step 3's paste generator, and what the
// editor and the Delete command write: all or nothing, and nothing held while a failure is
// reported. Last, adding and modifying a title from the main window as a user does it.
#include "BusyTimeout.h"
#include "Connection.h"
#include "DataGrid.h"
#include "DbError.h"
#include "EditorFixture.h"
#include "FileDialogAnswers.h"
#include "FindBox.h"
#include "MessageBox.h"
#include "ModalWaiter.h"
#include "RecordList.h"
#include "StepResult.h"
#include "Story.h"
#include "TitleCommands.h"
#include "frmAlert.h"
#include "frmDelimiter.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmPasteCastData.h"
#include "frmTextBox.h"
#include "TestSeams.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using Picks = std::array<QString, 4>;
using Rows = QList<QStringList>;

namespace {

const QString kRequired = QStringLiteral("Please Complete All Required Fields");
const QString kYearFormat = QStringLiteral("Date must be in the proper format. (Example 1999)");
const Rows kOldCast{{"Ann", "Nurse"}, {"Bob", "Cook"}};

// The edit buffer's cast list as (actor, character) rows.
Rows castList(const Module1 &shared)
{
    Rows rows;
    for (const auto &row : shared.CastRecords->Rows())
        rows << QStringList{row.value(0).toString(), row.value(1).toString()};
    return rows;
}

// The messages shown, each cut to the length of the one expected in its place.
QStringList shownCutTo(const QStringList &expected)
{
    QStringList shown = MessageBox::Shown();
    for (int i = 0; i < shown.size() && i < expected.size(); ++i)
        shown[i].truncate(expected[i].size());
    return shown;
}

// A trigger that makes the statements it names fail with the message "refused".
QString refusing(const QString &statements)
{
    return "CREATE TRIGGER refuse BEFORE " + statements
           + " BEGIN SELECT RAISE(ABORT, 'refused'); END";
}

// Step 3 open on an add of "Alpha's" with kOldCast; its second genre is not in the
// catalogue, so a Finish fails.
struct Step3 : EditorFixture
{
    std::unique_ptr<frmModify3> window;

    Step3()
    {
        Fill("No", "Alpha's", {"Drama", "Removed Meanwhile"}, {{"Ann", "Nurse"}, {"Bob", "Cook"}});
        window = std::make_unique<frmModify3>(*shared, main);
        window->show();
    }
};

// Goes on by the button given, or leaves by Cancel, Escape, or as the desktop closes it.
template<typename T>
void leaveOr(T *window, QPushButton *onwards, bool leaving, const QString &way)
{
    if (!leaving)
        QTest::mouseClick(onwards, Qt::LeftButton);
    else if (way == "Escape")
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
    else if (way == "Cancel")
        QTest::mouseClick(window->cmdCancel, Qt::LeftButton);
    else
        window->close();
}

} // namespace

class TestEditing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Each lock met costs a second, not five.
    void initTestCase() { BusyTimeout::SetForTesting(1000); }
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        TestSeams::ResetAll();
    }

    void step1ChecksOnNext_data();
    void step1ChecksOnNext();
    void step2EnablesAndCompacts_data();
    void step2EnablesAndCompacts();
    void step3CastAndLeaving_data();
    void step3CastAndLeaving();
    void generateRows_data();
    void generateRows();
    void pasteFromStep3_data();
    void pasteFromStep3();
    void failedSaveThenRetry_data();
    void failedSaveThenRetry();
    void findFollowsChanges_data();
    void findFollowsChanges();
    void deleteTitle_data();
    void deleteTitle();
    void modifyLoadsTheRowsOwnTitle();
    void editTitle_data();
    void editTitle();
    void keyboardBack_data();
    void keyboardBack();
};

void TestEditing::step1ChecksOnNext_data()
{
    QTest::addColumn<QString>("year");    // stored, so loaded beyond what typing allows
    QTest::addColumn<QString>("message"); // empty: Next goes on
    QTest::addColumn<QString>("director");
    QTest::newRow("year empty") << "" << kRequired << "Someone";
    QTest::newRow("director empty") << "1999" << kRequired << "";
    QTest::newRow("bad year, director empty: required first") << "19" << kRequired << "";
    QTest::newRow("letter among digits") << "19a9" << kYearFormat << "Someone";
    QTest::newRow("full-width digits") << "\uFF11\uFF19\uFF19\uFF19" << kYearFormat << "Someone";
    QTest::newRow("trailing line break") << "1999\n" << kYearFormat << "Someone";
    QTest::newRow("0000, director of blanks") << "0000" << QString() << "   ";
}

void TestEditing::step1ChecksOnNext()
{
    QFETCH(QString, year);
    QFETCH(QString, message);
    QFETCH(QString, director);
    EditorFixture f;
    f.Fill("Yes", "Ocean's Eleven");
    f.shared->EditDate = year;
    f.shared->EditDirector = director;
    frmModify1 w(*f.shared, f.main, &f.main);
    w.show();
    w.txtTitleDisplay->setText("Renamed");
    w.txtSubTitle->setText("Changed edition");
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    QTest::mouseClick(w.cmdNext, Qt::LeftButton);

    QCOMPARE(MessageBox::Shown(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(w.result(), message.isEmpty() ? int(StepNext) : 0);
    QCOMPARE(w.isVisible(), !message.isEmpty());
    // The title is taken whatever the checks say, the rest only once they pass.
    const Module1 &b = *f.shared;
    const QString subTitle = message.isEmpty() ? "Changed edition" : "Director's Cut";
    QCOMPARE((QStringList{b.EditTitle, b.EditSubTitle, b.EditDate, b.EditDirector}),
             (QStringList{"Renamed", subTitle, year, director}));
    if (!message.isEmpty()) // cleared for retyping when it was the year that failed
        QCOMPARE(w.txtDate->text(), message == kYearFormat ? QString() : year);
}

void TestEditing::step2EnablesAndCompacts_data()
{
    QTest::addColumn<Picks>("picks");
    QTest::addColumn<QString>("enabled"); // box by box
    QTest::addColumn<bool>("next");       // else Back
    QTest::addColumn<Picks>("stored");    // longest first, the empty ones last
    const QString drama = "Drama", comedy = "Comedy", crime = "Crime", war = "War", none;
    QTest::newRow("none, Back") << Picks{} << "1000" << false << Picks{};
    QTest::newRow("none, Next refused") << Picks{} << "1000" << true << Picks{};
    QTest::newRow("slots 0 and 2, Next")
        << Picks{drama, none, comedy, none} << "1101" << true << Picks{comedy, drama, none, none};
    QTest::newRow("equal lengths keep their order, Back")
        << Picks{none, drama, none, crime} << "1010" << false << Picks{drama, crime, none, none};
    QTest::newRow("all four, Next")
        << Picks{drama, comedy, war, crime} << "1111" << true << Picks{comedy, drama, crime, war};
}

void TestEditing::step2EnablesAndCompacts()
{
    QFETCH(Picks, picks);
    QFETCH(bool, next);
    EditorFixture f;
    f.Fill("No", "Alien's Return");
    f.shared->GenrePicks = picks;
    frmModify2 w(*f.shared, &f.main);
    w.Form_Load();
    w.show();
    QString enabledNow;
    for (QComboBox *box : w.cmbGenre)
        enabledNow += box->isEnabled() ? '1' : '0';
    QTEST(enabledNow, "enabled");
    w.txtFeatures->setPlainText("  Trailer 'teaser'  ");
    const bool refused = next && picks == Picks{};
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    (next ? w.cmdNext : w.cmdBack)->click();

    QCOMPARE(MessageBox::Shown(), refused ? QStringList{kRequired} : QStringList());
    QCOMPARE(w.result(), refused ? 0 : int(next ? StepNext : StepBack));
    QCOMPARE(w.isVisible(), refused);
    QTEST(f.shared->GenrePicks, "stored");
    QCOMPARE(f.shared->EditFeatures, QString("  Trailer 'teaser'  "));
    QVERIFY(!f.main.isEnabled());
}

void TestEditing::step3CastAndLeaving_data()
{
    QTest::addColumn<QString>("how");       // Add, Enter in the character box, Back or Finish
    QTest::addColumn<QStringList>("entry"); // actor, character
    QTest::addColumn<QString>("message");   // how it starts; empty: Add and Enter add the entry
    QTest::newRow("Add, spaces count as filled")
        << "Add" << QStringList{" ", "Queen \"Bee\" "} << "";
    QTest::newRow("Add, actor empty") << "Add" << QStringList{"", "Role"} << kRequired;
    QTest::newRow("Enter, character empty") << "Enter" << QStringList{"Cy", ""} << kRequired;
    QTest::newRow("Back keeps everything") << "Back" << QStringList{"Cy", "Role"} << "";
    QTest::newRow("failed Finish keeps everything")
        << "Finish" << QStringList{"Cy", "Role"} << "Error 3021 inserting records.\r\n";
}

// Nothing reaches the catalogue and the rest of the buffer stays as it was, so that step 2
// can still correct the pick a failed Finish met.
void TestEditing::step3CastAndLeaving()
{
    QFETCH(QString, how);
    QFETCH(QStringList, entry);
    QFETCH(QString, message);
    Step3 s;
    frmModify3 &w = *s.window;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QByteArray before = s.folder.CatalogueBytes();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    w.txtActor1->setText(entry[0]);
    w.txtCharacter1->setText(entry[1]);

    if (how == "Enter")
        QTest::keyClick(w.txtCharacter1, Qt::Key_Return);
    else
        (how == "Add" ? w.cmdAdd : how == "Back" ? w.cmdBack : w.cmdFinish)->click();

    const QStringList messages = message.isEmpty() ? QStringList() : QStringList{message};
    QCOMPARE(shownCutTo(messages), messages);
    const bool adding = how == "Add" || how == "Enter";
    QCOMPARE(castList(*s.shared), adding && message.isEmpty() ? Rows(kOldCast) << entry : kOldCast);
    QCOMPARE(w.result(), how == "Back" ? int(StepBack) : 0);
    QCOMPARE(w.isVisible(), how != "Back");
    if (adding) // emptied for the next entry
        QCOMPARE(w.txtActor1->text(), message.isEmpty() ? QString() : entry[0]);
    QVERIFY(s.folder.CatalogueBytes() == before);
    QCOMPARE(s.shared->EditDirector, QString("Ann O'Director"));
    QCOMPARE(s.shared->GenrePicks[1], QString("Removed Meanwhile"));
    QVERIFY(!s.main.isEnabled());
}

void TestEditing::generateRows_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<Rows>("rows");
    const QString dash = " - ";
    QTest::newRow("split at the first") << "Ann - Maid - Cook" << dash << Rows{{"Ann", "Maid"}};
    QTest::newRow("only spaces trimmed")
        << "\tAnn -  Maid\t " << QString("-") << Rows{{"\tAnn", "Maid\t"}};
    QTest::newRow("mixed line ends") << "A - B\rC - D\nE - F\r\nG - H" << dash
                                     << Rows{{"A", "B"}, {"C", "D"}, {"E", "F"}, {"G", "H"}};
    QTest::newRow("empty lines of each kind make no row") << "A - B\r\r\n\n\rC - D\r\n"
                                                          << dash << Rows{{"A", "B"}, {"C", "D"}};
    QTest::newRow("line of spaces makes a row")
        << "A - 1\n   \nB - 2" << dash << Rows{{"A", "1"}, {"", ""}, {"B", "2"}};
    QTest::newRow("case-sensitive delimiter") << "AXB" << QString("x") << Rows{{"AXB", ""}};
    QTest::newRow("empty delimiter") << "A - 1\nB" << QString() << Rows{{"A - 1", ""}, {"B", ""}};
}

void TestEditing::generateRows()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    Rows generated;
    for (const auto &row : frmPasteCastData::GenerateRows(text, delimiter))
        generated << QStringList{row.value(0).toString(), row.value(1).toString()};
    QTEST(generated, "rows");
}

void TestEditing::pasteFromStep3_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter"); // empty: the prompt is escaped
    QTest::addColumn<QList<QPoint>>("red"); // (column, row), row by row
    QTest::addColumn<QString>("way");       // how the generator is left at the end
    QTest::addColumn<Rows>("cast");         // step 3's afterwards
    const QString dash = " - ";
    QTest::newRow("Finish") << "Zed Zu - Lead\r\nAnn Ay - Maid" << dash << QList<QPoint>{}
                            << "Finish" << Rows{{"Zed Zu", "Lead"}, {"Ann Ay", "Maid"}};
    QTest::newRow("no rows, Finish") << "\r\n\r" << dash << QList<QPoint>{} << "Finish" << Rows{};
    QTest::newRow("empty cells") << "Ann - Maid\r\nSolo\r\n - Butler" << QString("-")
                                 << QList<QPoint>{{1, 1}, {0, 2}} << "Cancel" << kOldCast;
    QTest::newRow("prompt escaped: whole lines, Escape")
        << "Ann - Maid\n\nCy" << QString() << QList<QPoint>{{1, 0}, {1, 1}} << "Escape" << kOldCast;
    // More errors than a 16-bit count holds.
    QString lines;
    QList<QPoint> red;
    for (int line = 0; line < 33000; ++line) {
        lines += QString("Actor %1\r\n").arg(line);
        red << QPoint(1, line);
    }
    QTest::newRow("33,000 errors") << lines << dash << red << "Cancel" << kOldCast;
}

// Step 3 is disabled while the generator is open and gets the rows only through Finish,
// which is refused while the last Generate found empty cells.
void TestEditing::pasteFromStep3()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QList<QPoint>, red);
    QFETCH(QString, way);
    QFETCH(Rows, cast);
    Step3 s;
    s.shared->DelimiterText = "from before";
    frmPasteCastData generator(*s.shared, *s.window);
    generator.show();
    generator.Text1->setPlainText(text);
    bool promptUsable = false;
    ModalWaiter prompt;
    prompt.Expect<frmDelimiter>([&](frmDelimiter *window) {
        promptUsable = window->isEnabled() && !generator.isEnabled() && !s.window->isEnabled();
        QTest::keyClicks(window->txtDelimiter, delimiter);
        QTest::keyClick(window->txtDelimiter,
                        delimiter.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    });
    if (!red.isEmpty())
        MessageBox::SetNextAnswer(QMessageBox::Ok);
    generator.cmdGEnerate->click();
    QVERIFY(prompt.Handled() && promptUsable && generator.isEnabled());
    QCOMPARE(s.shared->DelimiterText, delimiter);
    QList<QPoint> marked;
    const DataGrid &grid = *generator.MultiPasteUltraGrid;
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        for (int column = 0; column < 2; ++column)
            if (grid.CellBackground(row, column) == QColor(255, 0, 0))
                marked << QPoint(column, row);
    QCOMPARE(marked, red);

    // Refused, or declined when asked, whatever the text says meanwhile; then left.
    generator.Text1->setPlainText("Ann - Maid");
    MessageBox::SetNextAnswer(QMessageBox::Cancel);
    generator.cmdFinish->click();
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    if (way == "Escape")
        QTest::keyClick(generator.Text1, Qt::Key_Escape);
    else
        (way == "Finish" ? generator.cmdFinish : generator.cmdCancel)->click();

    QStringList expected(way == "Finish" ? 2 : 1, "This will overwrite existing cast data.");
    if (!red.isEmpty()) // how they start
        expected = {QString("%1 error(s) occured while generating").arg(red.size()),
                    QString("Cannot complete due to %1 error(s)").arg(red.size())};
    QCOMPARE(shownCutTo(expected), expected);
    QVERIFY(!generator.isVisible() && s.window->isEnabled() && s.window->isVisible());
    QCOMPARE(castList(*s.shared), cast);
    QCOMPARE(s.window->UltraGrid->model()->rowCount(), cast.size());
    QCOMPARE(s.window->cmdDelete->isEnabled(), !cast.isEmpty());
}

void TestEditing::failedSaveThenRetry_data()
{
    QTest::addColumn<QString>("plant"); // what makes the first save fail
    QTest::addColumn<bool>("modify");
    QTest::addColumn<QString>("message"); // how its message starts
    QTest::newRow("add, another connection's read keeps it from committing")
        << "reader" << false << "Error 5 inserting records.\r\ndatabase is locked";
    QTest::newRow("modify, title deleted meanwhile: Cancel, then Save as New Title")
        << "deleted" << true << "The title \"Changed's\" was deleted meanwhile";
}

// The window's side of a failed save (a refused statement is TitleWriter's table, in storage):
// one message, shown with the catalogue free for others, the catalogue as it was, the edit
// buffer kept; once the cause is gone, Finish stores it exactly once, quotes as typed.
void TestEditing::failedSaveThenRetry()
{
    QFETCH(QString, plant);
    QFETCH(bool, modify);
    QFETCH(QString, message);
    EditorFixture e;
    e.folder.AddTitle({.title = "Other", .genres = {"War"}, .cast = {{"O1", "O2"}}});
    const qint64 stored = e.folder.AddTitle(
        {.title = "Stored", .genres = {"Drama", "Action"}, .cast = {{"Old", "Cast"}}});
    // IDs beyond 16 bits are written and read back whole.
    e.folder.Exec("UPDATE sqlite_sequence SET seq = 70000 WHERE name = 'DVD_Title'");
    if (plant == "deleted")
        for (const char *rows : {"DVD_Title WHERE ID", "Genre_Relationships WHERE Title_ID",
                                 "Cast_Relationships WHERE Movie"})
            e.folder.Exec(QString("DELETE FROM %1 = ?").arg(rows), {stored});
    e.Fill(modify ? "Yes" : "No", "Changed's", {"Action", "", "Comedy"},
           {{QVariant(), "Role"}, {"O'Hara", "Scarlett"}}, modify ? stored : 0);
    e.shared->EditDate = "0099"; // text, not the number 99
    e.shared->EditWishList = 1;
    const QByteArray before = e.folder.CatalogueBytes();
    if (plant == "reader") {
        e.folder.Exec("BEGIN");
        e.folder.Scalar("SELECT COUNT(*) FROM DVD_Title");
    }

    QString lockHolder = "no message";
    ModalWaiter waiter;
    waiter.Expect<QMessageBox>([&](QMessageBox *box) {
        if (plant == "reader")
            e.folder.Exec("COMMIT");
        try { // another connection can take the catalogue for itself at once
            Connection rival;
            rival.Open(e.shared->ConnectionString);
            rival.Execute("BEGIN EXCLUSIVE");
            rival.Execute("ROLLBACK");
            lockHolder.clear();
        } catch (const DbError &error) {
            lockHolder = error.what();
        }
        QTest::keyClick(box, Qt::Key_Escape); // Cancel, or Ok when alone
    });
    QVERIFY(!frmModify3(*e.shared, e.main).SaveTitle());
    QCOMPARE(lockHolder, QString());
    QCOMPARE(shownCutTo({message}), QStringList{message});
    QVERIFY(e.folder.CatalogueBytes() == before); // the buffer kept shows in the retry

    MessageBox::Reset();
    MessageBox::SetNextAnswer(QMessageBox::Save); // asked again when deleted meanwhile
    QVERIFY(frmModify3(*e.shared, e.main).SaveTitle());
    QCOMPARE(MessageBox::Shown().size(), plant == "deleted" ? 1 : 0);

    const qint64 id = modify && plant != "deleted" ? stored : 70001;
    QCOMPARE(e.folder.Rows("SELECT Title, Date, typeof(Date), WishList, (SELECT COUNT(*) FROM "
                           "DVD_Title) FROM DVD_Title WHERE ID = ?",
                           {id}),
             (QVector<QVariantList>{{"Changed's", "0099", "text", 1, modify ? 2 : 3}}));
    QCOMPARE(e.folder.GenreNames(id), (QStringList{"Action", "Comedy"}));
}

void TestEditing::findFollowsChanges_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>(
        "read"); // none, at focus or at idle: the change made before it is taken
    QTest::addColumn<QStringList>("found");
    for (const QString read : {"none", "focus", "idle"}) {
        QTest::addRow("add %s", qPrintable(read))
            << "add" << read << QStringList{"Kagemusha", "Ran", "Rashomon"};
        QTest::addRow("modify %s", qPrintable(read))
            << "modify" << read << QStringList{"Alien", "Ran", "Rashomon"};
        QTest::addRow("delete %s", qPrintable(read)) << "delete" << read << QStringList{"Ran"};
        QTest::addRow("outside %s", qPrintable(read)) // another tool's, then a reload
            << "outside" << read << QStringList{"Dersu Uzala", "Ran", "Rashomon"};
    }
}

// "kurosawa" in the find box after a change through the commands (Alien gets a cast
// member Kurosawa, Kagemusha is added with one): what a fresh read of the titles finds.
void TestEditing::findFollowsChanges()
{
    QFETCH(QString, command);
    QFETCH(QString, read);
    EditorFixture e;
    const qint64 alien = e.folder.AddTitle({.title = "Alien"});
    for (const QString title : {"Ran", "Rashomon"})
        e.folder.AddTitle({.title = title, .director = "Akira Kurosawa"});
    e.main.Form_Load();
    const auto find = [&e] {
        e.main.Find->txtFind->setText("kurosawa");
        e.main.Find->ApplyNow();
    };
    if (read == "none")
        find();
    else if (read == "focus")
        e.main.Find->FocusBox();
    else
        QCoreApplication::processEvents();   // the window idle once loaded
    QTest::qSleep(read != "none" ? 300 : 0); // the read done before the change, not taken yet
    if (command == "outside") {
        e.folder.AddTitle({.title = "Dersu Uzala", .director = "Akira Kurosawa"});
        e.main.RefreshRecords();
    } else if (command == "delete") {
        e.main.UltraGrid->ActivateRow(2);
        MessageBox::SetNextAnswer(QMessageBox::Ok);
        TitleCommands(*e.shared, e.main).DeleteTitle();
    } else {
        FillEditBuffer(*e.shared, command == "add" ? "No" : "Yes",
                       command == "add" ? "Kagemusha" : "Alien", {}, {{"Kurosawa", "Himself"}});
        e.shared->SelectedTitleId = alien;
        frmModify3(*e.shared, e.main).cmdFinish->click();
    }
    if (read != "none")
        find();
    QStringList titles;
    for (int row = 0; row < e.main.UltraGrid->model()->rowCount(); ++row)
        titles << e.main.UltraGrid->model()->index(row, 1).data().toString();
    QTEST(titles, "found");
}

void TestEditing::deleteTitle_data()
{
    QTest::addColumn<int>("answer");   // to the question
    QTest::addColumn<bool>("failing"); // the last statement refused
    QTest::newRow("deleted with its cover") << int(QMessageBox::Ok) << false;
    QTest::newRow("answered Cancel") << int(QMessageBox::Cancel) << false;
    QTest::newRow("last statement fails") << int(QMessageBox::Ok) << true;
}

// Brazil (the second of three titles) goes with its links and cast in one transaction, its
// cover only after the rows are gone; the others keep theirs.
void TestEditing::deleteTitle()
{
    QFETCH(int, answer);
    QFETCH(bool, failing);
    EditorFixture e;
    const qint64 keep = e.folder.AddTitle(
        {.title = "Alien", .genres = {"Horror"}, .cast = {{"Sigourney Weaver", "Ripley"}}});
    const qint64 gone = e.folder.AddTitle(
        {.title = "Brazil", .genres = {"Comedy"}, .cast = {{"Jonathan Pryce", "Sam Lowry"}}});
    e.folder.AddTitle({.title = "Casablanca"});
    const QString keptCover = e.folder.WritePicture(QString("%1.jpg").arg(keep), "JPG", 4, 4);
    const QString goneCover = e.folder.WritePicture(QString("%1.jpg").arg(gone), "JPG", 4, 4);
    if (failing)
        e.folder.Exec(refusing("DELETE ON Cast_Relationships"));
    e.main.Form_Load();
    e.main.UltraGrid->ActivateRow(1);
    const QByteArray before = e.folder.CatalogueBytes();

    MessageBox::SetNextAnswer(QMessageBox::StandardButton(answer));
    MessageBox::SetNextAnswer(QMessageBox::Ok);
    TitleCommands(*e.shared, e.main).DeleteTitle();

    QStringList messages{"Are you sure you want to delete Brazil?"};
    if (failing)
        messages << "Error 19 deleting records.\r\nrefused";
    QCOMPARE(shownCutTo(messages), messages);
    const bool deleted = answer == QMessageBox::Ok && !failing;
    QCOMPARE(e.folder.CatalogueBytes() == before, !deleted);
    if (deleted) // Alien keeps its genre and cast, Casablanca has none
        QCOMPARE(
            e.folder.Rows("SELECT group_concat(Title), (SELECT COUNT(*) FROM Genre_Relationships), "
                          "(SELECT COUNT(*) FROM Cast_Relationships) FROM DVD_Title")[0],
            (QVariantList{"Alien,Casablanca", 1, 1}));
    QVERIFY(QFile::exists(keptCover));
    QCOMPARE(QFileInfo::exists(goneCover), !deleted);
    QCOMPARE(e.main.lblRecordSelected->text(), QString(deleted ? "1 of 2" : "2 of 3")); // reloaded?
    QCOMPARE(e.shared->SelectedTitleId, deleted ? keep : gone);
}

// The list shows the row before's title for a row without one; Modify must not load that
// name, or Finish would rename this title.
void TestEditing::modifyLoadsTheRowsOwnTitle()
{
    EditorFixture e;
    e.folder.AddTitle({.title = "Alien"});
    e.folder.AddTitle({.title = ""});
    e.main.Form_Load();
    e.main.UltraGrid->ActivateRow(1);
    e.main.UltraGrid->ActivateRow(0);
    QCOMPARE(e.main.Detail()->KeptTitle(), QString("Alien"));
    QString loaded = "no editor";
    ModalWaiter waiter;
    waiter.Expect<QDialog>([&](QDialog *step) {
        loaded = e.shared->EditTitle;
        step->reject();
    });
    TitleCommands(*e.shared, e.main).ModifyTitle();
    QCOMPARE(loaded, QString(""));
}

void TestEditing::editTitle_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("window"); // the last window: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<QString>("way");
    QTest::newRow("add, finished") << false << 5 << "Finish";
    QTest::newRow("modify, finished") << true << 5 << "Finish";
    QTest::newRow("add, name prompt, Escape") << false << 1 << "Escape";
    QTest::newRow("add, warning, closed by the desktop") << false << 2 << "closed";
    QTest::newRow("add, step 1, Cancel") << false << 3 << "Cancel";
    QTest::newRow("add, step 2, Escape") << false << 4 << "Escape";
    QTest::newRow("add, step 3, closed by the desktop") << false << 5 << "closed";
    QTest::newRow("modify, step 1, Escape") << true << 3 << "Escape";
    QTest::newRow("modify, step 2, closed by the desktop") << true << 4 << "closed";
    QTest::newRow("modify, step 3, Cancel") << true << 5 << "Cancel";
}

// Every window changes something. Left at any of them, nothing reaches the catalogue, the buffer
// is emptied and the list not reloaded; finished, the edit is stored and the list reloaded.
// Activating the main window, disabled between the steps, must not end the edit.
void TestEditing::editTitle()
{
    QFETCH(bool, modify);
    QFETCH(int, window);
    QFETCH(QString, way);
    ProgramFixture p;
    // By edition it would come second: the list must go by title.
    p.folder.AddTitle({.title = "Alien", .subTitle = "Z", .genres = {"Horror"}});
    const QString ocean = QString::fromUtf8("Océan's Eleven");
    // More genre links than the four boxes, as another tool may write.
    const qint64 second =
        p.folder.AddTitle({.title = ocean,
                           .genres = {"Action", "Comedy", "Crime", "Music", "War", "Western"},
                           .cast = {{"George Clooney", "Danny"}}});
    p.start();
    const QRect row = p.main().UltraGrid->visualRect(p.main().UltraGrid->model()->index(1, 1));
    QTest::mouseClick(p.main().UltraGrid->viewport(), Qt::LeftButton, {}, row.center());
    QCOMPARE(p.shared().SelectedTitleId, second);
    const QByteArray before = p.folder.CatalogueBytes();
    const QString name = QString::fromUtf8("OCÉAN'S ELEVEN"); // the same to the warning
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    Story story;
    if (!modify)
        story.then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return); // "You Must Enter A Name"
            typeText(prompt->txtRenameResponse, name);
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Q, Qt::AltModifier); // types nothing
            leaveOr(prompt, prompt->cmdOK, window == 1, way);
        });
    if (!modify && window >= 2)
        story.then<frmAlert>(
            [&](frmAlert *alert) { leaveOr(alert, alert->cmdOk, window == 2, way); });
    if (window >= 3)
        story.then<frmModify1>([&](frmModify1 *step) {
            step->txtDate->setText("2001");
            step->txtDirector->setText("Jean-Pierre Jeunet");
            QTest::keyClicks(step->txtSummary, "A shy waitress");
            QTest::keyClick(step->txtSummary, Qt::Key_Return);
            QTest::keyClicks(step->txtSummary, "changes lives.");
            leaveOr(step, step->cmdNext, window == 3, way);
        });
    if (window >= 4)
        story.then<frmModify2>([&](frmModify2 *step) {
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString(modify ? "Yes" : "No"));
            QVERIFY(pickFromList(step->cmbGenre[0], "Drama"));
            QTest::keyClicks(step->txtFeatures, "Commentary");
            // Going on by Back, then Next again: nothing entered here may be lost.
            leaveOr(step, step->cmdBack, window == 4, way);
        });
    if (window == 5)
        story
            .then<frmModify1>(
                [](frmModify1 *step) { QTest::keyClick(step->txtDirector, Qt::Key_Return); })
            .then<frmModify2>(
                [](frmModify2 *step) { QTest::mouseClick(step->cmdNext, Qt::LeftButton); })
            .then<frmModify3>([&](frmModify3 *step) {
                QTest::keyClicks(step->txtActor1, "Audrey Tautou");
                typeText(step->txtCharacter1, QString::fromUtf8("Amélie"));
                QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
                QTest::keyClick(step->txtActor1, Qt::Key_D, Qt::AltModifier);
                leaveOr(step, step->cmdFinish, way != "Finish", way);
            });
    story.play([&] { p.clickToolbar(modify ? 2 : 1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QVERIFY(p.main().isEnabled() && p.main().isVisible());
    QVERIFY(!p.shared().CastRecords);
    QCOMPARE(MessageBox::Shown(), modify ? QStringList() : QStringList{"You Must Enter A Name"});
    if (way == "Finish") {
        const qint64 id =
            modify ? second : p.folder.Scalar("SELECT MAX(ID) FROM DVD_Title").toLongLong();
        const QString amelie = QString::fromUtf8("Audrey Tautou as Amélie");
        // The cast in the order written; a NULL on either side would make its pair NULL.
        const QString stored = "SELECT Title, Date, Director, Summary, Features, (SELECT "
                               "group_concat(Actor || ' as ' || Character, ', ') FROM "
                               "Cast_Relationships WHERE Movie = ID) FROM DVD_Title WHERE ID = ?";
        QCOMPARE(p.folder.Rows(stored, {id}),
                 (QVector<QVariantList>{{modify ? ocean : name, "2001", "Jean-Pierre Jeunet",
                                         "A shy waitress\nchanges lives.", "Commentary",
                                         modify ? "George Clooney as Danny, " + amelie : amelie}}));
        // Box 0 held Action; the two links past the four boxes are kept.
        QCOMPARE(p.folder.GenreNames(id).join(", "),
                 QString(modify ? "Comedy, Crime, Drama, Music, War, Western" : "Drama"));
        QCOMPARE(p.main().lblRecordSelected->text(), QString(modify ? "1 of 2" : "1 of 3"));
    } else {
        QCOMPARE(p.folder.CatalogueBytes(), before);
        QVERIFY(p.shared().EditDirector.isEmpty() && p.shared().GenrePicks[0].isEmpty());
        QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    }
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

void TestEditing::keyboardBack_data()
{
    QTest::addColumn<QString>("command"); // what opens a window over the main window
    QTest::addColumn<bool>("inFindBox");  // the keyboard was in the find box, not the list
    for (const char *command : {"modify", "add", "about", "statistics", "import", "cover"})
        QTest::newRow(command) << QString(command) << false;
    QTest::newRow("modify, typing in the find box") << "modify" << true;
}

// Whatever window the main window opens, the keyboard is back where it was once it closes.
void TestEditing::keyboardBack()
{
    QFETCH(QString, command);
    QFETCH(bool, inFindBox);
    ProgramFixture p;
    p.folder.AddTitle({.title = "Alien"});
    p.start();
    QWidget *keyboard =
        inFindBox ? static_cast<QWidget *>(p.main().Find->txtFind) : p.main().UltraGrid;
    keyboard->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), keyboard);
    const QString file = p.folder.Path() + "/titles.csv";
    QVERIFY(TestFolder::WriteFile(file, "Title,Year\r\nVertigo,1958\r\n"));
    if (command == "import")
        FileDialogAnswers::SetNext(file);
    ModalWaiter waiter;
    waiter.Expect<QDialog>([](QDialog *window) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, Qt::Key_Escape);
    });
    QAction *action = command == "modify"       ? p.main().mnuModify
                      : command == "add"        ? p.main().mnuAdd
                      : command == "about"      ? p.main().mnuAbout
                      : command == "statistics" ? p.main().mnuStatistics
                                                : p.main().mnuImport;
    if (command == "cover")
        QTest::mouseClick(p.main().Detail()->ImgCover, Qt::LeftButton);
    else
        action->trigger();
    QVERIFY(waiter.Handled());
    QVERIFY(p.main().isEnabled());
    p.activateMain();
    QTRY_COMPARE_WITH_TIMEOUT(QApplication::focusWidget(), keyboard, 1000);
}

QTEST_MAIN(TestEditing)
#include "test_editing.moc"
