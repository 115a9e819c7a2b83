// Adding and modifying a title from the main window as a user does it, and the editor
// left at each window: the main window's activation must not end an edit in progress.
#include "RecordList.h"
#include "Story.h"
#include "frmAlert.h"
#include "frmModify1.h"
#include "frmModify2.h"
#include "frmModify3.h"
#include "frmTextBox.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// Goes on by the button given, or leaves the window by its Cancel button, by Escape in the
// widget that has the focus, or as the desktop closes it (title bar button, Alt+F4).
template <typename T>
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

QStringList castOf(TestFolder &folder, qint64 id)
{
    QStringList pairs;
    for (const auto &row : folder.Rows("SELECT Actor, Character FROM Cast_Relationships WHERE "
                                       "Movie = ? ORDER BY Actor",
                                       {id}))
        pairs << row[0].toString() + " as " + row[1].toString();
    return pairs;
}

} // namespace

class TestE2eEditor : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        ModalWaiter::CloseAllModals();
        MessageBox::Reset();
    }

    void addTitle();
    void modifyTitle();
    void abandoned_data();
    void abandoned();
};

// A name that exists in other letters, so the warning comes; Back and Next on the way.
void TestE2eEditor::addTitle()
{
    ProgramFixture p;
    p.folder.AddTitle({.title = QString::fromUtf8("Le Fabuleux Destin d'Amélie"), .date = "1960"});
    p.start();
    const QString name = QString::fromUtf8("LE FABULEUX DESTIN D'AMÉLIE");
    const QString summary = "A shy waitress\nchanges lives in Montmartre.";
    MessageBox::SetNextAnswer(QMessageBox::Ok);

    Story story;
    story
        .then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
            QVERIFY(prompt->isVisible()); // "You Must Enter A Name"
            typeText(prompt->txtRenameResponse, name);
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Q, Qt::AltModifier); // types nothing
            QTest::keyClick(prompt->txtRenameResponse, Qt::Key_Return);
        })
        .then<frmAlert>([](frmAlert *alert) { QTest::mouseClick(alert->cmdOk, Qt::LeftButton); })
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(step->lblTitleDisplay->text(), name);
            QTest::keyClicks(step->txtDate, "2001");
            QTest::keyClicks(step->txtDirector, "Jean-Pierre Jeunet");
            QTest::keyClicks(step->txtSummary, "A shy waitress");
            QTest::keyClick(step->txtSummary, Qt::Key_Return);
            QTest::keyClicks(step->txtSummary, "changes lives in Montmartre.");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            // The main window is disabled: being activated must not end the edit.
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString("No"));
            QVERIFY(pickFromList(step->cmbGenre[0], "Comedy"));
            QVERIFY(pickFromList(step->cmbGenre[1], "Romance"));
            QTest::keyClicks(step->txtFeatures, "Commentary; trailer");
            QTest::mouseClick(step->cmdBack, Qt::LeftButton);
        })
        .then<frmModify1>([](frmModify1 *step) { QTest::keyClick(step->txtDirector, Qt::Key_Return); })
        .then<frmModify2>([](frmModify2 *step) {
            QCOMPARE(step->txtFeatures->toPlainText(), QString("Commentary; trailer"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            QTest::keyClicks(step->txtActor1, "Audrey Tautou");
            typeText(step->txtCharacter1, QString::fromUtf8("Amélie Poulain"));
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            QTest::keyClick(step->txtActor1, Qt::Key_D, Qt::AltModifier);
            QTest::keyClicks(step->txtActor1, "Mathieu Kassovitz");
            QTest::keyClicks(step->txtCharacter1, "Nino Quincampoix");
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    story.play([&] { p.clickToolbar(1); });
    QVERIFY(story.complete());
    QCOMPARE(MessageBox::Shown(), QStringList{"You Must Enter A Name"});

    const auto rows = p.folder.Rows("SELECT ID, Date, Director, Summary, Features FROM DVD_Title "
                                    "WHERE Title = ?",
                                    {name});
    QCOMPARE(rows.size(), 1);
    const qint64 id = rows[0][0].toLongLong();
    QCOMPARE(rows[0].mid(1),
             QVariantList({"2001", "Jean-Pierre Jeunet", summary, "Commentary; trailer"}));
    QCOMPARE(p.folder.GenreNames(id), QStringList({"Comedy", "Romance"}));
    QCOMPARE(castOf(p.folder, id), QStringList({QString::fromUtf8("Audrey Tautou as Amélie Poulain"),
                                                "Mathieu Kassovitz as Nino Quincampoix"}));
    // The list was reloaded; the editor left nothing behind, and the edit is over.
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 2"));
    QVERIFY(p.main().isEnabled());
    QVERIFY(!p.shared().CastRecords);
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

// The second title, linked to six genres (more than the four boxes, as another tool may
// write): one box changed, the links beyond the boxes kept, saved over the same ID.
void TestE2eEditor::modifyTitle()
{
    ProgramFixture p;
    const qint64 alien = p.folder.AddTitle({.title = "Alien", .genres = {"Horror"}});
    const QStringList genres{"Action", "Comedy", "Music", "Sci-Fi", "War", "Western"};
    const qint64 brazil = p.folder.AddTitle({.title = "Brazil", .subTitle = "Criterion", .date = "1985",
                                             .genres = genres,
                                             .cast = {{"Robert De Niro", "Tuttle"},
                                                      {"Jonathan Pryce", "Sam Lowry"}}});
    p.folder.AddTitle({.title = "Casablanca"});
    p.start();
    QTest::mouseClick(p.main().UltraGrid->viewport(), Qt::LeftButton, {},
                      p.main().UltraGrid->visualRect(p.main().UltraGrid->model()->index(1, 1)).center());
    QCOMPARE(p.shared().SelectedTitleId, brazil);

    QString replaced;
    Story story;
    story
        .then<frmModify1>([&](frmModify1 *step) {
            QCOMPARE(step->txtTitleDisplay->text(), QString("Brazil"));
            QCOMPARE(step->txtSubTitle->text(), QString("Criterion"));
            step->txtTitleDisplay->selectAll();
            QTest::keyClicks(step->txtTitleDisplay, "Brazil: Director's Cut");
            step->txtDate->selectAll();
            QTest::keyClicks(step->txtDate, "1986");
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify2>([&](frmModify2 *step) {
            replaced = step->cmbGenre[0]->currentText();
            QVERIFY(pickFromList(step->cmbGenre[0], "Drama"));
            QTest::mouseClick(step->cmdNext, Qt::LeftButton);
        })
        .then<frmModify3>([&](frmModify3 *step) {
            QCOMPARE(step->UltraGrid->CellValue(0, 0).toString(), QString("Jonathan Pryce"));
            QTest::keyClicks(step->txtActor1, "Kim Greist");
            QTest::keyClicks(step->txtCharacter1, "Jill Layton");
            QTest::keyClick(step->txtActor1, Qt::Key_Return);
            p.activateMain();
            QCOMPARE(p.shared().EditMode, QString("Yes"));
            QTest::mouseClick(step->cmdFinish, Qt::LeftButton);
        });
    story.play([&] { p.clickToolbar(2); });
    QVERIFY(story.complete());

    QCOMPARE(p.folder.Scalar("SELECT COUNT(*) FROM DVD_Title").toInt(), 3);
    QCOMPARE(p.folder.Rows("SELECT Title, Date FROM DVD_Title WHERE ID = ?", {brazil}),
             QVector<QVariantList>({{"Brazil: Director's Cut", "1986"}}));
    QStringList expected = genres;
    QVERIFY(expected.removeAll(replaced) == 1);
    expected << "Drama";
    expected.sort();
    QCOMPARE(p.folder.GenreNames(brazil), expected);
    QCOMPARE(castOf(p.folder, brazil), QStringList({"Jonathan Pryce as Sam Lowry", "Kim Greist as Jill Layton",
                                                    "Robert De Niro as Tuttle"}));
    QCOMPARE(p.folder.GenreNames(alien), QStringList{"Horror"});
    QCOMPARE(p.main().lblRecordSelected->text(), QString("1 of 3"));
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
}

void TestE2eEditor::abandoned_data()
{
    QTest::addColumn<bool>("modify");
    QTest::addColumn<int>("window"); // the window left: 1 prompt, 2 warning, 3 step 1, ...
    QTest::addColumn<QString>("way");
    QTest::newRow("add, name prompt, Escape") << false << 1 << "Escape";
    QTest::newRow("add, warning, closed by the desktop") << false << 2 << "closed";
    QTest::newRow("add, step 1, Cancel") << false << 3 << "Cancel";
    QTest::newRow("add, step 2, Escape") << false << 4 << "Escape";
    QTest::newRow("add, step 3, closed by the desktop") << false << 5 << "closed";
    QTest::newRow("modify, step 1, Escape") << true << 3 << "Escape";
    QTest::newRow("modify, step 2, closed by the desktop") << true << 4 << "closed";
    QTest::newRow("modify, step 3, Cancel") << true << 5 << "Cancel";
}

// Every window changes something, then the last one is left: nothing reaches the
// catalogue, the edit buffer is emptied and the main window is given back unreloaded.
void TestE2eEditor::abandoned()
{
    QFETCH(bool, modify);
    QFETCH(int, window);
    QFETCH(QString, way);
    ProgramFixture p;
    p.folder.AddTitle({.title = "Ocean's Eleven", .genres = {"Crime"}});
    p.folder.AddTitle({.title = "Alien", .genres = {"Horror"}, .cast = {{"Ian Holm", "Ash"}}});
    p.start();
    p.main().UltraGrid->ActivateRow(1);
    const QByteArray before = p.folder.CatalogueBytes();

    Story story;
    if (!modify)
        story.then<frmTextBox>([&](frmTextBox *prompt) {
            QTest::keyClicks(prompt->txtRenameResponse, "Ocean's Eleven");
            leaveOr(prompt, prompt->cmdOK, window == 1, way);
        });
    if (!modify && window >= 2)
        story.then<frmAlert>([&](frmAlert *alert) { leaveOr(alert, alert->cmdOk, window == 2, way); });
    if (window >= 3)
        story.then<frmModify1>([&](frmModify1 *step) {
            QVERIFY(!p.main().isEnabled());
            QTest::keyClicks(step->txtDate, "2001");
            QTest::keyClicks(step->txtDirector, "Jean-Pierre Jeunet");
            leaveOr(step, step->cmdNext, window == 3, way);
        });
    if (window >= 4)
        story.then<frmModify2>([&](frmModify2 *step) {
            QVERIFY(pickFromList(step->cmbGenre[modify ? 1 : 0], "Drama"));
            leaveOr(step, step->cmdNext, window == 4, way);
        });
    if (window == 5)
        story.then<frmModify3>([&](frmModify3 *step) {
            QTest::keyClicks(step->txtActor1, "Audrey Tautou");
            QTest::keyClicks(step->txtCharacter1, "Amelie");
            QTest::keyClick(step->txtCharacter1, Qt::Key_Return);
            leaveOr(step, step->cmdFinish, true, way);
        });
    story.play([&] { p.clickToolbar(modify ? 2 : 1); });

    QVERIFY(story.complete());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(p.folder.CatalogueBytes(), before);
    QVERIFY(p.main().isEnabled() && p.main().isVisible());
    QVERIFY(!p.shared().CastRecords);
    QVERIFY(p.shared().EditDate.isEmpty() && p.shared().EditDirector.isEmpty());
    QVERIFY(p.shared().GenrePicks[0].isEmpty());
    QCOMPARE(p.main().lblRecordSelected->text(), QString("2 of 2"));
    p.activateMain();
    QVERIFY(p.shared().EditMode.isEmpty());
    QVERIFY(MessageBox::Shown().isEmpty());
}

QTEST_MAIN(TestE2eEditor)
#include "test_e2e_editor.moc"
